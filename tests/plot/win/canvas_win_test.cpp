// The canvases on real device contexts: the anti-aliased canvas over a DIB section
// against the portable renderer on plain memory, and the GDI canvas's pens, rectangles,
// clipping, polygons and polylines read back from a DIB.
#include "plot/agg_canvas.h"
#include "plot/gdi_canvas.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/plot/plot_scenes.h"

namespace {

// A bottom-up 32-bit DIB section selected into a memory DC, filled with one colour.
class DibSection {
public:
    DibSection(int width, int height, std::uint8_t fill = 0xFF) : width(width), height(height)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc, bitmap_);
        std::memset(bits, fill, 4 * width * height);
    }
    ~DibSection()
    {
        SelectObject(dc, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    COLORREF pixel(int x, int y) const
    {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(bits) + 4 * ((height - 1 - y) * width + x);
        return RGB(p[2], p[1], p[0]);
    }
    std::vector<std::uint8_t> bytes() const
    {
        GdiFlush();
        const auto* p = static_cast<const std::uint8_t*>(bits);
        return {p, p + 4 * width * height};
    }

    int width, height;
    HDC dc;
    void* bits = nullptr;

private:
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

constexpr COLORREF white = RGB(255, 255, 255);

template <class Draw>
void expect_same_as_portable(Draw draw)
{
    using test_support::scene_height;
    using test_support::scene_width;
    DibSection dib(scene_width, scene_height);
    {
        AGGCanvas canvas(dib.dc, scene_width, scene_height, scene_width, scene_height, dib.bits);
        draw(canvas);
    }
    std::vector<std::uint8_t> plain(4 * scene_width * scene_height, 0xFF);
    {
        AntiAliasedCanvas canvas(plain.data(), scene_width, scene_height, -4 * scene_width);
        draw(canvas);
    }
    EXPECT_EQ(dib.bytes(), plain);
}

TEST(AGGCanvas, DrawsIntoTheDibAsThePortableRenderer)
{
    expect_same_as_portable([](auto& c) { test_support::draw_markers(c); });
    expect_same_as_portable([](auto& c) { test_support::draw_clipped_polygon(c); });
    expect_same_as_portable([](auto& c) { test_support::draw_other_markers(c); });
}

TEST(AGGCanvas, RowZeroIsTheTopAndGdiOutputComesFirst)
{
    DibSection dib(40, 30);
    AGGCanvas canvas(dib.dc, 40, 30, 40, 30, dib.bits);
    EXPECT_EQ(canvas.width, 40);
    canvas.FillRect(0, 0, 39, 0, RGB(200, 0, 0), 1.0);
    EXPECT_EQ(GetPixel(dib.dc, 5, 0), RGB(200, 0, 0));
    EXPECT_EQ(GetPixel(dib.dc, 5, 1), white);

    // A GDI rectangle queued on the DC lies under a shape drawn afterwards.
    SetBkColor(dib.dc, RGB(0, 0, 200));
    const RECT gdi_rect{10, 10, 30, 20};
    ExtTextOutW(dib.dc, 0, 0, ETO_OPAQUE, &gdi_rect, L"", 0, nullptr);
    canvas.MoveTo(5, 15);
    canvas.LineTo(35, 15);
    canvas.DrawPath(4.0, RGB(0, 150, 0), 1.0, 0, 0.0);
    EXPECT_EQ(dib.pixel(20, 15), RGB(0, 150, 0));
    EXPECT_EQ(dib.pixel(20, 11), RGB(0, 0, 200));
}

TEST(GDICanvas, PointsAndPens)
{
    DibSection dib(100, 60);
    GDICanvas canvas(dib.dc, 100, 60);
    const int dpi = GetDeviceCaps(dib.dc, LOGPIXELSX);
    EXPECT_DOUBLE_EQ(canvas.PointsToLogical(72.0), dpi);
    const int pen_width = static_cast<int>(canvas.PointsToLogical(3.0));

    // A pen 3 pt wide in the stroke colour scaled by the opacity.
    canvas.MoveTo(20, 30);
    canvas.LineTo(80, 30);
    canvas.DrawPath(3.0, RGB(200, 100, 50), 0.5, RGB(0, 0, 0), 1.0);
    int covered = 0;
    for (int y = 0; y < 60; ++y)
        covered += dib.pixel(50, y) == RGB(100, 50, 25);
    EXPECT_EQ(covered, pen_width);
    EXPECT_EQ(dib.pixel(19, 30), RGB(100, 50, 25));  // square ends reach past the end points
    EXPECT_EQ(dib.pixel(10, 30), white);
}

TEST(Canvas, FramesAndStringsGoThroughGdi)
{
    DibSection dib(60, 40);
    GDICanvas canvas(dib.dc, 60, 40);
    canvas.FrameRect(10, 10, 30, 20, 0.75, RGB(0, 0, 160));  // a 1-pixel pen at 96 dpi
    EXPECT_EQ(dib.pixel(10, 10), RGB(0, 0, 160));
    EXPECT_EQ(dib.pixel(30, 20), RGB(0, 0, 160));  // right and bottom included
    EXPECT_EQ(dib.pixel(20, 15), white);           // hollow
    EXPECT_EQ(dib.pixel(31, 21), white);

    // An opaque string fills its clip rectangle with the background colour.
    SetBkColor(dib.dc, RGB(0, 120, 0));
    const RECT box{40, 5, 55, 15};
    canvas.DrawString(40, 5, ETO_OPAQUE | ETO_CLIPPED, &box, L"", nullptr);
    EXPECT_EQ(dib.pixel(50, 10), RGB(0, 120, 0));
    SetBkColor(dib.dc, RGB(120, 0, 0));
    canvas.DrawString(40, 5, ETO_OPAQUE | ETO_CLIPPED, &box, std::wstring(L"ab"), nullptr);
    int background = 0, text = 0;
    for (int y = 5; y < 15; ++y)
        for (int x = 40; x < 55; ++x) {
            background += dib.pixel(x, y) == RGB(120, 0, 0);
            text += dib.pixel(x, y) == GetTextColor(dib.dc);
        }
    EXPECT_GT(background, 0);
    EXPECT_GT(text, 0);
    EXPECT_EQ(dib.pixel(55, 15), white);
}

// A pen-up point with nothing after it would be a polyline of one point, for which GDI
// refuses the whole PolyPolyline call; the canvas leaves it out and the rest is drawn.
TEST(GDICanvas, APolylineOfOnePointDoesNotLoseTheOthers)
{
    DibSection dib(100, 60);
    {
        const POINT points[] = {{10, 10}, {90, 10}, {50, 50}};
        const DWORD counts[] = {2, 1};
        HGDIOBJ old = SelectObject(dib.dc, GetStockObject(BLACK_PEN));
        EXPECT_FALSE(PolyPolyline(dib.dc, points, counts, 2));
        SelectObject(dib.dc, old);
    }
    GDICanvas canvas(dib.dc, 100, 60);
    canvas.MoveTo(10, 20);
    canvas.LineTo(90, 20);
    canvas.Line(10, 40, 90, 40);
    canvas.MoveTo(50, 50);
    canvas.DrawPath(1.0, RGB(0, 0, 255), 1.0, 0, 0.0);
    EXPECT_EQ(dib.pixel(50, 20), RGB(0, 0, 255));
    EXPECT_EQ(dib.pixel(50, 40), RGB(0, 0, 255));

    // The current point (50, 50) stays after the list is emptied.
    canvas.LineRel(0, 5);
    canvas.LineRel(20, 0);
    canvas.DrawPath(1.0, RGB(255, 0, 0), 1.0, 0, 0.0);
    EXPECT_EQ(dib.pixel(60, 55), RGB(255, 0, 0));
}

TEST(GDICanvas, RectanglesPolygonsAndMarkers)
{
    DibSection dib(100, 60);
    GDICanvas canvas(dib.dc, 100, 60);
    canvas.FillRect(10, 10, 20, 15, RGB(200, 100, 50), 0.5);
    EXPECT_EQ(dib.pixel(10, 10), RGB(100, 50, 25));
    EXPECT_EQ(dib.pixel(19, 14), RGB(100, 50, 25));
    EXPECT_EQ(dib.pixel(20, 14), white);  // right and bottom excluded
    EXPECT_EQ(dib.pixel(19, 15), white);

    // The fill colour goes in whole; no outline without a width.
    const FloatPoint square[] = {{40.7f, 10.2f}, {60.9f, 10.2f}, {60.9f, 30.5f}, {40.7f, 30.5f}};
    canvas.DrawPolygon(square, 4, 0.0, RGB(0, 0, 0), 1.0, RGB(0, 200, 0), 0.3);
    EXPECT_EQ(dib.pixel(50, 20), RGB(0, 200, 0));
    const FloatPoint line[] = {{40, 40}, {60, 40}};
    canvas.DrawPolygon(line, 2, 1.0, RGB(0, 0, 200), 1.0, 0, 0.0);
    EXPECT_EQ(dib.pixel(50, 40), RGB(0, 0, 200));

    // Every marker type is a diagonal cross.
    canvas.Marker(0, 80, 30, 5, 0);
    canvas.DrawPath(1.0, RGB(90, 0, 90), 1.0, 0, 0.0);
    EXPECT_EQ(dib.pixel(80, 30), RGB(90, 0, 90));
    EXPECT_EQ(dib.pixel(77, 27), RGB(90, 0, 90));
    EXPECT_EQ(dib.pixel(83, 27), RGB(90, 0, 90));
    EXPECT_EQ(dib.pixel(80, 27), white);
}

TEST(GDICanvas, ClipLastsAsLongAsTheCanvas)
{
    DibSection dib(100, 60);
    {
        GDICanvas canvas(dib.dc, 100, 60);
        canvas.SetClip(0, 0, 50, 60);
        canvas.Line(10, 30, 90, 30);
        canvas.DrawPath(1.0, RGB(0, 0, 0), 1.0, 0, 0.0);
        EXPECT_EQ(dib.pixel(40, 30), RGB(0, 0, 0));
        EXPECT_EQ(dib.pixel(60, 30), white);
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dib.dc, region), 0);  // no clip region left
    DeleteObject(region);
}

}  // namespace
