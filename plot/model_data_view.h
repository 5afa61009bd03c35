// The plot view's window (Windows only): a double-buffered child window around
// PlotView. The back buffer is a 32-bit DIB section re-rendered only when stale or
// resized; the selection and the point read-out are composed over it at paint time. Its
// mouse gestures reach the parent as WM_NOTIFY with a PlotNotification.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plot/plot_view.h"
#include "wingui/window.h"

// The record of every WM_NOTIFY the view sends; wParam is the view's control id.
struct PlotNotification {
    NMHDR hdr;
    std::int32_t mouse_x;
    std::int32_t mouse_y;
    double x1;
    double y1;
    double x2;
    double y2;
    std::int32_t index;
};

// The back buffer: a memory DC holding a DIB section and the plot font.
class CDoubleBufferedWindow {
public:
    CDoubleBufferedWindow() = default;
    CDoubleBufferedWindow(const CDoubleBufferedWindow&) = delete;
    CDoubleBufferedWindow& operator=(const CDoubleBufferedWindow&) = delete;
    ~CDoubleBufferedWindow() { ReleaseBuffer(); }

    // Restores the DC's old bitmap and font, deletes the DIB section, the font and the
    // DC, and marks the buffer stale.
    void ReleaseBuffer();

protected:
    // A buffer at least as large as the client, with the Tahoma 9 pt font of `dpi`.
    void EnsureBuffer(HDC paint_dc, int width, int height, int dpi);

    HDC memory_dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ old_font_ = nullptr;
    int rendered_width_ = -1;  // −1: stale
    int rendered_height_ = -1;
    void* bits_ = nullptr;
};

class CModelDataView final : public PlotView, public CDoubleBufferedWindow, public Window {
public:
    using Canvas = ::Canvas;

    explicit CModelDataView(int scheme);

    // Creates the child window with the given control id; null on failure.
    HWND Create(HWND parent, const RECT& rect, UINT id);
    HWND window() const { return hwnd(); }

    // Draws the plot on `dc` (the back buffer): anti-aliased when the buffer has bits.
    void Render(HDC dc, int width, int height);
    void Redraw() override;

private:
    void OnPaint();
    void DrawSelection(HDC memory_dc, HDC paint_dc, const RECT& paint);
    void DrawCursorInfo(HDC dc, const RECT& client);

    long Notify(const PlotEvent& event) override;
    void Invalidate() override;
    void CaptureMouse(bool capture) override;
    bool ShiftHeld() const override;
    PlotRect ClientRect() const override;
};
