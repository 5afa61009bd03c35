// The statistics of a distribution as a read-only list, for where no browser can show the
// statistics page: a list view with a name and a value column, each range's statistics
// under a line that names its points, in the grids' font (the dialog font may lack Greek).
#pragma once

#include <windows.h>

#include <vector>

#include "ui/logic/dist_stats_form.h"
#include "wingui/handles.h"

class CStatsList {
public:
    // The list view as child `id` of `parent` over `rect`, with its two columns; false
    // when it cannot be created.
    bool create(HWND parent, UINT id, const RECT& rect);
    HWND hwnd() const { return list_; }
    // Replaces the list's lines.
    void show(const std::vector<StatsListLine>& lines);

private:
    HWND list_ = nullptr;  // a child of the dialog, which destroys it
    ScopedFont font_;
};
