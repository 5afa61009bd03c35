// Fills outlines given in pixel coordinates (doubles) with anti-aliasing: sub-paths are
// closed automatically, vertices are rounded to 1/256 pixel, and a pixel's coverage
// follows the non-zero rule (the absolute winding weight, capped at full). With a clip
// box set, edges are clipped to it in those integer units (see edge_clipping.h). Edges
// reaching farther than a million pixels are first clipped there in double precision,
// so that no coordinate overflows the fixed point; nothing that far can be seen.
#pragma once

#include <algorithm>
#include <cstdint>

#include "plot/coverage_cells.h"
#include "plot/edge_clipping.h"

class OutlineRasterizer {
public:
    // Empties the outline and clips later edges to the box between the two corners
    // (ordered, each edge taken to the nearest 1/256 pixel).
    void clip_box(double x1, double y1, double x2, double y2);
    void reset();

    void move_to(double x, double y);
    void line_to(double x, double y);

    // Closes the last sub-path and calls sink.cell(x, y, alpha) for a single pixel and
    // sink.span(x, y, length, alpha) for a run of equally covered pixels, row by row,
    // left to right; alpha is 1 to 255. Adding a vertex afterwards starts a new outline.
    template <class Sink>
    void sweep(Sink&& sink);

private:
    enum class Status { initial, moved, lined };

    void close();
    void add_edge(int x1, int y1, int x2, int y2);

    static unsigned alpha(int area)
    {
        int cover = area >> (2 * subpixel_shift + 1 - 8);
        if (cover < 0)
            cover = -cover;
        return static_cast<unsigned>(std::min(cover, 255));
    }

    CoverageCells cells_;
    Box<int> box_{};
    bool clipping_ = false;
    double start_x_ = 0, start_y_ = 0;
    double last_x_ = 0, last_y_ = 0;
    Status status_ = Status::initial;
};

template <class Sink>
void OutlineRasterizer::sweep(Sink&& sink)
{
    close();
    cells_.sort();
    if (cells_.empty())
        return;
    for (int y = cells_.min_y(); y <= cells_.max_y(); ++y) {
        const std::span<const CoverageCell> row = cells_.row(y);
        int cover = 0;
        for (auto cell = row.begin(); cell != row.end();) {
            int x = cell->x;
            int area = 0;
            for (; cell != row.end() && cell->x == x; ++cell) {
                area += cell->area;
                cover += cell->cover;
            }
            if (area != 0) {
                if (const unsigned a = alpha((cover << (subpixel_shift + 1)) - area))
                    sink.cell(x, y, static_cast<std::uint8_t>(a));
                ++x;
            }
            if (cell != row.end() && cell->x > x) {
                if (const unsigned a = alpha(cover << (subpixel_shift + 1)))
                    sink.span(x, y, cell->x - x, static_cast<std::uint8_t>(a));
            }
        }
    }
}
