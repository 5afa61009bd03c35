// What a refresh of the main window's views does for a set of flags: the chi-square
// text of status pane 0, whether the fit values follow the model's values, whether fit
// results are on show and whether the parameter grid rebuilds its columns.
#pragma once

#include <string>

struct FitStatus;

enum UpdateViewsFlags : int {
    ViewsFollowValues = 1,  // fit values := the model's values
    ViewsResults = 2,       // fit results are on show (a status may come with them)
    ViewsChiSquare = 4,     // write the chi-square text into status pane 0
    ViewsRebuildGrid = 8,   // rebuild the parameter grid's columns and row count
};

struct ViewRefresh {
    std::wstring status_text;  // status pane 0
    bool follow_values = false;
    bool results = false;
    bool rebuild_parameter_grid = false;
};

// `chi_square` and `reduced_chi_square` are the frame's. A status whose stop code says
// nothing was fitted (8 to 10) turns the results off and puts the fit values back,
// with the stop reason as the only text.
ViewRefresh plan_view_refresh(int flags, const FitStatus* status, double chi_square, double reduced_chi_square);
