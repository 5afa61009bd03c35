// The plot view as a child window under Wine: its notifications reach a parent that
// records WM_NOTIFY, a paint renders the plot into the back buffer and a paint that
// fails is reported as every window's failure is; four spectra are rendered with the
// anti-aliased canvas and GDI text into a DIB, checked for what the user sees there
// and written as bitmaps (to the folder VX_PLOT_SHOTS names, when set) for a look by eye.
#include "plot/model_data_view.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "plot/agg_canvas.h"
#include "plot/gdi_plot_text.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"
#include "tests/wingui/win/recorded_dialogs.h"

namespace {

// The product is 32-bit; the 64-bit build, where the Windows tests run on machines
// without 32-bit execution, has a wider NMHDR and the same fields after it.
#ifndef _WIN64
static_assert(offsetof(PlotNotification, mouse_x) == 12);
static_assert(offsetof(PlotNotification, x1) == 24);
static_assert(offsetof(PlotNotification, index) == 56);
#else
static_assert(offsetof(PlotNotification, mouse_x) == sizeof(NMHDR));
static_assert(offsetof(PlotNotification, x1) == sizeof(NMHDR) + 8);
static_assert(offsetof(PlotNotification, index) == sizeof(NMHDR) + 40);
#endif

std::vector<PlotNotification> received;
LRESULT reply_to_add_point = 0;

LRESULT CALLBACK parent_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NOTIFY) {
        const auto* n = reinterpret_cast<const PlotNotification*>(lparam);
        EXPECT_EQ(wparam, n->hdr.idFrom);
        received.push_back(*n);
        return n->hdr.code == NotifyAddPoint ? reply_to_add_point : 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

struct ViewWindow : ::testing::Test {
    HWND parent = nullptr;
    CModelDataView view{0};

    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = parent_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlotViewTestParent";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 700, 500, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ASSERT_TRUE(parent);
        ASSERT_TRUE(view.Create(parent, RECT{0, 0, 640, 400}, 10011));
        received.clear();
    }
    void TearDown() override
    {
        if (parent)
            DestroyWindow(parent);
    }
    void send(UINT message, int x, int y, WPARAM keys)
    {
        SendMessageW(view.window(), message, keys, MAKELPARAM(x, y));
    }
};

TEST_F(ViewWindow, RangeDragNotifiesTheParent)
{
    // Rendered once; the paints during the drag only compose the selection and keep
    // the panes set here.
    ShowWindow(parent, SW_SHOW);
    UpdateWindow(view.window());
    view.panes.clear();
    view.panes.push_back({SpectrumPane, -1, {25.0f, 0.0f, 0.0f, -1.0f, 350.0f, 350.0f}, {}, {100, 50, 600, 350}});
    view.mouse_mode = ModeRange;
    send(WM_LBUTTONDOWN, 150, 100, MK_LBUTTON);
    send(WM_MOUSEMOVE, 350, 250, MK_LBUTTON);
    UpdateWindow(view.window());
    send(WM_LBUTTONUP, 350, 250, 0);
    ASSERT_EQ(received.size(), 1u);
    const PlotNotification& n = received[0];
    EXPECT_EQ(n.hdr.hwndFrom, view.window());
    EXPECT_EQ(n.hdr.idFrom, 10011u);
    EXPECT_EQ(n.hdr.code, 200u);
    EXPECT_EQ(n.mouse_x, 350);
    EXPECT_EQ(n.mouse_y, 250);
    EXPECT_NEAR(n.x1, -8.0, 1e-6);
    EXPECT_NEAR(n.y1, 100.0, 1e-6);
    EXPECT_NEAR(n.x2, 0.0, 1e-6);
    EXPECT_NEAR(n.y2, 250.0, 1e-6);
}

TEST_F(ViewWindow, CtrlClickReplyAndNegativeCoordinates)
{
    view.panes.push_back({SpectrumPane, -1, {25.0f, 0.0f, 0.0f, -1.0f, 350.0f, 350.0f}, {}, {-100, -50, 600, 350}});
    reply_to_add_point = 1;
    send(WM_LBUTTONDOWN, -20, -10, MK_LBUTTON | MK_CONTROL);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].hdr.code, 205u);
    EXPECT_EQ(received[0].mouse_x, -20);  // sign-extended 16-bit values
    EXPECT_NEAR(received[0].x1, -14.8, 1e-5);
    EXPECT_EQ(received[0].x1, received[0].x2);
    EXPECT_EQ(view.drag_kind, DragNone);
    reply_to_add_point = 0;
}

// Spectra of 57Fe as the program sets them up: an automatic baseline at 1e6 counts and
// the absorption scale −3e5 with one or two line models.
struct Scene {
    SpectrumModel model;
    SpectrumData data;
    DVector params;
};

Scene make_scene(std::vector<std::pair<SubSpecPtr, std::vector<double>>> parts, double velocity,
                 double field_offset, unsigned channels, unsigned seed)
{
    Scene s;
    s.model.level = 1e6;
    s.model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
    std::vector<double> p{0.0, 0.0, 0.0};
    for (auto& [part, values] : parts) {
        s.model.insert_component(s.model.component_count(), part);
        p.insert(p.end(), values.begin(), values.end());
    }
    s.model.scale = -3e5;
    s.params = DVector(p.size());
    std::copy(p.begin(), p.end(), s.params.begin());
    DVector x(channels), m(channels);
    for (unsigned i = 0; i < channels; ++i)
        x(i) = -velocity + 2.0 * velocity * i / (channels - 1);
    s.model.evaluate(x, 0, channels, s.params, m);
    std::mt19937 engine(seed);
    for (unsigned i = 0; i < channels; ++i) {
        std::normal_distribution<double> noise(m(i), std::sqrt(m(i)));
        s.data.x_data.push_back(x(i));
        s.data.y_data.push_back(std::round(noise(engine)));
        s.data.std_dev_data.push_back(std::sqrt(std::max(s.data.y_data.back(), 1.0)));
    }
    s.data.update_analysis();
    // The drawn model may be off the simulated one, as an unfinished fit is.
    if (field_offset != 0.0)
        s.params(3 + 5) += field_offset;
    return s;
}

std::vector<double> sextet_params()
{
    return {1.0, 0.6666666666666666, 0.3333333333333333, 0.0, 0.0, 330.0, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3};
}

// A rendered plot's pixels as COLORREFs, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;

    COLORREF at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    // The share of the pixels inside `r` that have the colour.
    double share(const PlotRect& r, COLORREF colour) const
    {
        int count = 0, all = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x, ++all)
                count += at(x, y) == colour;
        return all ? double(count) / all : 0.0;
    }
};

// What the user sees of a spectrum: one point per channel, the pane in the palette's
// background, and a marker in the points' colour where the view says each point is.
void expect_spectrum_shown(const CModelDataView& view, const Picture& picture, std::size_t channels)
{
    EXPECT_EQ(view.points.size(), channels);
    ASSERT_FALSE(view.panes.empty());
    const PlotRect& pane = view.panes[0].rect;
    ASSERT_TRUE(pane.left >= 0 && pane.top >= 0 && pane.right <= picture.width && pane.bottom <= picture.height);
    const COLORREF background = (*view.palette)[4];
    EXPECT_GT(picture.share(pane, background), 0.4);
    const COLORREF marker = (*view.palette)[2];
    const auto distance = [](COLORREF a, COLORREF b) {
        return std::abs(int(GetRValue(a)) - int(GetRValue(b))) + std::abs(int(GetGValue(a)) - int(GetGValue(b))) +
               std::abs(int(GetBValue(a)) - int(GetBValue(b)));
    };
    // Anti-aliased markers: nearer the points' colour than the background's.
    const auto near_marker = [&](COLORREF c) { return 2 * distance(c, marker) < distance(c, background); };
    std::size_t marked = 0;
    for (const PlotPoint& p : view.points) {
        bool found = false;
        for (int y = int(p.sy) - 4; y <= int(p.sy) + 4 && !found; ++y)
            for (int x = int(p.sx) - 4; x <= int(p.sx) + 4 && !found; ++x)
                found = x >= 0 && y >= 0 && x < picture.width && y < picture.height && near_marker(picture.at(x, y));
        marked += found;
    }
    EXPECT_GE(marked, channels * 9 / 10);
}

// Renders the view's plot into a 32-bit DIB with the anti-aliased canvas and Tahoma
// 9 pt, as the window's back buffer does, and writes it as a bitmap file.
Picture render(CModelDataView& view, const Scene& s, const wchar_t* name, std::int32_t options)
{
    const int width = 800, height = 520;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontW(-MulDiv(9, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HGDIOBJ old_font = SelectObject(dc, font);
    const RECT all{0, 0, width, height};
    SetBkColor(dc, 0xFFFFFF);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, L"", 0, nullptr);

    view.SetData(&s.model, &s.data, &s.params, nullptr, nullptr, nullptr);
    view.SetOptions(options, 0);
    {
        AGGCanvas canvas(dc, width, height, width, height, bits);
        GdiPlotText text(canvas);
        view.DrawPlot(canvas, text);
    }
    GdiFlush();
    Picture picture{width, height, std::vector<COLORREF>(std::size_t(width) * height)};
    const auto* dib = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = dib[std::size_t(height - 1 - y) * width + x];  // bottom-up, 0x00RRGGBB
            picture.pixels[std::size_t(y) * width + x] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }

    if (const char* folder = std::getenv("VX_PLOT_SHOTS")) {
        std::wstring path = std::wstring(folder, folder + std::strlen(folder)) + L"\\" + name + L".bmp";
        std::ofstream out(path.c_str(), std::ios::binary);
        BITMAPFILEHEADER file{};
        const DWORD image = 4u * width * height;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + image;
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), image);
    }
    SelectObject(dc, old_font);
    DeleteObject(font);
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

TEST(PlotScreenshots, AlphaIronSextet)
{
    CModelDataView view(0);
    const Scene s = make_scene({{make_subspec<PseudoVoigtSextet>(&test_support::iron()), sextet_params()}}, 10.0,
                               0.0, 512, 1);
    expect_spectrum_shown(view, render(view, s, L"alpha-iron-sextet", initial_plot_options | OptDetectedLines), 512);
}

TEST(PlotScreenshots, DoubletWithSinglet)
{
    CModelDataView view(0);
    const Scene s = make_scene({{make_subspec<PseudoVoigtDoublet>(nullptr), {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}},
                                {make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}},
                               4.0, 0.0, 256, 2);
    expect_spectrum_shown(view, render(view, s, L"doublet-singlet", initial_plot_options & ~OptNormalize), 256);
}

TEST(PlotScreenshots, FittedModelWithDifference)
{
    CModelDataView view(0);
    view.selected_component = 1;
    Scene s = make_scene({{make_subspec<PseudoVoigtSextet>(&test_support::iron()), sextet_params()}}, 10.0, 1.5,
                         512, 3);
    s.model.xranges = {{-1.0, 0.5}};
    const Picture picture = render(view, s, L"fitted-difference", initial_plot_options | OptStdDevBars);
    expect_spectrum_shown(view, picture, 512);
    // The excluded range is shaded from top to bottom of the pane, and only there.
    const PlotRect& pane = view.panes[0].rect;
    const COLORREF shade = (*view.palette)[7];
    const auto column = [&](double x) { return int(view.DataToClient(x, 0.0).x); };
    const int top = pane.top + (pane.bottom - pane.top) / 4, bottom = top + (pane.bottom - pane.top) / 8;
    EXPECT_GT(picture.share({column(-0.6), top, column(-0.2), bottom}, shade), 0.9);
    EXPECT_LT(picture.share({column(2.0), top, column(2.4), bottom}, shade), 0.1);
}

TEST(PlotScreenshots, GreyPaletteWithNote)
{
    CModelDataView view(2);
    view.note = L"Grey palette: components stroked, not filled.\nSecond line of the note.";
    const Scene s = make_scene({{make_subspec<PseudoVoigtDoublet>(nullptr), {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}},
                                {make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}},
                               4.0, 0.0, 256, 6);
    const Picture picture = render(view, s, L"grey-note", initial_plot_options);
    expect_spectrum_shown(view, picture, 256);
    // The note's green box at the plot's bottom left, over the grey palette's white.
    EXPECT_EQ((*view.palette)[4], 0xFFFFFFu);
    const PlotRect& pane = view.panes[0].rect;
    int green = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = pane.left + 6; x < pane.left + 8; ++x)
            green += GetGValue(picture.at(x, y)) > GetRValue(picture.at(x, y)) + 40;
    EXPECT_GT(green, 30);
}

TEST_F(ViewWindow, PaintRendersThePlot)
{
    const Scene s = make_scene({{make_subspec<PseudoVoigtDoublet>(nullptr), {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}}},
                               4.0, 0.0, 128, 4);
    view.SetData(&s.model, &s.data, &s.params, nullptr, nullptr, nullptr);
    ShowWindow(parent, SW_SHOW);
    UpdateWindow(view.window());
    EXPECT_EQ(view.points.size(), 128u);
    ASSERT_EQ(view.panes.size(), 1u);
    // A second paint of an unchanged view does not render again.
    view.points.clear();
    InvalidateRect(view.window(), nullptr, FALSE);
    UpdateWindow(view.window());
    EXPECT_TRUE(view.points.empty());
}

TEST_F(ViewWindow, APaintThatFailsIsReportedOnceAndLeavesTheWindowWorking)
{
    Scene s = make_scene({{make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}}, 4.0, 0.0, 64, 7);
    const DVector complete = s.params;
    s.params.resize(2);  // shorter than the model: its evaluation throws
    RecordedDialogs boxes;
    view.SetData(&s.model, &s.data, &s.params, nullptr, nullptr, nullptr);
    ShowWindow(parent, SW_SHOW);
    UpdateWindow(view.window());
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, L"Parameter vector shorter than the model");
    EXPECT_EQ(boxes.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    // With a vector that fits, the next paint draws the plot.
    s.params = complete;
    view.Redraw();
    UpdateWindow(view.window());
    EXPECT_EQ(view.points.size(), 64u);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST(PlotRender, WithoutDibBitsTheGdiCanvasDraws)
{
    const Scene s = make_scene({{make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}}, 4.0, 0.0, 64, 5);
    CModelDataView view(0);
    view.SetData(&s.model, &s.data, &s.params, nullptr, nullptr, nullptr);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 300, 200);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, 300, 200};
    SetBkColor(dc, 0xFFFFFF);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, L"", 0, nullptr);
    view.Render(dc, 300, 200);
    EXPECT_EQ(view.points.size(), 64u);
    ASSERT_EQ(view.panes.size(), 1u);
    const PlotRect& pane = view.panes[0].rect;
    // The background of the colour palette fills the pane.
    EXPECT_EQ(GetPixel(dc, pane.left + 1, (pane.top + pane.bottom) / 2 + 1) & 0xFFFFFF, 0x800000u);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
