// Exact-area coverage of polygon outlines, accumulated per pixel cell. Coordinates are
// integers in 1/256 pixel. Every edge adds to each cell it passes through its cover (the
// signed height it spans inside the cell, in sub-pixel units) and its area (that cover
// times the sum of its x offsets within the cell at both ends, i.e. twice the mean). A
// sweep along a row then adds up the covers from the left: the winding weight of a pixel
// is (2·256·cover so far − area of its own cells) / (2·256·256), so pixels between edges
// need no cell of their own. This is the scanline method of the libart and FreeType
// rasterizers. An edge is split at row boundaries and each row piece at column
// boundaries with an exact integer walk (quotient and remainder, rounding down), so that
// the pieces' covers add up to the edge's height exactly.
#pragma once

#include <climits>
#include <cstdint>
#include <span>
#include <vector>

constexpr int subpixel_shift = 8;
constexpr int subpixel_scale = 1 << subpixel_shift;
constexpr int subpixel_mask = subpixel_scale - 1;

struct CoverageCell {
    int x;
    int y;
    int cover;
    int area;
};

class CoverageCells {
public:
    CoverageCells() { reset(); }

    // Forgets every cell; the storage is kept.
    void reset();
    // Adds the edge from (x1, y1) to (x2, y2), in 1/256 pixel.
    void line(int x1, int y1, int x2, int y2);
    // Orders the cells by row and, within a row, by x; nothing may be added afterwards
    // until the next reset.
    void sort();
    bool sorted() const { return sorted_; }
    bool empty() const { return cells_.empty(); }

    int min_y() const { return min_y_; }
    int max_y() const { return max_y_; }
    // The sorted cells of row y (min_y to max_y); a pixel may have several.
    std::span<const CoverageCell> row(int y) const
    {
        const std::uint32_t* start = row_start_.data() + (y - min_y_);
        return {ordered_.data() + start[0], ordered_.data() + start[1]};
    }

private:
    void move_to_cell(int x, int y);
    void add(int cover, int area)
    {
        current_.cover += cover;
        current_.area += area;
    }
    void row_piece(int ey, int x1, int fy1, int x2, int fy2);

    CoverageCell current_;
    std::vector<CoverageCell> cells_;
    std::vector<CoverageCell> ordered_;
    std::vector<std::uint32_t> row_start_;
    std::vector<std::uint32_t> fill_position_;
    int min_y_, max_y_;
    bool sorted_;
};
