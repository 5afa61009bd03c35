// The view's state changes and mouse gestures: hovering a data point, zooming by a
// dragged rectangle, range selection, Ctrl segments over distribution panes and the
// clicks that the parent handles. Everything the window does for them goes through the
// hooks, so the state machine runs without a window.
#include <algorithm>
#include <cmath>

#include "plot/plot_view.h"

PlotView::PlotView(int scheme) : palette(plot_palette(scheme)) {}

void PlotView::SetData(const IModel* m, const IModelData* d, const DVector* p, const DMatrix* c,
                       const ILockInfo* lock, const SpectrumAnalysis* analysis)
{
    model = m;
    data = d;
    parameters = p;
    covariance = c;
    lock_info = lock;
    analysis_override = analysis;
    Redraw();
}

void PlotView::SetOptions(std::int32_t value, std::int32_t mask)
{
    const std::int32_t before = options;
    options = mask == 0 ? value : ((value & mask) | (options & ~mask));
    // The zoom box's y range is in the other unit now.
    if (((before ^ options) & OptNormalize) && zoom.valid())
        zoom = {};
    Redraw();
}

void PlotView::ResetZoom()
{
    zoom = {};
    Redraw();
}

int PlotView::find_nearest_point(int x, int y) const
{
    int best = -1;
    float best_distance = 25.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const float dx = points[i].sx - float(x), dy = points[i].sy - float(y);
        const float d = dx * dx + dy * dy;
        if (d < best_distance || (best < 0 && d == best_distance)) {
            best = int(i);
            best_distance = d;
        }
    }
    return best;
}

const PlotPane* PlotView::PaneAt(int x, int y) const
{
    for (const PlotPane& pane : panes)
        if (pane.rect.contains(x, y))
            return &pane;
    return nullptr;
}

const PlotPane* PlotView::PaneInRect(bool full_height, PlotRect& out) const
{
    const PlotRect drag{std::min(drag_start_x, drag_end_x), std::min(drag_start_y, drag_end_y),
                        std::max(drag_start_x, drag_end_x), std::max(drag_start_y, drag_end_y)};
    for (const PlotPane& pane : panes) {
        PlotRect r = drag;
        if (pane.kind == DistributionPane || full_height) {
            r.top = pane.rect.top;
            r.bottom = pane.rect.bottom;
        }
        const PlotRect cut{std::max(r.left, pane.rect.left), std::max(r.top, pane.rect.top),
                           std::min(r.right, pane.rect.right), std::min(r.bottom, pane.rect.bottom)};
        if (!cut.empty() || (drag.empty() && pane.rect.contains(drag.left, drag.top))) {
            out = cut;
            return &pane;
        }
    }
    out = {};
    return nullptr;
}

namespace {

std::int32_t modifier_kind(unsigned keys)
{
    if (keys & KeyControl)
        return DragCtrl;
    return (keys & KeyShift) ? DragShift : DragPlain;
}

}  // namespace

void PlotView::NotifySegment(const PlotPane& pane, int x, int y)
{
    const DataPoint from = client_to_data(pane.second, drag_start_x, drag_start_y);
    const DataPoint to = client_to_data(pane.second, x, y);
    Notify({NotifySegmentCode, x, y, from.x, from.y, to.x, to.y, pane.index});
}

void PlotView::OnLButtonDown(int x, int y, unsigned keys)
{
    if ((keys & KeyShift) && hovered_point >= 0 && find_nearest_point(x, y) == hovered_point) {
        Notify({NotifyPointClick, x, y, 0, 0, 0, 0, hovered_point});
        return;
    }
    if (keys & KeyControl) {
        const PlotPane* pane = PaneAt(x, y);
        if (pane && pane->kind == SpectrumPane) {
            const DataPoint p = client_to_data(pane->first, x, y);
            if (Notify({NotifyAddPoint, x, y, p.x, p.y, p.x, p.y, 0}) != 0)
                return;
        }
    }
    drag_kind = modifier_kind(keys);
    CaptureMouse(true);
    drag_start_x = drag_end_x = x;
    drag_start_y = drag_end_y = y;
    if (drag_kind == DragPlain)
        Invalidate();
}

void PlotView::OnMouseMove(int x, int y, unsigned keys)
{
    if (drag_kind == DragNone) {
        const int hovered = ShiftHeld() ? find_nearest_point(x, y) : -1;
        if (hovered != hovered_point) {
            hovered_point = hovered;
            Invalidate();
        }
        return;
    }
    const std::int32_t kind = modifier_kind(keys);
    drag_end_x = x;
    drag_end_y = y;
    if (kind != drag_kind) {
        drag_kind = kind;
        drag_start_x = x;
        drag_start_y = y;
    } else if (kind == DragCtrl) {
        const PlotPane* pane = PaneAt(x, y);
        if (pane && pane->kind == DistributionPane)
            NotifySegment(*pane, x, y);
        drag_start_x = x;
        drag_start_y = y;
    }
    hovered_point = -1;
    if (drag_kind == DragPlain)
        Invalidate();
}

void PlotView::OnLButtonUp(int x, int y, unsigned keys)
{
    const std::int32_t kind = drag_kind;
    drag_kind = DragNone;
    CaptureMouse(false);
    if (modifier_kind(keys) != kind) {
        Invalidate();
        return;
    }
    if (kind != DragPlain)
        return;
    drag_end_x = x;
    drag_end_y = y;
    PlotRect r;
    const PlotPane* pane = PaneInRect(false, r);
    if (!pane)
        return;
    const DataPoint low = client_to_data(pane->first, r.left, r.bottom);
    const DataPoint high = client_to_data(pane->first, r.right, r.top);
    if (pane->kind == SpectrumPane) {
        if (mouse_mode == ModeRange) {
            Notify({NotifyRange, x, y, low.x, low.y, high.x, high.y, 0});
        } else {
            const double x_scale = std::max(std::fabs(low.x), std::fabs(high.x));
            const double y_scale = std::max(std::fabs(low.y), std::fabs(high.y));
            if (low.x < high.x && low.y < high.y && x_scale != 0.0 && y_scale != 0.0) {
                const double extent = std::min((high.x - low.x) / x_scale, (high.y - low.y) / y_scale);
                if (extent >= 1e-4)
                    zoom = {low.x, low.y, high.x, high.y};
            } else {
                zoom = {};
            }
        }
    } else {
        if (r.empty()) {
            Invalidate();
            return;
        }
        Notify({NotifyDistributionRange, x, y, low.x, low.y, high.x, high.y, pane->index});
    }
    Redraw();
}

void PlotView::OnRButtonUp(int x, int y)
{
    drag_start_x = drag_end_x = x;
    drag_start_y = drag_end_y = y;
    PlotRect r;
    const PlotPane* pane = PaneInRect(false, r);
    if (pane && pane->kind == DistributionPane)
        Notify({NotifyDistributionMenu, x, y, 0, 0, 0, 0, pane->index});
}
