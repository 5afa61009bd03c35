#include "plot/bezier_arc.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int recursion_limit = 32;
constexpr double collinearity = 1e-30;
constexpr double tolerance_square = 0.5 * 0.5;  // half a pixel

struct Cubic {
    double x1, y1, x2, y2, x3, y3, x4, y4;
};

double square_distance(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    return dx * dx + dy * dy;
}

// Distance² from the control point (x, y) to the chord's nearest point, given its
// position t along the chord (1 at the far end).
double square_distance_to_chord(const Cubic& c, double x, double y, double t)
{
    if (t <= 0.0)
        return square_distance(x, y, c.x1, c.y1);
    if (t >= 1.0)
        return square_distance(x, y, c.x4, c.y4);
    return square_distance(x, y, c.x1 + t * (c.x4 - c.x1), c.y1 + t * (c.y4 - c.y1));
}

// Adds the inner points of the flattened cubic (not its ends).
void subdivide(VectorPath& path, const Cubic& c, int level)
{
    if (level > recursion_limit)
        return;
    const double x12 = (c.x1 + c.x2) / 2, y12 = (c.y1 + c.y2) / 2;
    const double x23 = (c.x2 + c.x3) / 2, y23 = (c.y2 + c.y3) / 2;
    const double x34 = (c.x3 + c.x4) / 2, y34 = (c.y3 + c.y4) / 2;
    const double x123 = (x12 + x23) / 2, y123 = (y12 + y23) / 2;
    const double x234 = (x23 + x34) / 2, y234 = (y23 + y34) / 2;
    const double x1234 = (x123 + x234) / 2, y1234 = (y123 + y234) / 2;

    const double dx = c.x4 - c.x1, dy = c.y4 - c.y1;
    double d2 = std::fabs((c.x2 - c.x4) * dy - (c.y2 - c.y4) * dx);
    double d3 = std::fabs((c.x3 - c.x4) * dy - (c.y3 - c.y4) * dx);
    const bool off2 = d2 > collinearity, off3 = d3 > collinearity;
    if (off2 || off3) {
        const double d = (off2 ? d2 : 0.0) + (off3 ? d3 : 0.0);
        if (d * d <= tolerance_square * (dx * dx + dy * dy)) {
            path.line_to(x23, y23);
            return;
        }
    } else {
        const double chord = dx * dx + dy * dy;
        if (chord == 0.0) {
            d2 = square_distance(c.x1, c.y1, c.x2, c.y2);
            d3 = square_distance(c.x4, c.y4, c.x3, c.y3);
        } else {
            const double t2 = ((c.x2 - c.x1) * dx + (c.y2 - c.y1) * dy) / chord;
            const double t3 = ((c.x3 - c.x1) * dx + (c.y3 - c.y1) * dy) / chord;
            if (t2 > 0.0 && t2 < 1.0 && t3 > 0.0 && t3 < 1.0)
                return;  // a straight piece, control points between its ends
            d2 = square_distance_to_chord(c, c.x2, c.y2, t2);
            d3 = square_distance_to_chord(c, c.x3, c.y3, t3);
        }
        if (d2 > d3) {
            if (d2 < tolerance_square) {
                path.line_to(c.x2, c.y2);
                return;
            }
        } else if (d3 < tolerance_square) {
            path.line_to(c.x3, c.y3);
            return;
        }
    }
    subdivide(path, {c.x1, c.y1, x12, y12, x123, y123, x1234, y1234}, level + 1);
    subdivide(path, {x1234, y1234, x234, y234, x34, y34, c.x4, c.y4}, level + 1);
}

// The cubic of the arc from `start` sweeping `sweep` (at most a quarter turn).
Cubic arc_cubic(double cx, double cy, double r, double start, double sweep)
{
    const double x0 = std::cos(sweep / 2.0);
    const double y0 = std::sin(sweep / 2.0);
    const double tx = (1.0 - x0) * 4.0 / 3.0;
    const double ty = y0 - tx * x0 / y0;
    const double px[4] = {x0, x0 + tx, x0 + tx, x0};
    const double py[4] = {-y0, -ty, ty, y0};
    const double sn = std::sin(start + sweep / 2.0);
    const double cs = std::cos(start + sweep / 2.0);
    double out[8];
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = cx + r * (px[i] * cs - py[i] * sn);
        out[2 * i + 1] = cy + r * (px[i] * sn + py[i] * cs);
    }
    return {out[0], out[1], out[2], out[3], out[4], out[5], out[6], out[7]};
}

}  // namespace

void add_circle(VectorPath& path, double cx, double cy, double r)
{
    constexpr double full_turn = 2.0 * std::numbers::pi;
    constexpr double quarter = std::numbers::pi * 0.5;
    constexpr int n = 4;
    Cubic arcs[n];
    double start = 0.0;
    for (int i = 0; i < n; ++i) {
        // The last quarter is what the others leave of the full turn.
        const double sweep = i + 1 < n ? quarter : full_turn - start;
        arcs[i] = arc_cubic(cx, cy, r, start, sweep);
        start += sweep;
    }
    // Consecutive arcs share the later one's start point, so that no seam opens.
    for (int i = 0; i + 1 < n; ++i) {
        arcs[i].x4 = arcs[i + 1].x1;
        arcs[i].y4 = arcs[i + 1].y1;
    }
    path.move_to(arcs[0].x1, arcs[0].y1);
    for (int i = 0; i < n; ++i) {
        subdivide(path, arcs[i], 0);
        path.line_to(arcs[i].x4, arcs[i].y4);
    }
}
