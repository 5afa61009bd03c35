// Fits that recover known parameters: a spectrum simulated from a baseline and one
// component with Poisson noise, fitted by lm_fit through a SpectrumModel from a start away
// from the truth. Over many noise draws the pulls (fitted − true)/σ, σ from the fit's
// covariance, must have mean about 0 and spread about 1: the values are unbiased and
// the reported errors are right.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_data.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/simulated_spectrum.h"

namespace fit_recovery {

using namespace test_support;

struct RecoveryCase {
    std::string name;
    SubSpecPtr component;
    std::vector<double> truth;   // the component's parameters
    std::vector<double> offset;  // start = truth + offset
    std::vector<int> varied;     // the component's parameters the fit varies
    double velocity;             // channels over ±velocity
};

// As the program sets a model up for a spectrum: an automatic baseline at the level
// N₀ = 1e6 fitting a scaled correction (its curvature fixed at 0), and the absorption
// scale −S, S the spectrum's area (counts·mm/s), so that "I" is about 1.
inline constexpr double level = 1e6;
inline constexpr double spectrum_area = 3e5;

inline void check_recovery(const RecoveryCase& c, unsigned channels, unsigned draws)
{
    SpectrumModel model;
    model.level = level;
    model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
    model.insert_component(1, c.component);
    model.scale = -spectrum_area;
    const unsigned n = model.param_count();

    DVector truth(n), start(n), lower(n), upper(n);
    std::vector<int> varied(n, 0);
    truth(0) = 0.0, truth(1) = 0.0, truth(2) = 0.0;
    start = truth;
    start(0) = -0.05;  // 5000 counts low
    varied[0] = 1;
    for (unsigned k = 0; k < c.truth.size(); ++k) {
        truth(3 + k) = c.truth[k];
        start(3 + k) = c.truth[k] + c.offset[k];
        varied[3 + k] = c.varied[k];
    }
    for (unsigned k = 0; k < n; ++k) {
        const ParamInfo& info = k < 3 ? model.components[0]->subspec->param_info(k)
                                      : c.component->param_info(k - 3);
        lower(k) = info.lower;
        upper(k) = info.upper;
    }

    const DVector x = grid(-c.velocity, c.velocity, channels);
    DVector expected(channels);
    model.evaluate(x, 0, channels, truth, expected);

    random_engine().seed(20240611);
    std::vector<double> sum(n, 0.0), sum_squares(n, 0.0);
    for (unsigned draw = 0; draw < draws; ++draw) {
        const SpectrumData data = poisson_spectrum(x, expected);
        DVector fitted;
        DMatrix covariance, directions;
        double chi_square = 0.0, reduced = 0.0;
        unsigned iterations = 0;
        FitStopCode code = FitStopSmallGradient;
        lm_fit(model, data, start, varied, lower, upper, FitSettings(), fitted, covariance, directions, chi_square,
               reduced, iterations, code);
        ASSERT_TRUE(code == FitStopSmallGradient || code == FitStopSmallStep) << c.name << ", draw " << draw
                                                                                << ": stop code " << code;
        EXPECT_LT(reduced, 1.5) << c.name << ", draw " << draw << ", iterations " << iterations;
        for (unsigned k = 0; k < n; ++k) {
            if (!varied[k])
                continue;
            const double pull = (fitted(k) - truth(k)) / std::sqrt(covariance(k, k));
            EXPECT_LT(std::fabs(pull), 5.0) << c.name << ", parameter " << k << ", draw " << draw
                                            << ": fitted " << fitted(k) << ", true " << truth(k) << ", σ "
                                            << std::sqrt(covariance(k, k));
            sum[k] += pull;
            sum_squares[k] += pull * pull;
        }
    }
    for (unsigned k = 0; k < n; ++k) {
        if (!varied[k])
            continue;
        const double mean = sum[k] / draws;
        const double spread = std::sqrt(sum_squares[k] / draws - mean * mean);
        // 3.5 standard errors of the mean and of the spread of `draws` unit normals.
        EXPECT_LT(std::fabs(mean), 3.5 / std::sqrt(double(draws))) << c.name << ", parameter " << k;
        EXPECT_NEAR(spread, 1.0, 3.5 / std::sqrt(2.0 * draws)) << c.name << ", parameter " << k;
    }
}

}  // namespace fit_recovery
