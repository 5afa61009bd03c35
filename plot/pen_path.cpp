#include "plot/pen_path.h"

#include <algorithm>
#include <cmath>

#include "plot/error_bar.h"

std::int32_t gdi_coordinate(double v)
{
    constexpr double limit = (1 << 27) - 1;
    return std::isnan(v) ? 0 : static_cast<std::int32_t>(std::clamp(v, -limit, limit));
}

void PenPath::MoveTo(double x, double y)
{
    x_ = x;
    y_ = y;
    if (!points_.empty() && !points_.back().pen_down)
        points_.back() = {x, y, false};
    else
        points_.push_back({x, y, false});
}

void PenPath::LineTo(double x, double y)
{
    x_ = x;
    y_ = y;
    points_.push_back({x, y, true});
}

void PenPath::LineRel(double dx, double dy)
{
    LineTo(x_ + dx, y_ + dy);
}

void PenPath::Line(double x1, double y1, double x2, double y2)
{
    points_.push_back({x1, y1, false});
    LineTo(x2, y2);
}

void PenPath::Marker(int, double x, double y, double size, double error)
{
    MoveTo(x - size, y - size);
    LineRel(2 * size, 2 * size);
    MoveTo(x - size, y + size);
    LineRel(2 * size, -2 * size);
    if (error > 0.0)
        add_error_bar(*this, x, y, size, error);
}

void PenPath::polylines(Polylines& out) const
{
    out.points.clear();
    out.counts.clear();
    std::uint32_t run = 0;
    const auto end_run = [&] {
        if (run == 1)
            out.points.pop_back();
        else if (run > 1)
            out.counts.push_back(run);
        run = 0;
    };
    for (const PathPoint& p : points_) {
        if (!p.pen_down)
            end_run();
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            end_run();
            continue;
        }
        out.points.push_back({gdi_coordinate(p.x), gdi_coordinate(p.y)});
        ++run;
    }
    end_run();
}
