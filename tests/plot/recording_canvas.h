// A canvas and a text surface that record what the painter asks of them, in order, for
// tests and benchmarks that need no window. Every call becomes one Call; shapes of the
// current path are counted until DrawPath takes them.
#pragma once

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "plot/canvas.h"
#include "plot/plot_text.h"
#include "plot/plot_view.h"

struct Call {
    std::string op;              // the operation's name
    std::vector<double> args;    // its numbers in argument order (colours as numbers)
    std::wstring text;           // texts
    std::size_t path_items = 0;  // DrawPath: lines and markers it drew
};

struct CallLog {
    std::vector<Call> calls;
    bool saw_non_finite = false;  // a coordinate that is not a number reached the canvas

    void add(std::string op, std::vector<double> args, std::wstring text = {}, std::size_t items = 0)
    {
        for (double a : args)
            if (!std::isfinite(a))
                saw_non_finite = true;
        calls.push_back({std::move(op), std::move(args), std::move(text), items});
    }
    std::vector<const Call*> named(std::string_view op) const
    {
        std::vector<const Call*> out;
        for (const Call& c : calls)
            if (c.op == op)
                out.push_back(&c);
        return out;
    }
    std::string ops() const
    {
        std::string s;
        for (const Call& c : calls)
            s += c.op + " ";
        return s;
    }
};

class RecordingCanvas final : public Canvas {
public:
    RecordingCanvas(CallLog& log, int width, int height) : Canvas(nullptr, width, height), log_(log) {}

    std::vector<FloatPoint> last_polygon;

    void DrawPolygon(const FloatPoint* p, unsigned count, double width, COLORREF stroke, double stroke_opacity,
                     COLORREF fill, double fill_opacity) override
    {
        last_polygon.assign(p, p + count);
        std::vector<double> args{double(count), width, double(stroke), stroke_opacity, double(fill), fill_opacity};
        for (unsigned i = 0; i < count; ++i) {
            args.push_back(p[i].x);
            args.push_back(p[i].y);
        }
        log_.add("DrawPolygon", args);
    }
    void FillRect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b, COLORREF c, double o) override
    {
        log_.add("FillRect", {double(l), double(t), double(r), double(b), double(c), o});
    }
    void SetClip(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) override
    {
        log_.add("SetClip", {double(l), double(t), double(r), double(b)});
    }
    void Line(double x1, double y1, double x2, double y2) override
    {
        lines.push_back({x1, y1, x2, y2});
        check({x1, y1, x2, y2});
        ++items_;
    }
    void LineRel(double dx, double dy) override
    {
        check({dx, dy});
        ++items_;
    }
    void LineTo(double x, double y) override
    {
        check({x, y});
        ++items_;
    }
    void MoveTo(double x, double y) override { check({x, y}); }
    void Marker(std::int32_t type, double x, double y, double size, double error) override
    {
        markers.push_back({double(type), x, y, size, error});
        check({x, y, size, error});
        ++items_;
    }
    void DrawPath(double width, COLORREF stroke, double so, COLORREF fill, double fo) override
    {
        log_.add("DrawPath", {width, double(stroke), so, double(fill), fo}, {}, items_);
        items_ = 0;
    }

    std::vector<std::vector<double>> lines;    // every Line call
    std::vector<std::vector<double>> markers;  // every Marker call

private:
    void check(std::initializer_list<double> v)
    {
        for (double a : v)
            if (!std::isfinite(a))
                log_.saw_non_finite = true;
    }

    CallLog& log_;
    std::size_t items_ = 0;
};

// Texts of a fixed-width font: every character 6 pixels wide, 12 high (ascent 10);
// 96 dpi.
class RecordingText final : public PlotText {
public:
    explicit RecordingText(CallLog& log) : log_(log) {}

    double PointsToLogical(double points) const override { return points * 96.0 / 72.0; }
    int FontHeight() const override { return 12; }
    int FontAscent() const override { return 10; }
    TextExtent Measure(std::wstring_view text) const override { return {int(6 * text.size()), 12}; }
    void Write(int x, int y, unsigned align, std::wstring_view text) override
    {
        log_.add("Write", {double(x), double(y), double(align)}, std::wstring(text));
    }
    void FrameRect(int l, int t, int r, int b, double width, COLORREF color) override
    {
        log_.add("FrameRect", {double(l), double(t), double(r), double(b), width, double(color)});
    }
    void FillOpaque(const PlotRect& r, COLORREF color) override
    {
        log_.add("FillOpaque", {double(r.left), double(r.top), double(r.right), double(r.bottom), double(color)});
    }
    PlotRect MeasureNote(std::wstring_view text, int) const override { return {0, 0, int(6 * text.size()), 12}; }
    void WriteNote(const PlotRect& r, std::wstring_view text) override
    {
        log_.add("WriteNote", {double(r.left), double(r.top), double(r.right), double(r.bottom)},
                 std::wstring(text));
    }

private:
    CallLog& log_;
};

// A view without a window: notifications and window requests are recorded, and the
// client area is a fixed rectangle.
class TestView final : public PlotView {
public:
    explicit TestView(int scheme = 0) : PlotView(scheme) {}

    std::vector<PlotEvent> events;
    long reply = 0;  // what the parent answers
    int invalidated = 0;
    int redrawn = 0;
    bool captured = false;
    bool shift = false;
    PlotRect client{0, 0, 640, 400};

protected:
    long Notify(const PlotEvent& e) override
    {
        events.push_back(e);
        return reply;
    }
    void Invalidate() override { ++invalidated; }
    void Redraw() override { ++redrawn; }
    void CaptureMouse(bool c) override { captured = c; }
    bool ShiftHeld() const override { return shift; }
    PlotRect ClientRect() const override { return client; }
};
