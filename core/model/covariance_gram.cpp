// The covariance matrix is symmetric, so each row is read only right of its diagonal:
// gᵣᵀ V gₛ = Σₚ (gᵣ[p] uₛ(p) + gₛ[p] uᵣ(p) + V(p, p) gᵣ[p] gₛ[p]) with
// u(p) = Σ_{q > p} V(p, q) g[q], half the products of the plain form. Gradients are
// mostly runs of neighbouring indices (a distribution's weights), which are dotted with
// the row as contiguous memory.
#include "core/model/covariance_gram.h"

#include <algorithm>
#include <limits>

#include "core/numerics/running_dot.h"

namespace {

// A gradient's entries inside the matrix as runs of consecutive indices, swept row by
// row: `next` is its first entry right of the present row.
class GradientRuns {
public:
    GradientRuns(const SparseGradient& g, std::size_t n) : g_(g)
    {
        for (std::size_t k = 0; k < g.index.size() && g.index[k] < n; ++k) {
            if (runs_.empty() || g.index[k] != g.index[k - 1] + 1)
                runs_.push_back({k, k});
            runs_.back().end = k + 1;
        }
    }

    bool done() const { return run_ == runs_.size(); }
    std::size_t next_index() const { return g_.index[next_]; }

    // Its entry at index p (0 when none), stepping past it.
    double take(std::size_t p)
    {
        if (done() || g_.index[next_] != p)
            return 0.0;
        const double value = g_.value[next_];
        if (++next_ == runs_[run_].end && ++run_ < runs_.size())
            next_ = runs_[run_].begin;
        return value;
    }

    // Σ row[q] · g[q] over its entries right of the present row.
    double dot_rest(const double* row) const
    {
        double sum = 0.0;
        std::size_t from = next_;
        for (std::size_t r = run_; r < runs_.size(); ++r) {
            sum += running_dot(row + g_.index[from], g_.value.data() + from, runs_[r].end - from);
            if (r + 1 < runs_.size())
                from = runs_[r + 1].begin;
        }
        return sum;
    }

private:
    struct Run {
        std::size_t begin, end;  // entries
    };
    const SparseGradient& g_;
    std::vector<Run> runs_;
    std::size_t run_ = 0, next_ = 0;
};

}  // namespace

DMatrix covariance_gram(const DMatrix& covariance, const std::vector<SparseGradient>& gradients)
{
    const std::size_t count = gradients.size();
    DMatrix gram(count, count, 0.0);
    if (covariance.size1() != covariance.size2())
        return gram;
    std::vector<GradientRuns> runs;
    for (const SparseGradient& g : gradients)
        runs.emplace_back(g, covariance.size1());

    // The rows in ascending order, merged from the gradients' indices.
    constexpr std::size_t none = std::numeric_limits<std::size_t>::max();
    std::vector<double> at(count), u(count);
    for (;;) {
        std::size_t p = none;
        for (const GradientRuns& g : runs)
            if (!g.done())
                p = std::min(p, g.next_index());
        if (p == none)
            break;
        for (std::size_t r = 0; r < count; ++r)
            at[r] = runs[r].take(p);
        const double* row = &covariance(p, 0);
        for (std::size_t s = 0; s < count; ++s)
            u[s] = runs[s].dot_rest(row);
        for (std::size_t r = 0; r < count; ++r) {
            if (at[r] == 0.0)
                continue;
            for (std::size_t s = 0; s < count; ++s) {
                gram(r, s) += at[r] * (u[s] + row[p] * at[s]);
                gram(s, r) += at[r] * u[s];
            }
        }
    }
    return gram;
}
