#include "plot/plot_palette.h"

namespace {

PlotPalette color_table{{0x808080, 0xFFFFFF, 0xFF00FF, 0xC0C000, 0x800000, 0xFFFFFF, 0x404040, 0x000000,
                         0xFFFFFF, 0x00FF00, 0xA0A0A0, 0xC0C0C0, 0x808080, 0x0000FF}};
PlotPalette grey_table{{0x808080, 0x000000, 0x000000, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x404040, 0xC0C0C0,
                        0x000000, 0x000000, 0x808080, 0x808080, 0x808080, 0x404040}};

}  // namespace

PlotPalette* plot_palette(int scheme)
{
    return scheme == 2 ? &grey_table : &color_table;
}

bool is_grey_palette(const PlotPalette* palette)
{
    return palette == &grey_table;
}
