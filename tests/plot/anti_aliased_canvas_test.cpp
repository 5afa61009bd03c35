// The anti-aliased canvas on a bitmap: gamma blending against its closed form, the
// rectangles, row order, what the path operations leave, and the stroke geometry
// (butt caps, miter joins and their limit) seen in the pixels.
#include "plot/anti_aliased_canvas.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

namespace {

constexpr ColorRef white = 0xFFFFFF;
constexpr ColorRef black = 0x000000;

// A bottom-up bitmap, as a DIB section is, filled with one colour.
struct Bitmap {
    Bitmap(int w, int h, std::array<std::uint8_t, 4> fill = {0, 0, 0, 0}) : width(w), height(h), bits(4 * w * h)
    {
        for (std::size_t i = 0; i < bits.size(); ++i)
            bits[i] = fill[i % 4];
    }
    std::ptrdiff_t stride() const { return -4 * width; }
    // Blue, green, red, fourth byte of the pixel in row y from the top.
    std::array<std::uint8_t, 4> at(int x, int y) const
    {
        const std::uint8_t* p = bits.data() + 4 * ((height - 1 - y) * width + x);
        return {p[0], p[1], p[2], p[3]};
    }
    int blue(int x, int y) const { return at(x, y)[0]; }

    int width, height;
    std::vector<std::uint8_t> bits;
};

double linear(int v)
{
    return std::pow(v / 255.0, 2.2);
}

// The blend's closed form: the linear values mixed by alpha/256, rounded down in 8 bits.
int expected_blend(int stored, int target, int alpha)
{
    const int a = static_cast<int>(255 * linear(stored) + 0.5), b = static_cast<int>(255 * linear(target) + 0.5);
    const int mixed = a + static_cast<int>(std::floor((b - a) * alpha / 256.0));
    return static_cast<int>(255 * std::pow(mixed / 255.0, 1 / 2.2) + 0.5);
}

TEST(AntiAliasedCanvas, FillRectBlendsInLinearLight)
{
    struct Case {
        std::uint8_t stored;
        ColorRef color;
        double opacity;
    };
    for (const Case& c : {Case{0, white, 0.5}, Case{255, black, 0.5}, Case{200, 0x404040, 0.25},
                          Case{30, 0xF0F0F0, 0.9}, Case{128, 0x808080, 0.6}}) {
        Bitmap b(4, 3, {c.stored, c.stored, c.stored, 7});
        AntiAliasedCanvas canvas(b.bits.data(), b.width, b.height, b.stride());
        canvas.FillRect(1, 1, 2, 1, c.color, c.opacity);
        const int cover = static_cast<int>(c.opacity * 255);
        const int alpha = (255 * cover + 128 + ((255 * cover + 128) >> 8)) >> 8;
        const auto p = b.at(1, 1);
        EXPECT_EQ(p[0], expected_blend(c.stored, c.color & 0xFF, alpha)) << int(c.stored) << " " << c.opacity;
        EXPECT_EQ(p[3], 7);  // never blended
        EXPECT_EQ(b.at(0, 1)[0], c.stored);
        EXPECT_EQ(b.at(1, 0)[0], c.stored);
    }
    // Opaque: copied, with 255 in the fourth byte; opacities beyond 1 are full.
    Bitmap b(4, 3);
    AntiAliasedCanvas canvas(b.bits.data(), b.width, b.height, b.stride());
    canvas.FillRect(0, 0, 0, 0, 0x123456, 1.0);
    canvas.FillRect(1, 0, 1, 0, 0x123456, 1.5);
    EXPECT_EQ(b.at(0, 0), (std::array<std::uint8_t, 4>{0x12, 0x34, 0x56, 255}));
    EXPECT_EQ(b.at(1, 0), b.at(0, 0));
}

TEST(AntiAliasedCanvas, FillRectCornersAndLimits)
{
    Bitmap forward(20, 10), reversed(20, 10);
    {
        AntiAliasedCanvas canvas(forward.bits.data(), 20, 10, forward.stride());
        canvas.FillRect(3, 2, 8, 6, white, 1.0);
    }
    {
        AntiAliasedCanvas canvas(reversed.bits.data(), 20, 10, reversed.stride());
        canvas.SetClip(0, 0, 4, 4);  // does not limit rectangles
        canvas.FillRect(8, 6, 3, 2, white, 1.0);
    }
    EXPECT_EQ(forward.bits, reversed.bits);
    EXPECT_EQ(forward.blue(8, 6), 255);  // both ends included
    EXPECT_EQ(forward.blue(3, 2), 255);
    EXPECT_EQ(forward.blue(9, 6), 0);
    EXPECT_EQ(forward.blue(8, 7), 0);
    // Row 0 is the top row: the last row in the memory of a bottom-up bitmap.
    Bitmap b(5, 4);
    AntiAliasedCanvas canvas(b.bits.data(), 5, 4, b.stride());
    canvas.FillRect(-1000000, 0, 1000000, 0, white, 1.0);
    EXPECT_EQ(b.bits[4 * 5 * 3], 255);
    EXPECT_EQ(b.bits[0], 0);
    // An opacity that is not a number draws as 0.
    const std::vector<std::uint8_t> before = b.bits;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    canvas.FillRect(0, 0, 4, 3, white, nan);
    canvas.Line(0, 2, 5, 2);
    canvas.DrawPath(2.0, white, nan, white, nan);
    EXPECT_EQ(b.bits, before);
}

TEST(AntiAliasedCanvas, PathOperationsReachThePixelsOnlyThroughDrawPath)
{
    Bitmap b(40, 30);
    const std::vector<std::uint8_t> blank = b.bits;
    AntiAliasedCanvas canvas(b.bits.data(), 40, 30, b.stride());
    canvas.DrawPath(2.0, white, 1.0, white, 1.0);  // empty path
    canvas.MoveTo(5, 5);
    canvas.LineTo(30, 20);
    canvas.Marker(0, 20, 10, 4, 3);
    EXPECT_EQ(b.bits, blank);

    canvas.DrawPath(0.0, white, 1.0, white, 0.0);  // neither fill nor stroke: only empties the path
    canvas.DrawPath(2.0, white, 1.0, white, 1.0);
    EXPECT_EQ(b.bits, blank);

    // A polygon draws at once and leaves the path being built alone.
    canvas.Line(0, 15, 40, 15);
    const FloatPoint one[] = {{1, 1}};
    canvas.DrawPolygon(one, 1, 2.0, white, 1.0, white, 1.0);
    EXPECT_EQ(b.bits, blank);
    const FloatPoint square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
    canvas.DrawPolygon(square, 4, 0.0, white, 0.0, white, 1.0);
    EXPECT_EQ(b.blue(5, 5), 255);
    EXPECT_EQ(b.blue(20, 14), 0);
    canvas.DrawPath(2.0, white, 1.0, black, 0.0);
    EXPECT_EQ(b.blue(20, 14), 255);
}

// Coverage of what one DrawPath draws, as the sum over the pixels of white on black in
// linear light, in pixels.
double drawn_area(void (*draw)(AntiAliasedCanvas&))
{
    Bitmap b(64, 64);
    AntiAliasedCanvas canvas(b.bits.data(), 64, 64, b.stride());
    draw(canvas);
    double area = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            area += linear(b.blue(x, y));
    return area;
}

TEST(AntiAliasedCanvas, MarkerShapes)
{
    const double s = 10;
    // A filled circle, a filled triangle 4s wide and 2√3·s high, and with no fill, two
    // strokes 2s long.
    EXPECT_NEAR(drawn_area([](AntiAliasedCanvas& c) {
                    c.Marker(0, 32.3, 31.6, 10, 0);
                    c.DrawPath(0, white, 0, white, 1.0);
                }),
                std::numbers::pi * s * s, 0.01 * std::numbers::pi * s * s);
    EXPECT_NEAR(drawn_area([](AntiAliasedCanvas& c) {
                    c.Marker(1, 32, 32, 10, 0);
                    c.DrawPath(0, white, 0, white, 1.0);
                }),
                4 * std::sqrt(3.0) * s * s, 0.01 * 4 * std::sqrt(3.0) * s * s);
    EXPECT_NEAR(drawn_area([](AntiAliasedCanvas& c) {
                    c.Marker(2, 32, 32, 10, 0);
                    c.DrawPath(1.0, white, 1.0, white, 0);
                }),
                2 * 2 * s - 1.0, 1.0);  // two strokes of 20 px by 1 px, crossing over 1 px²
    // The error bar: caps of 4s and a bar of 2e, one pixel wide.
    EXPECT_NEAR(drawn_area([](AntiAliasedCanvas& c) {
                    c.Marker(2, 32, 32, 0, 12);
                    c.DrawPath(1.0, white, 1.0, white, 0);
                }),
                24.0, 0.5);
}

// Butt caps end where the line ends; a right-angled corner gets its full miter point; a
// sharp one is cut 4 half-widths from the vertex.
TEST(AntiAliasedCanvas, StrokeGeometry)
{
    Bitmap b(120, 100);
    AntiAliasedCanvas canvas(b.bits.data(), 120, 100, b.stride());
    canvas.MoveTo(10, 10);
    canvas.LineTo(50, 10);
    canvas.LineTo(50, 40);
    canvas.DrawPath(4.0, white, 1.0, black, 0.0);
    EXPECT_EQ(b.blue(10, 9), 255);
    EXPECT_EQ(b.blue(9, 9), 0);   // no square end
    EXPECT_EQ(b.blue(51, 8), 255);  // the miter's corner at (52, 8)
    EXPECT_EQ(b.blue(49, 40), 0);
    EXPECT_EQ(b.blue(49, 39), 255);

    // A 10° corner at (100, 60), width 10: the miter would reach 5/sin 5° ≈ 57 px out; it
    // stops at 20 px along the bisector (pointing to +x).
    const double half_angle = 5.0 * std::numbers::pi / 180;
    canvas.MoveTo(100 - 60 * std::cos(half_angle), 60 - 60 * std::sin(half_angle));
    canvas.LineTo(100, 60);
    canvas.LineTo(100 - 60 * std::cos(half_angle), 60 + 60 * std::sin(half_angle));
    canvas.DrawPath(10.0, white, 1.0, black, 0.0);
    EXPECT_EQ(b.blue(118, 60), 255);
    EXPECT_GT(b.blue(119, 60), 0);
    EXPECT_EQ(b.blue(120, 60), 0);
}

TEST(AntiAliasedCanvas, UnusableCoordinatesLiftThePen)
{
    Bitmap b(60, 50);
    AntiAliasedCanvas canvas(b.bits.data(), 60, 50, b.stride());
    canvas.MoveTo(10, 10);
    canvas.LineTo(40, 10);
    canvas.LineTo(std::numeric_limits<double>::quiet_NaN(), 20);
    canvas.LineTo(40, 40);
    canvas.LineTo(10, 40);
    canvas.LineTo(std::numeric_limits<double>::infinity(), 0);
    canvas.DrawPath(2.0, white, 1.0, black, 0.0);
    EXPECT_EQ(b.blue(25, 10), 255);
    EXPECT_EQ(b.blue(25, 40), 255);
    EXPECT_EQ(b.blue(40, 25), 0);  // no line across the gap
}

}  // namespace
