// Spectrum operations that need the model: a spectrum generated from it, the
// difference to it, and counts transformed by an expression.
#pragma once

#include <vector>

#include "core/model/expr_interface.h"
#include "core/numerics/ublas_types.h"
#include "core/spectrum/spectrum_data.h"

class IModel;

// Replaces the spectrum by n equidistant velocities from `from` to `to` with their
// calibration keys and the model's counts at `values` (links applied), or Poisson
// draws of them when `noise` is set; then the deviations and the analysis follow.
// std::runtime_error (message 50230), the spectrum half written, when a count is not
// finite: the caller puts the spectrum back.
void simulate(SpectrumData& spectrum, unsigned n, double from, double to, bool noise, const IModel& model,
              const DVector& values);

// y ← level − model + y at every point: the data without the model, on the level.
// Deviations the spectrum stores are kept (the model adds no noise of its own); others
// follow from the new counts. Analyses again; the keyword list is left to the caller.
// A count that is not finite throws as simulate does.
void subtract_model(SpectrumData& spectrum, double level, const IModel& model, const DVector& values);

// The counts and deviations after the transform `expr`, compiled with the variables of
// `variables` followed by "v" and "I": at every point v = x, I = y with its deviation,
// the other variables exact. The spectrum is not changed.
void transform_counts(const IExpr& expr, const std::vector<double>& variables, const SpectrumData& spectrum,
                      std::vector<double>& counts, std::vector<double>& deviations);
