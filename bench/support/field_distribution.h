// A hyperfine-field distribution fitted as the program sets it up: a baseline and a
// sextet spread over the field with n points, its spectrum simulated with Poisson counts,
// and one Levenberg-Marquardt step of a fit of the level and every weight with smoothing,
// from a flat start.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "lineshapes/simple_sextets.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/param_info.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/simulated_spectrum.h"

namespace bench_support {

inline SubSpecPtr field_distribution(unsigned n)
{
    return make_distribution(make_subspec<SimplePseudoVoigtSextet>(&test_support::iron()), n, {5});
}

// I₂/I₁, I₃/I₁, δ, ε, HnL, HnR, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α, then a two-peak profile.
inline std::vector<double> field_params(unsigned n)
{
    std::vector<double> p = {2.0 / 3.0, 1.0 / 3.0, 0.0, 0.0, 200.0, 400.0, 0.25, 1.0, 1.0, 0.0};
    for (unsigned i = 0; i < n; ++i) {
        const double t = double(i) / (n - 1);
        p.push_back(std::exp(-0.5 * std::pow((t - 0.3) / 0.1, 2)) + 0.7 * std::exp(-0.5 * std::pow((t - 0.7) / 0.07, 2)));
    }
    return p;
}

// A baseline and the distribution, as the program sets them up for a spectrum.
struct FieldModel {
    explicit FieldModel(unsigned n, unsigned channels)
    {
        model.level = 1e6;
        model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
        model.insert_component(1, field_distribution(n));
        model.scale = -3e5;
        values = DVector(model.param_count(), 0.0);
        const std::vector<double> p = field_params(n);
        std::copy(p.begin(), p.end(), values.begin() + 3);
        const DVector x = test_support::grid(-10.0, 10.0, channels);
        DVector expected(channels);
        model.evaluate(x, 0, channels, values, expected);
        random_engine().seed(7);
        data = test_support::poisson_spectrum(x, expected);
        data.update_analysis();
    }

    SpectrumModel model;
    DVector values;
    SpectrumData data;
};

// The inputs of one accepted step with every weight and the level varied, from a flat
// start; run() fits with them.
struct FieldStep {
    FieldStep(unsigned n, unsigned channels) : field(n, channels)
    {
        const unsigned count = field.model.param_count();
        start = field.values;
        lower = DVector(count, -unbounded);
        upper = DVector(count, unbounded);
        varied.assign(count, 0);
        varied[0] = 1;
        for (unsigned i = 0; i < n; ++i) {
            start(13 + i) = 1.0 / n;
            varied[13 + i] = 1;
        }
        settings.kmax = 1;
    }

    void run(IFitStepCallback* callback = nullptr)
    {
        double chi_square = 0, reduced = 0;
        unsigned iterations = 0;
        FitStopCode code{};
        lm_fit(field.model, field.data, start, varied, lower, upper, settings, fitted, covariance, directions,
               chi_square, reduced, iterations, code, callback);
    }

    FieldModel field;
    DVector start, lower, upper;
    std::vector<int> varied;
    FitSettings settings;
    DVector fitted;
    DMatrix covariance, directions;
};

}  // namespace bench_support
