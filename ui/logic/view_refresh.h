// What a refresh of the main window's views does for a set of flags: the chi-square
// text of status pane 0, whether the fit values follow the model's values, whether fit
// results are on show and whether the parameter grid rebuilds its columns; and which
// flags each kind of document change asks for.
#pragma once

#include <string>

struct FitStatus;

enum UpdateViewsFlags : int {
    ViewsFollowValues = 1,  // fit values := the model's values
    ViewsResults = 2,       // fit results are on show (a status may come with them)
    ViewsChiSquare = 4,     // write the chi-square text into status pane 0
    ViewsRebuildGrid = 8,   // rebuild the parameter grid's columns and row count
    ViewsKeepStatus = 16,   // status pane 0 keeps its text (the results it describes stay)
};

// What a command changed in the document. The refresh of the views follows from it
// alone, so that no command can end the display of fit results that still hold.
enum class DocumentChange {
    spectrum,           // counts, velocities or points: the last fit no longer describes them
    spectrum_replaced,  // another spectrum, whose levels the model takes: fit values follow
    model,              // the model's values or components: fit values follow, results end
    constraints,        // links, bounds, locks and distribution weights: results stay
    grid_edit,          // a cell of the parameter grid: results stay
    expressions,        // user expressions: the rows are rebuilt, results stay
    fit_accepted,       // the model took the fit values: the results stay on show
    appearance,         // a component's colour: nothing the fit depends on
};

// The UpdateViews flags of a change, given whether fit results are on show.
int refresh_flags(DocumentChange change, bool results_shown);

struct ViewRefresh {
    std::wstring status_text;  // status pane 0
    bool keep_status_text = false;  // status_text is not written
    bool follow_values = false;
    bool results = false;
    bool rebuild_parameter_grid = false;
};

// `chi_square` and `reduced_chi_square` are the frame's. A status whose stop code says
// nothing was fitted (8 to 10) turns the results off and puts the fit values back,
// with the stop reason as the only text.
ViewRefresh plan_view_refresh(int flags, const FitStatus* status, double chi_square, double reduced_chi_square);
