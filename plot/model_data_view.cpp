#include "plot/model_data_view.h"

#include <cstdio>
#include <cwchar>

#include "plot/agg_canvas.h"
#include "plot/gdi_canvas.h"
#include "plot/gdi_plot_text.h"

namespace {

constexpr wchar_t view_class[] = L"VexmoorModelDataView";

int mouse_x(LPARAM lparam)
{
    return static_cast<short>(LOWORD(lparam));
}

int mouse_y(LPARAM lparam)
{
    return static_cast<short>(HIWORD(lparam));
}

// GetDpiForWindow where the system offers it, else the paint DC's LOGPIXELSY.
int window_dpi(HWND hwnd, HDC dc)
{
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto get_dpi =
        reinterpret_cast<GetDpi>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"),
                                                                         "GetDpiForWindow")));
    if (get_dpi)
        if (const UINT dpi = get_dpi(hwnd))
            return static_cast<int>(dpi);
    return GetDeviceCaps(dc, LOGPIXELSY);
}

}  // namespace

// ---- Back buffer ----

void CDoubleBufferedWindow::ReleaseBuffer()
{
    if (memory_dc_) {
        if (old_bitmap_)
            SelectObject(memory_dc_, old_bitmap_);
        if (old_font_)
            SelectObject(memory_dc_, old_font_);
        DeleteDC(memory_dc_);
    }
    if (dib_)
        DeleteObject(dib_);
    if (font_)
        DeleteObject(font_);
    memory_dc_ = nullptr;
    dib_ = nullptr;
    old_bitmap_ = nullptr;
    font_ = nullptr;
    old_font_ = nullptr;
    bits_ = nullptr;
    rendered_width_ = rendered_height_ = -1;
}

void CDoubleBufferedWindow::EnsureBuffer(HDC paint_dc, int width, int height, int dpi)
{
    BITMAP bm{};
    if (dib_ && GetObjectW(dib_, sizeof bm, &bm) && bm.bmWidth >= width && bm.bmHeight >= height)
        return;
    ReleaseBuffer();
    memory_dc_ = CreateCompatibleDC(paint_dc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dib_ = CreateDIBSection(paint_dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!dib_) {
        // Without bits the plot is drawn with GDI on a plain bitmap.
        bits_ = nullptr;
        dib_ = CreateCompatibleBitmap(paint_dc, width, height);
    }
    old_bitmap_ = SelectObject(memory_dc_, dib_);
    font_ = CreateFontW(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"Tahoma");
    old_font_ = SelectObject(memory_dc_, font_);
}

// ---- Window ----

CModelDataView::CModelDataView(int scheme) : PlotView(scheme)
{
    auto& map = message_map();
    map.on_message(WM_PAINT, [this](WPARAM, LPARAM) { return (OnPaint(), 0); });
    map.on_message(WM_WINDOWPOSCHANGED, [this](WPARAM wparam, LPARAM lparam) {
        InvalidateRect(hwnd(), nullptr, FALSE);
        // The default procedure turns the change into WM_SIZE and WM_MOVE.
        return DefWindowProcW(hwnd(), WM_WINDOWPOSCHANGED, wparam, lparam);
    });
    // The whole client area takes the mouse, also where a sibling's region overlaps it.
    map.on_message(WM_NCHITTEST, [this](WPARAM wparam, LPARAM lparam) -> LRESULT {
        POINT p{mouse_x(lparam), mouse_y(lparam)};
        RECT client;
        ScreenToClient(hwnd(), &p);
        GetClientRect(hwnd(), &client);
        if (PtInRect(&client, p))
            return HTCLIENT;
        return DefWindowProcW(hwnd(), WM_NCHITTEST, wparam, lparam);
    });
    // The back buffer covers every pixel: erasing first would only flicker.
    map.on_message(WM_ERASEBKGND, [](WPARAM, LPARAM) { return 1; });
    map.on_message(WM_MOUSEMOVE, [this](WPARAM wparam, LPARAM lparam) {
        return (OnMouseMove(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam)), 0);
    });
    map.on_message(WM_LBUTTONDOWN, [this](WPARAM wparam, LPARAM lparam) {
        return (OnLButtonDown(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam)), 0);
    });
    map.on_message(WM_LBUTTONUP, [this](WPARAM wparam, LPARAM lparam) {
        return (OnLButtonUp(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam)), 0);
    });
    map.on_message(WM_RBUTTONUP, [this](WPARAM, LPARAM lparam) {
        return (OnRButtonUp(mouse_x(lparam), mouse_y(lparam)), 0);
    });
}

HWND CModelDataView::Create(HWND parent, const RECT& r, UINT id)
{
    WindowClassStyle style;
    style.style = 0;  // repainted from the back buffer, never redrawn whole on a resize
    style.background = nullptr;
    const DWORD window_style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return create(view_class, style, child_placement(parent, id, r, window_style)) ? hwnd() : nullptr;
}

void CModelDataView::Render(HDC dc, int width, int height)
{
    if (bits_) {
        BITMAP bm{};
        const bool known = GetObjectW(dib_, sizeof bm, &bm) != 0;
        AGGCanvas canvas(dc, width, height, known ? bm.bmWidth : 0, known ? bm.bmHeight : 0, bits_);
        GdiPlotText text(canvas);
        DrawPlot(canvas, text);
    } else {
        GDICanvas canvas(dc, width, height);
        GdiPlotText text(canvas);
        DrawPlot(canvas, text);
    }
}

void CModelDataView::Redraw()
{
    rendered_width_ = rendered_height_ = -1;
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, TRUE);
}

void CModelDataView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    struct EndPaintAtExit {
        HWND hwnd;
        PAINTSTRUCT& ps;
        ~EndPaintAtExit() { EndPaint(hwnd, &ps); }
    } end{hwnd(), ps};
    RECT client;
    GetClientRect(hwnd(), &client);
    if (IsRectEmpty(&client))
        return;
    const int width = client.right, height = client.bottom;
    EnsureBuffer(dc, width, height, window_dpi(hwnd(), dc));
    if (rendered_width_ != width || rendered_height_ != height) {
        const RECT area{0, 0, width, height};
        SetBkColor(memory_dc_, 0xFFFFFF);
        ExtTextOutW(memory_dc_, 0, 0, ETO_OPAQUE, &area, L"", 0, nullptr);
        rendered_width_ = rendered_height_ = -1;
        Render(memory_dc_, width, height);
        rendered_width_ = width;
        rendered_height_ = height;
    }
    DrawSelection(memory_dc_, dc, ps.rcPaint);
    DrawCursorInfo(dc, client);
}

void CModelDataView::DrawSelection(HDC memory_dc, HDC paint_dc, const RECT& paint)
{
    const int pw = paint.right - paint.left, ph = paint.bottom - paint.top;
    BitBlt(paint_dc, paint.left, paint.top, pw, ph, memory_dc, paint.left, paint.top, SRCCOPY);
    if (drag_kind != DragPlain)
        return;
    PlotRect r;
    const PlotPane* pane = PaneInRect(mouse_mode == ModeRange, r);
    if (!pane)
        return;
    const bool range = mouse_mode == ModeRange || pane->kind == DistributionPane;
    RECT sel{r.left, r.top, r.right, r.bottom};
    if (!IntersectRect(&sel, &sel, &paint))
        return;
    const int w = sel.right - sel.left, h = sel.bottom - sel.top;
    HDC dc = CreateCompatibleDC(paint_dc);
    HBITMAP bitmap = CreateCompatibleBitmap(paint_dc, w, h);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    const RECT all{0, 0, w, h};
    SetBkColor(dc, (*palette)[6]);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, L"", 0, nullptr);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 128, 0};
    AlphaBlend(dc, 0, 0, w, h, memory_dc, sel.left, sel.top, w, h, blend);
    HGDIOBJ old_pen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, (*palette)[5]);
    if (range) {
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 0, h);
        MoveToEx(dc, w - 1, h, nullptr);
        LineTo(dc, w - 1, 0);
    } else {
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 0, h - 1);
        LineTo(dc, w - 1, h - 1);
        LineTo(dc, w - 1, 0);
        LineTo(dc, 0, 0);
    }
    SelectObject(dc, old_pen);
    BitBlt(paint_dc, sel.left, sel.top, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void CModelDataView::DrawCursorInfo(HDC dc, const RECT& client)
{
    if (!ShiftHeld() || hovered_point < 0 || hovered_point >= static_cast<int>(points.size()))
        return;
    const PlotPoint& p = points[hovered_point];
    const int x = static_cast<int>(p.sx), y = static_cast<int>(p.sy);
    const int old_rop = SetROP2(dc, R2_NOT);
    HPEN pen = CreatePen(PS_SOLID, 3, 0x000000);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    Ellipse(dc, x - 5, y - 5, x + 5, y + 5);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);
    DeleteObject(pen);
    SetROP2(dc, old_rop);

    wchar_t text[201];
    const wchar_t* format = (options & OptNormalize) ? L"%d: %.4f" : L"%d: %.3f,%.0f";
    int n = std::swprintf(text, 201, format, hovered_point + 1, p.x, p.y);
    if (n < 0)
        n = 200;
    SIZE size{};
    int fit = 0;
    const int left = x + 7, top = y + GetSystemMetrics(SM_CYSIZE);
    GetTextExtentExPointW(dc, text, n, client.right - left, &fit, nullptr, &size);
    RECT box{left, top, left + size.cx, top + size.cy};
    InflateRect(&box, 3, 2);
    SetTextColor(dc, 0x000000);
    SetBkColor(dc, 0xE0E0E0);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    ExtTextOutW(dc, box.left + 3, box.top + 2, ETO_OPAQUE, &box, text, static_cast<UINT>(n), nullptr);
}

long CModelDataView::Notify(const PlotEvent& event)
{
    PlotNotification n{};
    n.hdr.hwndFrom = hwnd();
    n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd()));
    n.hdr.code = static_cast<UINT>(event.code);
    n.mouse_x = event.mouse_x;
    n.mouse_y = event.mouse_y;
    n.x1 = event.x1;
    n.y1 = event.y1;
    n.x2 = event.x2;
    n.y2 = event.y2;
    n.index = event.index;
    return static_cast<long>(
        SendMessageW(GetParent(hwnd()), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n)));
}

void CModelDataView::Invalidate()
{
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void CModelDataView::CaptureMouse(bool capture)
{
    if (capture)
        SetCapture(hwnd());
    else if (GetCapture() == hwnd())
        ReleaseCapture();
}

bool CModelDataView::ShiftHeld() const
{
    return GetKeyState(VK_SHIFT) < 0;
}

PlotRect CModelDataView::ClientRect() const
{
    RECT r{};
    if (hwnd())
        GetClientRect(hwnd(), &r);
    return {r.left, r.top, r.right, r.bottom};
}
