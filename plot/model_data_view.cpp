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

ATOM register_view_class()
{
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = view_class;
        return RegisterClassExW(&wc);
    }();
    return atom;
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

CModelDataView::CModelDataView(int scheme) : PlotView(scheme) {}

CModelDataView::~CModelDataView()
{
    // The window may outlive the view: its procedure must no longer reach it.
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    }
}

HWND CModelDataView::Create(HWND parent, const RECT& r, UINT id)
{
    if (!register_view_class())
        return nullptr;
    HWND hwnd = CreateWindowExW(0, view_class, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd)
        return nullptr;
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CModelDataView::WindowProc));
    return hwnd;
}

LRESULT CALLBACK CModelDataView::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* view = reinterpret_cast<CModelDataView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!view)
        return DefWindowProcW(hwnd, message, wparam, lparam);
    // No exception may cross into the system's message dispatch.
    try {
        return view->ProcessWindowMessage(message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

LRESULT CModelDataView::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_WINDOWPOSCHANGED:
        InvalidateRect(hwnd_, nullptr, FALSE);
        break;
    case WM_NCHITTEST: {
        POINT p{mouse_x(lparam), mouse_y(lparam)};
        RECT client;
        ScreenToClient(hwnd_, &p);
        GetClientRect(hwnd_, &client);
        if (PtInRect(&client, p))
            return HTCLIENT;
        break;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        OnMouseMove(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(mouse_x(lparam), mouse_y(lparam), static_cast<unsigned>(wparam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(mouse_x(lparam), mouse_y(lparam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
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
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void CModelDataView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    struct EndPaintAtExit {
        HWND hwnd;
        PAINTSTRUCT& ps;
        ~EndPaintAtExit() { EndPaint(hwnd, &ps); }
    } end{hwnd_, ps};
    RECT client;
    GetClientRect(hwnd_, &client);
    if (IsRectEmpty(&client))
        return;
    const int width = client.right, height = client.bottom;
    EnsureBuffer(dc, width, height, window_dpi(hwnd_, dc));
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
    n.hdr.hwndFrom = hwnd_;
    n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    n.hdr.code = static_cast<UINT>(event.code);
    n.mouse_x = event.mouse_x;
    n.mouse_y = event.mouse_y;
    n.x1 = event.x1;
    n.y1 = event.y1;
    n.x2 = event.x2;
    n.y2 = event.y2;
    n.index = event.index;
    return static_cast<long>(
        SendMessageW(GetParent(hwnd_), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n)));
}

void CModelDataView::Invalidate()
{
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
}

void CModelDataView::CaptureMouse(bool capture)
{
    if (capture)
        SetCapture(hwnd_);
    else if (GetCapture() == hwnd_)
        ReleaseCapture();
}

bool CModelDataView::ShiftHeld() const
{
    return GetKeyState(VK_SHIFT) < 0;
}

PlotRect CModelDataView::ClientRect() const
{
    RECT r{};
    if (hwnd_)
        GetClientRect(hwnd_, &r);
    return {r.left, r.top, r.right, r.bottom};
}
