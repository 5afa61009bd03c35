#include "plot/coverage_cells.h"

#include <algorithm>

namespace {

// Quotient rounded down and the remainder that goes with it (0 ≤ remainder < d, d > 0).
struct FloorDivision {
    FloorDivision(long long n, long long d) : quotient(n / d), remainder(n % d)
    {
        if (remainder < 0) {
            --quotient;
            remainder += d;
        }
    }
    long long quotient;
    long long remainder;
};

constexpr CoverageCell no_cell{INT_MAX, INT_MAX, 0, 0};

}  // namespace

void CoverageCells::reset()
{
    cells_.clear();
    current_ = no_cell;
    min_y_ = INT_MAX;
    max_y_ = INT_MIN;
    sorted_ = false;
}

void CoverageCells::move_to_cell(int x, int y)
{
    if (current_.x == x && current_.y == y)
        return;
    if (current_.cover != 0 || current_.area != 0)
        cells_.push_back(current_);
    current_ = {x, y, 0, 0};
}

// The part of an edge inside row ey, from x1 to x2 (1/256 pixel) and from fy1 to fy2
// (sub-pixel heights within the row, 0 to 256).
void CoverageCells::row_piece(int ey, int x1, int fy1, int x2, int fy2)
{
    int ex1 = x1 >> subpixel_shift;
    const int ex2 = x2 >> subpixel_shift;
    const int fx1 = x1 & subpixel_mask;
    const int fx2 = x2 & subpixel_mask;

    if (fy1 == fy2) {  // horizontal: no cover, only the position moves on
        move_to_cell(ex2, ey);
        return;
    }
    const int height = fy2 - fy1;
    if (ex1 == ex2) {
        add(height, (fx1 + fx2) * height);
        return;
    }

    // Walk the columns from ex1 to ex2; `first` is the x offset where the piece leaves
    // a cell (256 going right, 0 going left).
    long long dx = static_cast<long long>(x2) - x1;
    int first = subpixel_scale;
    int step = 1;
    long long p = static_cast<long long>(subpixel_scale - fx1) * height;
    if (dx < 0) {
        first = 0;
        step = -1;
        p = static_cast<long long>(fx1) * height;
        dx = -dx;
    }
    FloorDivision part(p, dx);
    int delta = static_cast<int>(part.quotient);
    long long mod = part.remainder;
    add(delta, (fx1 + first) * delta);
    ex1 += step;
    move_to_cell(ex1, ey);
    int y = fy1 + delta;

    if (ex1 != ex2) {
        const FloorDivision per_cell(static_cast<long long>(subpixel_scale) * height, dx);
        mod -= dx;
        while (ex1 != ex2) {
            delta = static_cast<int>(per_cell.quotient);
            mod += per_cell.remainder;
            if (mod >= 0) {
                mod -= dx;
                ++delta;
            }
            add(delta, subpixel_scale * delta);
            y += delta;
            ex1 += step;
            move_to_cell(ex1, ey);
        }
    }
    delta = fy2 - y;
    add(delta, (fx2 + subpixel_scale - first) * delta);
}

void CoverageCells::line(int x1, int y1, int x2, int y2)
{
    const long long dx = static_cast<long long>(x2) - x1;
    long long dy = static_cast<long long>(y2) - y1;
    const int ex1 = x1 >> subpixel_shift;
    int ey1 = y1 >> subpixel_shift;
    const int ey2 = y2 >> subpixel_shift;
    const int fy1 = y1 & subpixel_mask;
    const int fy2 = y2 & subpixel_mask;

    min_y_ = std::min({min_y_, ey1, ey2});
    max_y_ = std::max({max_y_, ey1, ey2});
    move_to_cell(ex1, ey1);

    if (ey1 == ey2) {
        row_piece(ey1, x1, fy1, x2, fy2);
        return;
    }

    // `first` is the sub-pixel height where the edge leaves a row (256 going down, 0 up).
    int first = subpixel_scale;
    int step = 1;
    if (dx == 0) {  // vertical: one cell per row, whole rows in between
        const int two_fx = (x1 - (ex1 << subpixel_shift)) << 1;
        if (dy < 0) {
            first = 0;
            step = -1;
        }
        int delta = first - fy1;
        add(delta, two_fx * delta);
        ey1 += step;
        move_to_cell(ex1, ey1);
        delta = first + first - subpixel_scale;
        while (ey1 != ey2) {
            add(delta, two_fx * delta);
            ey1 += step;
            move_to_cell(ex1, ey1);
        }
        delta = fy2 - subpixel_scale + first;
        add(delta, two_fx * delta);
        return;
    }

    long long p = (subpixel_scale - fy1) * dx;
    if (dy < 0) {
        p = fy1 * dx;
        first = 0;
        step = -1;
        dy = -dy;
    }
    const FloorDivision part(p, dy);
    long long mod = part.remainder;
    int x_from = x1 + static_cast<int>(part.quotient);
    row_piece(ey1, x1, fy1, x_from, first);
    ey1 += step;
    move_to_cell(x_from >> subpixel_shift, ey1);

    if (ey1 != ey2) {
        const FloorDivision per_row(static_cast<long long>(subpixel_scale) * dx, dy);
        mod -= dy;
        while (ey1 != ey2) {
            long long delta = per_row.quotient;
            mod += per_row.remainder;
            if (mod >= 0) {
                mod -= dy;
                ++delta;
            }
            const int x_to = x_from + static_cast<int>(delta);
            row_piece(ey1, x_from, subpixel_scale - first, x_to, first);
            x_from = x_to;
            ey1 += step;
            move_to_cell(x_from >> subpixel_shift, ey1);
        }
    }
    row_piece(ey1, x_from, subpixel_scale - first, x2, fy2);
}

void CoverageCells::sort()
{
    if (sorted_)
        return;
    move_to_cell(INT_MAX, INT_MAX);
    sorted_ = true;
    if (cells_.empty())
        return;

    // Counting sort by row, then each row by x.
    const std::size_t rows = static_cast<std::size_t>(max_y_ - min_y_) + 1;
    row_start_.assign(rows + 1, 0);
    for (const CoverageCell& c : cells_)
        ++row_start_[c.y - min_y_ + 1];
    for (std::size_t i = 1; i <= rows; ++i)
        row_start_[i] += row_start_[i - 1];
    ordered_.resize(cells_.size());
    fill_position_.assign(row_start_.begin(), row_start_.end() - 1);
    for (const CoverageCell& c : cells_)
        ordered_[fill_position_[c.y - min_y_]++] = c;
    for (std::size_t i = 0; i < rows; ++i)
        std::sort(ordered_.begin() + row_start_[i], ordered_.begin() + row_start_[i + 1],
                  [](const CoverageCell& a, const CoverageCell& b) { return a.x < b.x; });
}
