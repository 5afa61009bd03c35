// The statistics of a distribution as a read-only list, for where no browser can show the
// statistics page: a list view with a name and a value column, each range's statistics
// under a line that names its points.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/logic/dist_stats_form.h"

// A list view as child `id` of `parent` over `rect`, with its two columns; null when it
// cannot be created.
HWND create_stats_list(HWND parent, UINT id, const RECT& rect);

// Replaces the list's lines.
void show_stats_list(HWND list, const std::vector<StatsListLine>& lines);
