// The outline of stroked polylines, as polygons for the non-zero fill. Each sub-path of
// two or more distinct points becomes one closed polygon: a butt cap at the start, the
// joins down one side, a butt cap at the end, the joins back up the other side.
//
// At a corner the outer side takes a miter join: the two offset lines meet at their
// intersection while it lies within 4 half-widths of the vertex. A longer miter is cut
// off: both offset lines run on towards the intersection by the fraction (4w − b)/(d − b)
// of the way (w the half-width, d the vertex's distance to the intersection, b its
// distance to the middle of the bevel), which ends them on a chord near the limit. When
// the offset lines cannot meet (a full turn back) the cut stands 4 half-widths out along
// each segment's direction. The inner side takes the intersection too, unless it lies
// farther from the vertex than the shorter neighbouring segment is long (or than 1.01
// half-widths, if that is more); then the outline goes straight from one offset end to
// the other, and the non-zero fill covers the loop this leaves.
#pragma once

#include <vector>

#include "plot/outline_rasterizer.h"
#include "plot/vector_path.h"

class Stroker {
public:
    // Adds the outline of every sub-path of `path` at `width` (pixels) to `rasterizer`.
    void stroke(const VectorPath& path, double width, OutlineRasterizer& rasterizer);

private:
    struct Point {
        double x, y;
    };
    struct Vertex {
        double x, y;
        double dist;  // to the next vertex
    };

    void add_point(double x, double y);
    void outline_sub_path(OutlineRasterizer& rasterizer);
    void cap(const Vertex& v0, const Vertex& v1, double length);
    void join(const Vertex& v0, const Vertex& v1, const Vertex& v2, double length1, double length2);
    void miter(const Vertex& v0, const Vertex& v1, const Vertex& v2, double dx1, double dy1, double dx2, double dy2,
               bool cut, double limit, double bevel);
    void emit(double x, double y) { outline_.push_back({x, y}); }

    double half_width_ = 0.5;
    std::vector<Vertex> points_;
    std::vector<Point> outline_;
};
