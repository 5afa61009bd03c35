// The rows of a fit and their evaluation. Rows are the fitted data points followed by
// one smoothness row per weight of every distribution component; a row has a target y,
// a deviation σ and a model value f, with residual r = (y − f)/σ and Jacobian row
// ∂f/∂(varied parameters)/σ. chi-square is Σ r².
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/fit/model_interfaces.h"

// A distribution's weights: flat index of the first and their number (at least 2).
struct FitDistribution {
    unsigned first_weight = 0;
    unsigned count = 0;
};

// The buffers of a fit that grow with points × parameters: Jᵀ and the values and
// Jacobian of each of the 16 blocks.
struct FitBuffers {
    static constexpr unsigned block_count = 16;
    DMatrix jt;
    std::array<DVector, block_count> block_values;
    std::array<DMatrix, block_count> block_jacobians;
};

// The working set of one fit: the block buffers of the parallel evaluation and the
// residual vector and Jacobian of the last evaluation, all allocated once.
class FitEvalContext {
public:
    static constexpr unsigned block_count = FitBuffers::block_count;

    // x: the fitted points; y and sigma: all rows, data rows first; varied: increasing
    // flat indices; start: the full parameter vector whose unvaried entries stay.
    FitEvalContext(const IModel& model, const IDepVars* links, DVector x, DVector y, DVector sigma,
                   std::vector<unsigned> varied, std::vector<FitDistribution> distributions,
                   const DVector& start);
    // Hands the large buffers on to the next fit.
    ~FitEvalContext();
    FitEvalContext(const FitEvalContext&) = delete;
    FitEvalContext& operator=(const FitEvalContext&) = delete;

    // Evaluates at the varied values v: residuals, Jacobian (columns of the `pinned`
    // positions of the varied list zero), a = JᵀJ and g = Jᵀr. Returns chi-square.
    // Both evaluations pass the model's exceptions on.
    double evaluate_jacobian(const DVector& v, const std::vector<unsigned>& pinned, DMatrix& a, DVector& g);
    // chi-square at the varied values t, without derivatives.
    double trial_chi_square(const DVector& t);

    // The full parameter vector of the last evaluate_jacobian, links applied.
    const DVector& params() const { return params_; }
    const DVector& residuals() const { return residuals_; }
    // Jᵀ of the last evaluate_jacobian: row j belongs to varied parameter j.
    const DMatrix& jacobian_transposed() const { return buffers_.jt; }
    std::size_t row_count() const { return y_.size(); }

private:
    void scatter(const DVector& v, DVector& full, ExprGradients* gradients) const;
    void eval_blocks_parallel();
    void eval_blocks_body(unsigned block);
    // Smoothness rows: residuals, and with `with_jacobian` their Jacobian entries too.
    double smoothness_rows(const DVector& full, bool with_jacobian);

    const IModel& model_;
    const IDepVars* links_;
    DVector x_, y_, sigma_;
    std::vector<unsigned> varied_;
    std::vector<int> varied_pos_;  // flat index → position in varied_, or −1
    std::vector<FitDistribution> distributions_;
    std::size_t block_length_;
    DVector params_, trial_params_;
    ExprGradients gradients_;
    DVector residuals_;
    DVector trial_values_;
    FitBuffers buffers_;
};
