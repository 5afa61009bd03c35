// A field distribution recovered by a fit: a sextet whose hyperfine field is spread over
// 200 … 400 kOe (20 … 40 T) with a two-peak weight profile is simulated with Poisson
// noise and fitted with the weights free from a flat start, with the smoothness rows of
// the fit engine on. The fitted weights must follow the profile within their errors, and
// the statistics of the fitted distribution must find the true mean field.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/poisson.h"
#include "lineshapes/simple_sextets.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/fit_run.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/simulated_spectrum.h"

namespace {

using namespace test_support;

constexpr unsigned points = 41;
constexpr double level = 1e6;
constexpr double spectrum_area = 3e5;

// The true profile at field h (kOe): two peaks, at 260 and 340 kOe, weights adding up to 1.
std::vector<double> true_weights()
{
    std::vector<double> w(points);
    double total = 0.0;
    for (unsigned i = 0; i < points; ++i) {
        const double h = 200.0 + 5.0 * i;
        w[i] = std::exp(-0.5 * std::pow((h - 260.0) / 18.0, 2)) + 0.7 * std::exp(-0.5 * std::pow((h - 340.0) / 14.0, 2));
        total += w[i];
    }
    for (double& x : w)
        x /= total;
    return w;
}

TEST(DistributionFit, RecoversATwoPeakFieldDistribution)
{
    SpectrumModel model;
    model.level = level;
    model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
    const SubSpecPtr sextet = make_subspec<SimplePseudoVoigtSextet>(&iron());
    model.insert_component(1, make_distribution(sextet, points, {5}));
    model.scale = -spectrum_area;
    const SubModel& d = *model.components[1];
    const unsigned n = model.param_count();
    ASSERT_EQ(n, 3 + 10 + points);

    // ΔN₀, c, v₀; I₂/I₁, I₃/I₁, δ, ε, HnL, HnR, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α; the weights.
    const std::vector<double> shown = {0.0, 0.0, 0.0, 2.0 / 3.0, 1.0 / 3.0, 0.0, 0.0, 200.0, 400.0, 0.25, 1.0, 1.0, 0.0};
    const std::vector<double> truth_weights = true_weights();
    DVector truth(n), start(n), lower(n), upper(n);
    std::vector<int> varied(n, 0);
    for (unsigned k = 0; k < shown.size(); ++k)
        truth(k) = start(k) = shown[k];
    varied[0] = 1;  // ΔN₀
    varied[5] = 1;  // δ
    for (unsigned i = 0; i < points; ++i) {
        truth(d.first + d.shown_count + i) = truth_weights[i];
        start(d.first + d.shown_count + i) = 1.0 / points;
        varied[d.first + d.shown_count + i] = 1;
    }
    start(5) = 0.05;
    for (unsigned k = 0; k < n; ++k) {
        const SubModel& c = model.component_of_param(k);
        lower(k) = c.subspec->param_info(k - c.first).lower;
        upper(k) = c.subspec->param_info(k - c.first).upper;
    }

    const DVector x = grid(-10.0, 10.0, 512);
    DVector expected(x.size());
    model.evaluate(x, 0, x.size(), truth, expected);
    random_engine().seed(20261210);
    SpectrumData data = poisson_spectrum(x, expected);
    data.update_analysis();

    // Smoothing: the point deviations set so that the roughness of the true profile
    // costs about one per row.
    auto& dist = dynamic_cast<IDistribution&>(*d.subspec);
    dist.set_point_deviations(0, std::vector<double>(points, 3.0));

    const FitOutput fit = run_fit(model, data, start, varied, FitSettings(), lower, upper);
    ASSERT_TRUE(fit.code == FitStopSmallGradient || fit.code == FitStopSmallStep) << "stop code " << fit.code;
    EXPECT_LT(fit.reduced_chi_square, 1.3);
    const DVector& fitted = fit.values;
    const DMatrix& covariance = fit.covariance;

    // The engine took one smoothness row per weight.
    const unsigned varied_count = 2 + points;
    EXPECT_NEAR(fit.reduced_chi_square * (x.size() + points - varied_count), fit.chi_square, 1e-9 * fit.chi_square);

    unsigned beyond_two = 0;
    std::vector<double> w(points);
    for (unsigned i = 0; i < points; ++i) {
        const unsigned k = d.first + d.shown_count + i;
        w[i] = fitted(k);
        const double pull = (fitted(k) - truth(k)) / std::sqrt(covariance(k, k));
        EXPECT_LT(std::fabs(pull), 3.0) << "weight " << i;
        beyond_two += std::fabs(pull) > 2.0;
    }
    EXPECT_LE(beyond_two, points / 10);
    // Both peaks where they are: local maxima at 260 and 340 kOe, a minimum between.
    for (unsigned i : {12u, 28u})
        EXPECT_TRUE(w[i] > w[i - 2] && w[i] > w[i + 2]) << "no peak at point " << i;
    EXPECT_LT(w[21], 0.2 * w[12]);

    std::vector<DistStatistic> rows;
    model.distribution_statistics(0, 0, points - 1, fitted, covariance, rows);
    std::map<std::wstring, DistStatistic> named;
    for (const DistStatistic& r : rows)
        named[r.name] = r;
    double mean = 0.0;
    for (unsigned i = 0; i < points; ++i)
        mean += truth_weights[i] * (200.0 + 5.0 * i);
    EXPECT_NEAR(named.at(L"XHn").value, mean, 3.0 * named.at(L"XHn").error);
    EXPECT_NEAR(named.at(L"%Id").value, 100.0, 1e-9);
}

}  // namespace
