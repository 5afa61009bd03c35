#include "plot/bgra_surface.h"

#include <algorithm>
#include <utility>

BlendColor::BlendColor(ColorRef color, std::uint8_t alpha, const GammaTable& gamma)
    : b(color_blue(color)), g(color_green(color)), r(color_red(color)), a(alpha),
      linear_b(gamma.forward(b)), linear_g(gamma.forward(g)), linear_r(gamma.forward(r))
{
}

BgraSurface::BgraSurface(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride,
                         const GammaTable& gamma)
    : origin_(stride < 0 ? bits - (height - 1) * stride : bits), width_(width), height_(height), stride_(stride),
      gamma_(gamma)
{
}

void BgraSurface::blend_hline(int x, int y, int length, const BlendColor& color, std::uint8_t cover) const
{
    if (y < 0 || y >= height_ || color.a == 0)
        return;
    const int x1 = std::max(x, 0);
    const int x2 = std::min(x + length, width_);
    if (x1 >= x2)
        return;
    std::uint8_t* p = row(y) + 4 * x1;
    std::uint8_t* const end = row(y) + 4 * x2;
    if (color.a == 255 && cover == 255) {
        for (; p != end; p += 4)
            copy_pixel(p, color);
    } else {
        const int alpha = scale_cover(color.a, cover);
        for (; p != end; p += 4)
            blend_channels(p, color, alpha);
    }
}

void BgraSurface::blend_bar(int x1, int y1, int x2, int y2, const BlendColor& color, std::uint8_t cover) const
{
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    // Clipped first, so that no width overflows.
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width_ - 1);
    if (x1 > x2)
        return;
    for (int y = std::max(y1, 0); y <= std::min(y2, height_ - 1); ++y)
        blend_hline(x1, y, x2 - x1 + 1, color, cover);
}
