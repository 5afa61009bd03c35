// The Levenberg-Marquardt fitting engine: fits the varied parameters of a model to a
// spectrum by minimising chi-square, honouring links, excluded x-ranges, bounds and the
// smoothness of distribution weights. Synchronous; reports why it ended as a
// FitStopCode and never throws for a numerical reason.
#pragma once

#include <vector>

#include "core/fit/fit_settings.h"
#include "core/numerics/ublas_types.h"

class IModel;
class IModelData;

// Told of every accepted step (not of the step that ends the fit by the gradient or
// residual test); returning false stops the fit with FitStopByCaller.
class IFitStepCallback {
public:
    // initial: the start vector given to lm_fit; current: the full parameter vector of
    // the accepted step, links applied; step_length: alpha × the largest |hⱼ|.
    virtual bool on_step(const DVector& initial, const DVector& current, double rho, double chi_square,
                         double previous_chi_square, double reduced_chi_square, double step_length,
                         unsigned iteration) = 0;

protected:
    ~IFitStepCallback() = default;
};

// Fits `model` to `data` from `start` (one value per model parameter).
//   varied_mask: one entry per parameter, nonzero = vary it (linked parameters never are);
//   lower, upper: bounds, used only when both have one entry per parameter (±infinity:
//   no bound);
//   values: the fitted parameter vector, links applied;
//   covariance: (JᵀJ)⁻¹ at the fitted values over the varied parameters (n × n, not
//   scaled by the reduced chi-square); combinations the data do not determine get no
//   variance (svd_pseudo_inverse: the cutoff is taken with JᵀJ scaled to unit diagonal,
//   so it does not depend on the parameters' units);
//   directions: M × (n + 1), row i the right singular vector i of D·JᵀJ·D with
//   D = diag(JᵀJ)^(−1/2), over the varied parameters: a unit vector whose component j
//   is a change of parameter j in units of 1/√(JᵀJ)ⱼⱼ (its error with all others held
//   fixed); the last column is the singular value relative to the largest, in [0, 1],
//   0 for a direction the data do not determine;
//   chi_square, reduced_chi_square (chi-square / (rows − M)), iterations (accepted steps).
// Rows are the fitted data points plus the smoothness rows of the distributions.
//
// The fit ends before any step with FitStopTooManyVariables (M ≥ rows),
// FitStopNoVariables, FitStopDataNotFinite (a velocity or count that is not a finite
// number, or a deviation that is NaN) or FitStopZeroStdDev (a deviation not above 0,
// or infinite); then values are the start values unchanged, the covariance is zero,
// directions is left as the caller passed it and both chi-squares are −1: nothing was
// fitted.
//
// start or varied_mask of another size than the model's parameter count, or spectrum
// vectors of different lengths, throw std::runtime_error before any output changes.
// An exception from the model's evaluation (a component's error), serial or in the
// parallel Jacobian evaluation, passes through unchanged; the outputs are then as
// before any step. A NaN the model computes without throwing makes that step's
// chi-square NaN, and the step is rejected.
void lm_fit(const IModel& model, const IModelData& data, const DVector& start, const std::vector<int>& varied_mask,
            const DVector& lower, const DVector& upper, const FitSettings& settings, DVector& values,
            DMatrix& covariance, DMatrix& directions, double& chi_square, double& reduced_chi_square,
            unsigned& iterations, FitStopCode& stop_code, IFitStepCallback* callback = nullptr);
