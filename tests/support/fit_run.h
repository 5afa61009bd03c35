// One call of the fit engine with its outputs gathered in one record.
#pragma once

#include <vector>

#include "core/fit/lm_fit.h"
#include "core/numerics/ublas_types.h"

namespace test_support {

struct FitOutput {
    DVector values;
    DMatrix covariance;
    DMatrix directions = DMatrix(2, 3, 7.0);  // the caller's, from an earlier fit
    double chi_square = 0.0, reduced_chi_square = 0.0;
    unsigned iterations = 0;
    FitStopCode code = FitStopSmallGradient;
};

inline FitOutput run_fit(const IModel& model, const IModelData& data, const DVector& start,
                         const std::vector<int>& mask, const FitSettings& settings = {}, const DVector& lower = {},
                         const DVector& upper = {}, IFitStepCallback* callback = nullptr)
{
    FitOutput out;
    lm_fit(model, data, start, mask, lower, upper, settings, out.values, out.covariance, out.directions,
           out.chi_square, out.reduced_chi_square, out.iterations, out.code, callback);
    return out;
}

}  // namespace test_support
