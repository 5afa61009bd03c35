// A = JᵀJ and g = Jᵀr as dot products of the rows of Jᵀ and r, which are contiguous.
// With r appended as row M, A's upper triangle and g are the upper triangle of the
// (M + 1) × (M + 1) product of these rows, computed in 4 × 4 tiles whose sixteen
// independent sums keep the processor's arithmetic units busy without reordering any
// sum; a tile at the edge repeats its last row or column and drops those sums. The
// tiles' row strips are shared out over the block pool when the work pays for it, and
// the lower triangle is mirrored.
#include "core/fit/normal_equations.h"

#include <algorithm>
#include <cstddef>

#include "core/fit/parallel_blocks.h"

namespace {

constexpr std::size_t tile = 4;
// Below this many multiply-adds a parallel region costs more than it saves.
constexpr double parallel_work = 1 << 20;

// s[u][v] = Σᵣ p[u][r]·q[v][r] over rows 0 … rows − 1, in row order.
void tile_sums(const double* const (&p)[tile], const double* const (&q)[tile], std::size_t rows,
               double (&s)[tile][tile])
{
    double t[tile][tile] = {};
    for (std::size_t r = 0; r < rows; ++r) {
        const double x0 = p[0][r], x1 = p[1][r], x2 = p[2][r], x3 = p[3][r];
        const double y0 = q[0][r], y1 = q[1][r], y2 = q[2][r], y3 = q[3][r];
        t[0][0] += x0 * y0; t[0][1] += x0 * y1; t[0][2] += x0 * y2; t[0][3] += x0 * y3;
        t[1][0] += x1 * y0; t[1][1] += x1 * y1; t[1][2] += x1 * y2; t[1][3] += x1 * y3;
        t[2][0] += x2 * y0; t[2][1] += x2 * y1; t[2][2] += x2 * y2; t[2][3] += x2 * y3;
        t[3][0] += x3 * y0; t[3][1] += x3 * y1; t[3][2] += x3 * y2; t[3][3] += x3 * y3;
    }
    std::copy(&t[0][0], &t[0][0] + tile * tile, &s[0][0]);
}

}  // namespace

void normal_equations(const DMatrix& jt, const DVector& r, DMatrix& a, DVector& g)
{
    const std::size_t m = jt.size1();
    const std::size_t rows = jt.size2();
    a.resize(m, m, false);
    g.resize(m, false);
    if (rows == 0) {
        a.clear();
        g.clear();
        return;
    }

    // Row k of the extended product: row k of Jᵀ, or r for k = m.
    const auto row = [&](std::size_t k) { return k < m ? &jt(k, 0) : &r(0); };
    const auto strips = static_cast<unsigned>((m + tile - 1) / tile);
    const bool parallel = 0.5 * static_cast<double>(m) * static_cast<double>(m) * static_cast<double>(rows) >= parallel_work;
    parallel_blocks(strips, [&](unsigned strip) {
        const std::size_t i0 = std::size_t(strip) * tile;
        const std::size_t i_count = std::min(tile, m - i0);
        for (std::size_t j0 = i0; j0 <= m; j0 += tile) {
            const std::size_t j_count = std::min(tile, m + 1 - j0);
            const double* p[tile];
            const double* q[tile];
            for (std::size_t t = 0; t < tile; ++t) {
                p[t] = row(i0 + std::min(t, i_count - 1));
                q[t] = row(j0 + std::min(t, j_count - 1));
            }
            double s[tile][tile];
            tile_sums(p, q, rows, s);
            for (std::size_t u = 0; u < i_count; ++u) {
                for (std::size_t v = 0; v < j_count; ++v) {
                    const std::size_t i = i0 + u, j = j0 + v;
                    if (j == m)
                        g(i) = s[u][v];
                    else if (j >= i)
                        a(i, j) = s[u][v];
                }
            }
        }
    }, parallel);

    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < i; ++j)
            a(i, j) = a(j, i);
}
