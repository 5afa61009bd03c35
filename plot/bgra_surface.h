// 32-bit pixels in blue, green, red order (the fourth byte is not blended) in rows of any
// stride; a negative stride makes row 0 the last row in memory, as the top row of a
// bottom-up DIB is. Blending works per channel in linear light: the pixel's channel and
// the colour's are mapped forward through the gamma table, the pixel's moves towards the
// colour's by alpha/256 (rounded down), and the result is mapped back; alpha is the
// colour's opacity times the coverage, both 0 to 255, rounded. An opaque colour at full
// coverage is copied instead, with 255 in the fourth byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plot/gamma_table.h"
#include "plot/plot_types.h"

// A colour ready for blending: its channels, their linear values and its opacity (0-255).
struct BlendColor {
    BlendColor(ColorRef color, std::uint8_t alpha, const GammaTable& gamma);

    std::uint8_t b, g, r, a;
    std::uint8_t linear_b, linear_g, linear_r;
};

class BgraSurface {
public:
    BgraSurface(std::uint8_t* bits, int width, int height, std::ptrdiff_t stride, const GammaTable& gamma);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t* row(int y) const { return origin_ + y * stride_; }

    // Blends `length` pixels from (x, y) with one coverage, clipped to the surface.
    void blend_hline(int x, int y, int length, const BlendColor& color, std::uint8_t cover) const;
    // The same for the rectangle between two corners, both included, in any order.
    void blend_bar(int x1, int y1, int x2, int y2, const BlendColor& color, std::uint8_t cover) const;

    // One pixel at a known-good position.
    void blend_pixel(std::uint8_t* p, const BlendColor& color, std::uint8_t cover) const
    {
        if (color.a == 255 && cover == 255)
            copy_pixel(p, color);
        else
            blend_channels(p, color, scale_cover(color.a, cover));
    }

private:
    // a·b/255 rounded, exactly, for 8-bit a and b.
    static std::uint8_t scale_cover(std::uint8_t a, std::uint8_t b)
    {
        const unsigned t = unsigned(a) * b + 128;
        return static_cast<std::uint8_t>(((t >> 8) + t) >> 8);
    }
    static void copy_pixel(std::uint8_t* p, const BlendColor& color)
    {
        p[0] = color.b;
        p[1] = color.g;
        p[2] = color.r;
        p[3] = 255;
    }
    std::uint8_t blend_channel(std::uint8_t stored, std::uint8_t linear_target, int alpha) const
    {
        const int linear = gamma_.forward(stored);
        // Arithmetic shift: a move downwards rounds down too.
        return gamma_.inverse(static_cast<std::uint8_t>(linear + (((linear_target - linear) * alpha) >> 8)));
    }
    void blend_channels(std::uint8_t* p, const BlendColor& color, int alpha) const
    {
        p[0] = blend_channel(p[0], color.linear_b, alpha);
        p[1] = blend_channel(p[1], color.linear_g, alpha);
        p[2] = blend_channel(p[2], color.linear_r, alpha);
    }

    std::uint8_t* origin_;
    int width_;
    int height_;
    std::ptrdiff_t stride_;
    const GammaTable& gamma_;
};
