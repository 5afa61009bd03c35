// A = JᵀJ and g = Jᵀr as dot products of the rows of Jᵀ and r, which are contiguous.
// With r appended as row M, A's upper triangle and g are the upper triangle of the
// (M + 1) × (M + 1) product of these rows, computed in 4 × 4 tiles whose sixteen
// independent sums keep the processor's arithmetic units busy without reordering any
// sum; a tile at the edge repeats its last row or column and drops those sums. The
// tiles are shared out over the block pool in runs when the work pays for it, and the
// lower triangle is mirrored.
// The rows after the dense ones are gathered as lists of their nonzero entries and
// added pair by pair, in row order: a product with an exact zero would add nothing to
// the sum, so the result has the same bits. Only a row with an entry that is not finite
// would differ (0·∞ is NaN); then every row is summed densely.
#include "core/fit/normal_equations.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "core/fit/parallel_blocks.h"

namespace {

constexpr std::size_t tile = 4;
// Below this many multiply-adds a parallel region costs more than it saves.
constexpr double parallel_work = 1 << 16;
// Enough runs of tiles to balance the threads, few enough to keep a run's rows cached.
constexpr std::size_t max_chunks = 64;

// The tiles of the upper triangle of the (m + 1) × (m + 1) product: strip i0 holds the
// tiles j0 = i0, i0 + 4, … up to m.
std::size_t tile_count(std::size_t m)
{
    std::size_t count = 0;
    for (std::size_t i0 = 0; i0 < m; i0 += tile)
        count += (m - i0) / tile + 1;
    return count;
}

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

// The nonzero entries of the rows from `first` on: row k's are entries[begin[k − first]
// … begin[k − first + 1]), as (parameter, value) in increasing parameter order, with the
// residual last as parameter M.
struct SparseRows {
    std::vector<std::size_t> begin;
    std::vector<std::pair<std::size_t, double>> entries;
};

// False when one of the entries is not finite.
bool gather_sparse_rows(const DMatrix& jt, const DVector& r, std::size_t first, SparseRows& out)
{
    const std::size_t m = jt.size1();
    const std::size_t count = jt.size2() - first;
    out.begin.assign(count + 1, 0);
    // Jᵀ is read along its rows, which are contiguous: first the counts, then the entries.
    for (std::size_t i = 0; i <= m; ++i) {
        const double* row = i < m ? &jt(i, first) : &r(first);
        for (std::size_t k = 0; k < count; ++k)
            if (row[k] != 0.0)
                ++out.begin[k + 1];
    }
    for (std::size_t k = 0; k < count; ++k)
        out.begin[k + 1] += out.begin[k];
    out.entries.resize(out.begin[count]);
    std::vector<std::size_t> next(out.begin.begin(), out.begin.end() - 1);
    for (std::size_t i = 0; i <= m; ++i) {
        const double* row = i < m ? &jt(i, first) : &r(first);
        for (std::size_t k = 0; k < count; ++k) {
            if (row[k] == 0.0)
                continue;
            if (!std::isfinite(row[k]))
                return false;
            out.entries[next[k]++] = {i, row[k]};
        }
    }
    return true;
}

// Adds every sparse row's products to a's upper triangle and g, row by row.
void add_sparse_rows(const SparseRows& sparse, std::size_t m, DMatrix& a, DVector& g)
{
    for (std::size_t k = 0; k + 1 < sparse.begin.size(); ++k) {
        const auto* e = &sparse.entries[sparse.begin[k]];
        const std::size_t n = sparse.begin[k + 1] - sparse.begin[k];
        for (std::size_t u = 0; u < n; ++u) {
            const auto [i, x] = e[u];
            if (i == m)
                break;
            for (std::size_t v = u; v < n; ++v) {
                const auto [j, y] = e[v];
                if (j == m)
                    g(i) += x * y;
                else
                    a(i, j) += x * y;
            }
        }
    }
}

}  // namespace

void normal_equations(const DMatrix& jt, const DVector& r, std::size_t dense_rows, DMatrix& a, DVector& g)
{
    const std::size_t m = jt.size1();
    std::size_t rows = jt.size2();
    a.resize(m, m, false);
    g.resize(m, false);
    if (rows == 0) {
        a.clear();
        g.clear();
        return;
    }
    SparseRows sparse;
    if (dense_rows < rows) {
        if (gather_sparse_rows(jt, r, dense_rows, sparse))
            rows = dense_rows;
        else
            sparse = {};
    }

    // Row k of the extended product: row k of Jᵀ, or r for k = m.
    const auto row = [&](std::size_t k) { return k < m ? &jt(k, 0) : &r(0); };
    const auto one_tile = [&](std::size_t i0, std::size_t j0) {
        const std::size_t i_count = std::min(tile, m - i0);
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
    };
    // The tiles (i0, j0), j0 ≥ i0, strip by strip, are shared out as `chunks` runs of
    // consecutive tiles: few parameters and many rows give few strips, which alone would
    // leave threads idle.
    const std::size_t tiles = tile_count(m);
    const auto chunks = static_cast<unsigned>(std::min<std::size_t>(tiles, max_chunks));
    const bool parallel = 0.5 * static_cast<double>(m) * static_cast<double>(m) * static_cast<double>(rows) >= parallel_work;
    parallel_blocks(chunks, [&](unsigned chunk) {
        const std::size_t first = tiles * chunk / chunks, last = tiles * (chunk + 1) / chunks;
        std::size_t i0 = 0, index = 0;
        while (index + (m - i0) / tile + 1 <= first) {
            index += (m - i0) / tile + 1;
            i0 += tile;
        }
        std::size_t j0 = i0 + (first - index) * tile;
        for (std::size_t t = first; t < last; ++t) {
            one_tile(i0, j0);
            j0 += tile;
            if (j0 > m) {
                i0 += tile;
                j0 = i0;
            }
        }
    }, parallel);
    add_sparse_rows(sparse, m, a, g);

    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < i; ++j)
            a(i, j) = a(j, i);
}
