// The point list of the GDI canvas: points with a pen-down flag (a pen-up point starts a
// new polyline) and a current point, and its conversion to the runs of one PolyPolyline
// call. Portable, so that the run splitting is tested everywhere.
#pragma once

#include <cstdint>
#include <vector>

struct PathPoint {
    double x;
    double y;
    bool pen_down;
};

struct IntPoint {
    std::int32_t x;
    std::int32_t y;
};

// A coordinate truncated to an integer that GDI accepts (clamped to its 28-bit range; NaN
// gives 0).
std::int32_t gdi_coordinate(double v);

// Polylines for PolyPolyline: all points in a row and each polyline's count.
struct Polylines {
    std::vector<IntPoint> points;
    std::vector<std::uint32_t> counts;
};

class PenPath {
public:
    // A pen-up point at (x, y); it replaces a pen-up point that ends the list.
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void LineRel(double dx, double dy);
    // A pen-up point at (x1, y1) and a pen-down point at (x2, y2).
    void Line(double x1, double y1, double x2, double y2);
    // The diagonal cross of half-width `size` for every marker type, and an error bar
    // when `error` > 0.
    void Marker(int type, double x, double y, double size, double error);

    // Empties the list; the current point stays.
    void clear() { points_.clear(); }
    bool empty() const { return points_.empty(); }
    const std::vector<PathPoint>& points() const { return points_; }

    // The list split into runs, each from a pen-up point (or the list's start) to the
    // point before the next one, with coordinates truncated to integers. A run of one
    // point would make GDI refuse the whole call, so it is dropped; so is a point with a
    // coordinate that is not finite, which ends its run.
    void polylines(Polylines& out) const;

private:
    std::vector<PathPoint> points_;
    double x_ = 0.0;
    double y_ = 0.0;
};
