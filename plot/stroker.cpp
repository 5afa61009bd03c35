#include "plot/stroker.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double coincidence = 1e-14;
constexpr double miter_limit = 4.0;
constexpr double inner_miter_limit = 1.01;

double distance(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

// Positive when (x, y) lies on one side of the line through 1 and 2, negative on the other.
double cross_product(double x1, double y1, double x2, double y2, double x, double y)
{
    return (x - x2) * (y2 - y1) - (y - y2) * (x2 - x1);
}

// Where the line through a and b meets the line through c and d; false when parallel.
bool intersection(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy, double& x,
                  double& y)
{
    const double num = (ay - cy) * (dx - cx) - (ax - cx) * (dy - cy);
    const double den = (bx - ax) * (dy - cy) - (by - ay) * (dx - cx);
    if (std::fabs(den) < 1e-30)
        return false;
    const double r = num / den;
    x = ax + r * (bx - ax);
    y = ay + r * (by - ay);
    return true;
}

}  // namespace

void Stroker::stroke(const VectorPath& path, double width, OutlineRasterizer& rasterizer)
{
    half_width_ = width * 0.5;
    points_.clear();
    for (const PathVertex& v : path) {
        if (v.move) {
            outline_sub_path(rasterizer);
            points_.clear();
        }
        add_point(v.x, v.y);
    }
    outline_sub_path(rasterizer);
}

// Keeps a point only when it is apart from the last one kept.
void Stroker::add_point(double x, double y)
{
    if (!points_.empty()) {
        Vertex& last = points_.back();
        last.dist = distance(last.x, last.y, x, y);
        if (!(last.dist > coincidence))
            return;
    }
    points_.push_back({x, y, 0.0});
}

void Stroker::outline_sub_path(OutlineRasterizer& rasterizer)
{
    const std::size_t n = points_.size();
    if (n < 2)
        return;
    outline_.clear();
    cap(points_[0], points_[1], points_[0].dist);
    for (std::size_t i = 1; i + 1 < n; ++i)
        join(points_[i - 1], points_[i], points_[i + 1], points_[i - 1].dist, points_[i].dist);
    cap(points_[n - 1], points_[n - 2], points_[n - 2].dist);
    for (std::size_t i = n - 2; i >= 1; --i)
        join(points_[i + 1], points_[i], points_[i - 1], points_[i].dist, points_[i - 1].dist);

    rasterizer.move_to(outline_[0].x, outline_[0].y);
    for (std::size_t i = 1; i < outline_.size(); ++i)
        rasterizer.line_to(outline_[i].x, outline_[i].y);
}

void Stroker::cap(const Vertex& v0, const Vertex& v1, double length)
{
    const double dx = (v1.y - v0.y) / length * half_width_;
    const double dy = (v1.x - v0.x) / length * half_width_;
    emit(v0.x - dx, v0.y + dy);
    emit(v0.x + dx, v0.y - dy);
}

void Stroker::join(const Vertex& v0, const Vertex& v1, const Vertex& v2, double length1, double length2)
{
    const double dx1 = half_width_ * (v1.y - v0.y) / length1;
    const double dy1 = half_width_ * (v1.x - v0.x) / length1;
    const double dx2 = half_width_ * (v2.y - v1.y) / length2;
    const double dy2 = half_width_ * (v2.x - v1.x) / length2;

    const double cp = cross_product(v0.x, v0.y, v1.x, v1.y, v2.x, v2.y);
    if (cp != 0.0 && (cp > 0.0) == (half_width_ > 0.0)) {
        // The inner side of the corner.
        const double limit = std::max(std::min(length1, length2) / std::fabs(half_width_), inner_miter_limit);
        miter(v0, v1, v2, dx1, dy1, dx2, dy2, false, limit, 0.0);
    } else {
        const double bevel = distance(0.0, 0.0, (dx1 + dx2) / 2, (dy1 + dy2) / 2);
        miter(v0, v1, v2, dx1, dy1, dx2, dy2, true, miter_limit, bevel);
    }
}

// The offset lines' meeting point when it lies within `limit` half-widths of v1; beyond
// it, a cut miter (`cut`) or the two offset ends.
void Stroker::miter(const Vertex& v0, const Vertex& v1, const Vertex& v2, double dx1, double dy1, double dx2,
                    double dy2, bool cut, double limit, double bevel)
{
    const double reach = std::fabs(half_width_) * limit;
    const double x1 = v1.x + dx1, y1 = v1.y - dy1;
    const double x2 = v1.x + dx2, y2 = v1.y - dy2;
    double xi = v1.x, yi = v1.y;
    const bool met = intersection(v0.x + dx1, v0.y - dy1, x1, y1, x2, y2, v2.x + dx2, v2.y - dy2, xi, yi);
    const double di = met ? distance(v1.x, v1.y, xi, yi) : 1.0;
    if (met && di <= reach) {
        emit(xi, yi);
        return;
    }
    if (!met && (cross_product(v0.x, v0.y, v1.x, v1.y, x1, y1) < 0.0) ==
                    (cross_product(v1.x, v1.y, v2.x, v2.y, x1, y1) < 0.0)) {
        emit(x1, y1);  // straight on: the offset lines are one
        return;
    }
    if (!cut) {
        emit(x1, y1);
        emit(x2, y2);
    } else if (!met) {
        const double m = half_width_ < 0.0 ? -limit : limit;
        emit(x1 + dy1 * m, y1 + dx1 * m);
        emit(x2 - dy2 * m, y2 - dx2 * m);
    } else {
        const double k = (reach - bevel) / (di - bevel);
        emit(x1 + (xi - x1) * k, y1 + (yi - y1) * k);
        emit(x2 + (xi - x2) * k, y2 + (yi - y2) * k);
    }
}
