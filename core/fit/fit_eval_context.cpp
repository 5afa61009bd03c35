// Evaluation of a fit's rows. The data rows come from the model's values and Jacobian,
// evaluated in 16 blocks of points on the block pool (parallel_blocks.h), each block
// writing only its own buffers and rows. The smoothness rows are the second differences
// of each distribution's weights (zero weights assumed beyond both ends), with target 0
// and f the negated second difference, so chi-square grows with every distribution's
// roughness; they are evaluated serially. The Jacobian is kept transposed, one row per
// varied parameter, for the normal equations.
#include "core/fit/fit_eval_context.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "core/fit/normal_equations.h"
#include "core/fit/parallel_blocks.h"

namespace {

// The buffers of the last fit that ended, for the next one to start with. Memory new
// to the process costs a page fault on its first touch of every page (several µs,
// tens under a hypervisor) and megabytes of it are a large model's blocks. One set is
// kept; fits that run at the same time allocate their own.
std::mutex spare_mutex;

FitBuffers& spare_buffers()
{
    static FitBuffers* const spare = new FitBuffers;
    return *spare;
}

// Exchanges the storage of the buffers (uBLAS containers copy where they would move).
void swap_buffers(FitBuffers& a, FitBuffers& b)
{
    a.jt.swap(b.jt);
    for (unsigned k = 0; k < FitBuffers::block_count; ++k) {
        a.block_values[k].swap(b.block_values[k]);
        a.block_jacobians[k].swap(b.block_jacobians[k]);
    }
}

void exchange_spare_buffers(FitBuffers& buffers)
{
    std::lock_guard<std::mutex> lock(spare_mutex);
    swap_buffers(spare_buffers(), buffers);
}

// Second difference of weights w[0 … N−1] at i, zero beyond both ends.
double second_difference(const DVector& full, const FitDistribution& d, unsigned i)
{
    const std::size_t f = d.first_weight;
    const double left = i > 0 ? full(f + i - 1) : 0.0;
    const double right = i + 1 < d.count ? full(f + i + 1) : 0.0;
    return 2 * full(f + i) - left - right;
}

}  // namespace

FitEvalContext::FitEvalContext(const IModel& model, const IDepVars* links, DVector x, DVector y, DVector sigma,
                               std::vector<unsigned> varied, std::vector<FitDistribution> distributions,
                               const DVector& start)
    : model_(model),
      links_(links),
      x_(std::move(x)),
      y_(std::move(y)),
      sigma_(std::move(sigma)),
      varied_(std::move(varied)),
      varied_pos_(start.size(), -1),
      distributions_(std::move(distributions)),
      block_length_(x_.size() / block_count),
      params_(start),
      residuals_(y_.size()),
      trial_values_(x_.size())
{
    exchange_spare_buffers(buffers_);
    for (std::size_t j = 0; j < varied_.size(); ++j)
        varied_pos_[varied_[j]] = static_cast<int>(j);
    // Each block sizes and clears its own buffers and its share of Jᵀ on the pool, so
    // that the pages of new memory are first touched by many threads.
    const std::size_t n = start.size();
    DMatrix& jt = buffers_.jt;
    jt.resize(varied_.size(), y_.size(), false);
    double* const jt_data = std::to_address(jt.data().begin());
    const std::size_t jt_size = jt.data().size();
    parallel_blocks(block_count, [&](unsigned b) {
        const std::size_t count = b + 1 < block_count ? block_length_ : x_.size() - b * block_length_;
        buffers_.block_values[b].resize(count, false);
        buffers_.block_values[b].clear();
        buffers_.block_jacobians[b].resize(count, n, false);
        buffers_.block_jacobians[b].clear();
        std::fill(jt_data + jt_size * b / block_count, jt_data + jt_size * (b + 1) / block_count, 0.0);
    });
}

FitEvalContext::~FitEvalContext()
{
    exchange_spare_buffers(buffers_);
}

void FitEvalContext::scatter(const DVector& v, DVector& full, ExprGradients* gradients) const
{
    for (std::size_t j = 0; j < varied_.size(); ++j)
        full(varied_[j]) = v(j);
    if (links_)
        links_->apply_links(full, gradients);
    else if (gradients)
        gradients->clear();
}

double FitEvalContext::evaluate_jacobian(const DVector& v, const std::vector<unsigned>& pinned, DMatrix& a,
                                         DVector& g)
{
    scatter(v, params_, &gradients_);
    eval_blocks_parallel();
    smoothness_rows(params_, true);
    for (unsigned p : pinned)
        std::fill(&buffers_.jt(p, 0), &buffers_.jt(p, 0) + buffers_.jt.size2(), 0.0);
    normal_equations(buffers_.jt, residuals_, x_.size(), a, g);
    double chi_square = 0.0;
    for (double r : residuals_)
        chi_square += r * r;
    return chi_square;
}

double FitEvalContext::trial_chi_square(const DVector& t)
{
    scatter(t, params_, nullptr);
    double chi_square = 0.0;
    if (!x_.empty()) {
        model_.evaluate(x_, 0, x_.size(), params_, trial_values_);
        for (std::size_t i = 0; i < x_.size(); ++i) {
            const double r = (y_(i) - trial_values_(i)) / sigma_(i);
            chi_square += r * r;
        }
    }
    return chi_square + smoothness_rows(params_, false);
}

void FitEvalContext::eval_blocks_parallel()
{
    parallel_blocks(block_count, [this](unsigned b) { eval_blocks_body(b); });
}

void FitEvalContext::eval_blocks_body(unsigned block)
{
    const std::size_t first = block * block_length_;
    const std::size_t count = buffers_.block_values[block].size();
    if (count == 0)
        return;
    DVector& values = buffers_.block_values[block];
    DMatrix& jacobian = buffers_.block_jacobians[block];
    model_.evaluate_range_with_jacobian(x_, first, count, params_, gradients_, values, jacobian);
    for (std::size_t i = 0; i < count; ++i)
        residuals_(first + i) = (y_(first + i) - values(i)) / sigma_(first + i);
    for (std::size_t j = 0; j < varied_.size(); ++j) {
        const std::size_t column = varied_[j];
        double* row = &buffers_.jt(j, first);
        for (std::size_t i = 0; i < count; ++i)
            row[i] = jacobian(i, column) / sigma_(first + i);
    }
}

double FitEvalContext::smoothness_rows(const DVector& full, bool with_jacobian)
{
    std::size_t row = x_.size();
    if (with_jacobian && row < y_.size())
        for (std::size_t j = 0; j < varied_.size(); ++j)
            std::fill(&buffers_.jt(j, row), &buffers_.jt(j, 0) + buffers_.jt.size2(), 0.0);

    // Sets the entry of weight k (flat index) when that weight is varied.
    auto set_entry = [this](std::size_t k, std::size_t row, double value) {
        const int j = varied_pos_[k];
        if (j >= 0)
            buffers_.jt(static_cast<std::size_t>(j), row) = value;
    };

    double chi_square = 0.0;
    for (const FitDistribution& d : distributions_) {
        for (unsigned i = 0; i < d.count; ++i, ++row) {
            const double sigma = sigma_(row);
            const double r = second_difference(full, d, i) / sigma;
            chi_square += r * r;
            if (!with_jacobian)
                continue;
            residuals_(row) = r;
            const std::size_t k = d.first_weight + i;
            set_entry(k, row, -2 / sigma);
            if (i > 0)
                set_entry(k - 1, row, 1 / sigma);
            if (i + 1 < d.count)
                set_entry(k + 1, row, 1 / sigma);
        }
    }
    return chi_square;
}
