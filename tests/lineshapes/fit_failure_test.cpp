// A component's error inside a fit: a Hamiltonian component made without an isotope
// cannot find its lines, and that error must reach the caller of lm_fit with its own
// text through every layer between (the component's evaluation in sub-blocks of points,
// the model's blocks on the thread team, the fit's parallel Jacobian), instead of
// ending the fit with a stop code that hides it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "lineshapes/hamilton.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/simulated_spectrum.h"

namespace {

using namespace test_support;

TEST(FitFailure, ComponentErrorReachesTheCallerOfTheFit)
{
    SpectrumModel model;
    model.insert_component(0, make_subspec<BaseLine>(nullptr));
    model.insert_component(1, make_subspec<Hamilton>(nullptr));
    const DVector start = vec({1e5, 0.0, 0.0, 1.0, 54.7, 0.0, 0.5, 330.0, 0.0, 0.0, 0.0, 0.27, 0.0});
    std::vector<int> varied(model.param_count(), 0);
    varied[0] = varied[3] = 1;
    const DVector x = grid(-8.0, 8.0, 512);  // 32 points a block, 64 a sub-block
    const SpectrumData data = spectrum_of(x, DVector(x.size(), 1e5));

    DVector values, out(x.size());
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced = 0.0;
    unsigned iterations = 0;
    FitStopCode code = FitStopSmallGradient;
    try {
        lm_fit(model, data, start, varied, {}, {}, FitSettings(), values, covariance, directions, chi_square, reduced,
               iterations, code);
        ADD_FAILURE() << "the fit ended with stop code " << code;
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "This model needs an isotope");
    }
    EXPECT_THROW(model.evaluate(x, 0, x.size(), start, out), std::runtime_error);
}

}  // namespace
