// The plot view without its window: the document pointers it shows, its options, zoom
// box and mouse state, the painter that draws it on a canvas, and the mouse gestures
// that zoom or turn into notifications to the parent. The window around it
// (CModelDataView, Windows only) supplies the side effects through the hooks at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/fit/model_interfaces.h"
#include "core/numerics/ublas_types.h"
#include "core/spectrum/spectrum_data.h"
#include "plot/canvas.h"
#include "plot/plot_geometry.h"
#include "plot/plot_palette.h"
#include "plot/plot_text.h"

// Option bits of the view.
enum PlotOption : std::int32_t {
    OptPoints = 0x1,
    OptEnvelope = 0x2,
    OptDifference = 0x8,
    OptComponents = 0x10,
    OptGrid = 0x20,
    OptLabels = 0x40,
    OptFontMargin = 0x100,
    OptNormalize = 0x200,
    OptSmoothDifference = 0x400,
    OptExtraPanes = 0x800,
    OptPaneErrors = 0x1000,
    OptDetectedLines = 0x2000,
    OptStdDevBars = 0x4000,
};
constexpr std::int32_t initial_plot_options = 0xB7B;

// Codes of the view's notifications.
enum PlotNotifyCode : std::int32_t {
    NotifyRange = 200,
    NotifyDistributionRange = 201,
    NotifySegmentCode = 202,
    NotifyDistributionMenu = 203,
    NotifyPointClick = 204,
    NotifyAddPoint = 205,
};

// What a notification carries besides the window's header.
struct PlotEvent {
    std::int32_t code = 0;
    std::int32_t mouse_x = 0;
    std::int32_t mouse_y = 0;
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    std::int32_t index = 0;
};

enum DragKind : std::int32_t { DragNone = 0, DragPlain = 1, DragCtrl = 2, DragShift = 3 };
enum MouseMode : std::int32_t { ModeRange = 1, ModeZoom = 2 };

// Modifier flags of a mouse message (the Windows MK_ values).
enum MouseKeys : unsigned { KeyShift = 0x4, KeyControl = 0x8 };

struct ZoomBox {
    double xmin = 0.0;
    double ymin = 0.0;
    double xmax = 0.0;
    double ymax = 0.0;

    bool valid() const { return xmin < xmax && ymin < ymax; }
};

class PlotView {
public:
    explicit PlotView(int scheme);
    PlotView(const PlotView&) = delete;
    PlotView& operator=(const PlotView&) = delete;
    virtual ~PlotView() = default;

    // All null clears the view.
    void SetData(const IModel* model, const IModelData* data, const DVector* parameters, const DMatrix* covariance,
                 const ILockInfo* lock_info, const SpectrumAnalysis* analysis);
    // With mask 0 the options become `value`, else only the bits of the mask change.
    void SetOptions(std::int32_t value, std::int32_t mask);
    void ResetZoom();

    // ---- The painter ----

    void DrawPlot(Canvas& canvas, PlotText& text);
    void SetTransform(double xmin, double xmax, double ymin, double ymax, double ylow, int left, int top, int width,
                      int height);
    DataPoint DataToClient(double x, double y) const;
    void DrawDataPolygon(Canvas& canvas, const FloatPoint* points, unsigned count, double width, COLORREF stroke,
                         double stroke_opacity, COLORREF fill, double fill_opacity) const;

    // ---- The pane column at the right (plot_extra_panes.cpp) ----

    // One pane of the column: a distribution's points and weights, or a component's
    // extra graphs.
    struct ExtraPane {
        std::int32_t component = 0;
        std::int32_t ordinal = -1;  // the distribution's ordinal; -1 for extra graphs
        bool graphs = false;

        bool operator==(const ExtraPane&) const = default;
    };
    // The column's panes for the options in effect and the model's distributions (its
    // IDistParams::point_params), ordered by component and then kind.
    std::vector<ExtraPane> ExtraPaneList(std::int32_t effective, const std::vector<DistPointParams>& distributions) const;
    // Draws the column from `left` to `right` and from T to B; distribution panes join
    // the pane list for the mouse. Nothing when the panes would be 10 pixels high or less.
    void DrawExtraPanes(Canvas& canvas, PlotText& text, const std::vector<ExtraPane>& list,
                        const std::vector<DistPointParams>& distributions, std::int32_t effective, int left, int right,
                        int T, int B);

    // ---- Axis ticks ----

    void FitTickSteps(const PlotText& text, double& x_step, double& y_step, double widest_x) const;
    void DrawXTicks(Canvas& canvas, PlotText& text, double step, double xmin, double xmax, double y1, double y2,
                    std::int32_t options) const;
    void DrawYTicks(Canvas& canvas, PlotText& text, double step, double ymin, double ymax, double x1, double x2,
                    std::int32_t options) const;

    // ---- Mouse ----

    int find_nearest_point(int x, int y) const;
    const PlotPane* PaneAt(int x, int y) const;
    const PlotPane* PaneInRect(bool full_height, PlotRect& rect) const;
    void OnLButtonDown(int x, int y, unsigned keys);
    void OnLButtonUp(int x, int y, unsigned keys);
    void OnMouseMove(int x, int y, unsigned keys);
    void OnRButtonUp(int x, int y);
    void NotifySegment(const PlotPane& pane, int x, int y);

    // ---- State (read by the window and the tests) ----

    const IModel* model = nullptr;
    const IModelData* data = nullptr;
    const SpectrumAnalysis* analysis_override = nullptr;
    const DVector* parameters = nullptr;
    const DMatrix* covariance = nullptr;
    const ILockInfo* lock_info = nullptr;
    std::int32_t options = initial_plot_options;
    std::int32_t available_mask = 0;
    std::int32_t selected_component = -1;
    std::wstring note;
    std::int32_t hovered_point = -1;
    std::int32_t drag_start_x = 0;
    std::int32_t drag_start_y = 0;
    std::int32_t drag_end_x = 0;
    std::int32_t drag_end_y = 0;
    std::int32_t drag_kind = DragNone;
    std::int32_t mouse_mode = ModeZoom;
    ZoomBox zoom;
    std::vector<PlotPoint> points;
    std::vector<PlotPane> panes;
    PlotTransform transform;
    PlotRect rect;
    PlotPalette* palette;

protected:
    // ---- What the window does for the view ----

    // Sends the notification to the parent; its reply.
    virtual long Notify(const PlotEvent& event) = 0;
    virtual void Invalidate() = 0;
    // Marks the back buffer stale and invalidates.
    virtual void Redraw() = 0;
    virtual void CaptureMouse(bool capture) = 0;
    virtual bool ShiftHeld() const = 0;
    virtual PlotRect ClientRect() const = 0;
};
