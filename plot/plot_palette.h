// The plot's 14 colours: a colour table and a grey table shared by the whole process.
// Entry 4 of the colour table is the plot background, which a model file sets.
#pragma once

#include <array>

#include "core/model/colors.h"

struct PlotPalette {
    std::array<COLORREF, 14> colors;

    COLORREF operator[](unsigned entry) const { return colors[entry]; }
};

// Scheme 2 selects the grey table, any other value the colour table.
PlotPalette* plot_palette(int scheme);
bool is_grey_palette(const PlotPalette* palette);
