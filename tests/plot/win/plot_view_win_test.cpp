// The plot view as a child window under Wine: its notifications reach a parent that
// records WM_NOTIFY, a paint renders the plot into the back buffer, and three spectra
// are rendered with the anti-aliased canvas and GDI text into a DIB and written as
// bitmaps (to the folder VX_PLOT_SHOTS names, when set) for a look by eye.
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

// Renders the view's plot into a 32-bit DIB with the anti-aliased canvas and Tahoma
// 9 pt, as the window's back buffer does, and writes it as a bitmap file.
void render(CModelDataView& view, const Scene& s, const wchar_t* name, std::int32_t options)
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
    EXPECT_GT(view.points.size(), 100u);

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
}

TEST(PlotScreenshots, AlphaIronSextet)
{
    CModelDataView view(0);
    const Scene s = make_scene({{make_subspec<PseudoVoigtSextet>(&test_support::iron()), sextet_params()}}, 10.0,
                               0.0, 512, 1);
    render(view, s, L"alpha-iron-sextet", initial_plot_options | OptDetectedLines);
}

TEST(PlotScreenshots, DoubletWithSinglet)
{
    CModelDataView view(0);
    const Scene s = make_scene({{make_subspec<PseudoVoigtDoublet>(nullptr), {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}},
                                {make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}},
                               4.0, 0.0, 256, 2);
    render(view, s, L"doublet-singlet", initial_plot_options & ~OptNormalize);
}

TEST(PlotScreenshots, FittedModelWithDifference)
{
    CModelDataView view(0);
    view.selected_component = 1;
    Scene s = make_scene({{make_subspec<PseudoVoigtSextet>(&test_support::iron()), sextet_params()}}, 10.0, 1.5,
                         512, 3);
    s.model.xranges = {{-1.0, 0.5}};
    render(view, s, L"fitted-difference", initial_plot_options | OptStdDevBars);
}

TEST(PlotScreenshots, GreyPaletteWithNote)
{
    CModelDataView view(2);
    view.note = L"Grey palette: components stroked, not filled.\nSecond line of the note.";
    const Scene s = make_scene({{make_subspec<PseudoVoigtDoublet>(nullptr), {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2}},
                                {make_subspec<VoigtLine>(nullptr), {0.25, -0.9, 0.3, 0.1}}},
                               4.0, 0.0, 256, 6);
    render(view, s, L"grey-note", initial_plot_options);
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
