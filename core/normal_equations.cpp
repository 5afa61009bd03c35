// A = JᵀJ and g = Jᵀr as dot products of the rows of Jᵀ, which are contiguous. The upper
// triangle of A is computed in 4 × 4 tiles whose sixteen independent sums keep the
// processor's arithmetic units busy without reordering any sum, the tiles' row strips
// are shared out over the OpenMP team when the work pays for it, and the lower
// triangle is mirrored.
#include "core/normal_equations.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::size_t tile = 4;
// Below this many multiply-adds a parallel region costs more than it saves.
constexpr double parallel_work = 1 << 20;

// The full tile of rows i0 … i0+3 and j0 … j0+3.
void tile_4x4(const DMatrix& jt, std::size_t i0, std::size_t j0, std::size_t rows, DMatrix& a)
{
    const double* p[tile];
    const double* q[tile];
    for (std::size_t t = 0; t < tile; ++t) {
        p[t] = &jt(i0 + t, 0);
        q[t] = &jt(j0 + t, 0);
    }
    double s[tile][tile] = {};
    for (std::size_t r = 0; r < rows; ++r) {
        const double x0 = p[0][r], x1 = p[1][r], x2 = p[2][r], x3 = p[3][r];
        const double y0 = q[0][r], y1 = q[1][r], y2 = q[2][r], y3 = q[3][r];
        s[0][0] += x0 * y0; s[0][1] += x0 * y1; s[0][2] += x0 * y2; s[0][3] += x0 * y3;
        s[1][0] += x1 * y0; s[1][1] += x1 * y1; s[1][2] += x1 * y2; s[1][3] += x1 * y3;
        s[2][0] += x2 * y0; s[2][1] += x2 * y1; s[2][2] += x2 * y2; s[2][3] += x2 * y3;
        s[3][0] += x3 * y0; s[3][1] += x3 * y1; s[3][2] += x3 * y2; s[3][3] += x3 * y3;
    }
    for (std::size_t u = 0; u < tile; ++u)
        for (std::size_t v = 0; v < tile; ++v)
            a(i0 + u, j0 + v) = s[u][v];
}

double dot(const double* p, const double* q, std::size_t rows)
{
    double s = 0.0;
    for (std::size_t r = 0; r < rows; ++r)
        s += p[r] * q[r];
    return s;
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

    const long strips = static_cast<long>((m + tile - 1) / tile);
    const bool parallel = 0.5 * static_cast<double>(m) * static_cast<double>(m) * static_cast<double>(rows) >= parallel_work;
#pragma omp parallel for schedule(dynamic) if (parallel)
    for (long strip = 0; strip < strips; ++strip) {
        const std::size_t i0 = static_cast<std::size_t>(strip) * tile;
        const std::size_t i1 = std::min(i0 + tile, m);
        for (std::size_t j0 = i0; j0 < m; j0 += tile) {
            const std::size_t j1 = std::min(j0 + tile, m);
            if (i1 - i0 == tile && j1 - j0 == tile) {
                tile_4x4(jt, i0, j0, rows, a);
                continue;
            }
            for (std::size_t i = i0; i < i1; ++i)
                for (std::size_t j = j0; j < j1; ++j)
                    a(i, j) = dot(&jt(i, 0), &jt(j, 0), rows);
        }
        for (std::size_t i = i0; i < i1; ++i)
            g(i) = dot(&jt(i, 0), &r(0), rows);
    }

    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < i; ++j)
            a(i, j) = a(j, i);
}
