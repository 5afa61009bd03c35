#include "core/fit/lm_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <tuple>

#include "core/fit/fit_bounds.h"
#include "core/fit/fit_eval_context.h"
#include "core/fit/fit_points.h"
#include "core/fit/normal_equations.h"
#include "core/spectrum/spectrum_data.h"
#include "core/fit/svd.h"
#include "fit_test_model.h"
#include "tests/support/dvectors.h"
#include "tests/support/random_rows.h"
#include "tests/support/fit_run.h"
#include "tests/support/simulated_spectrum.h"

namespace {

using namespace test_support;

constexpr double inf = std::numeric_limits<double>::infinity();

// A line on a sloped baseline: b0, b1, height, x0, Γ.
const DVector truth = vec({2e5, 500.0, 2e4, 0.3, 0.6});
const DVector perturbed = vec({2.02e5, 250.0, 1.6e4, 0.35, 0.72});

// n points from −4 to 4 mm/s: the model's values, or Poisson counts of them when an
// engine is given; deviations √counts.
SpectrumData make_spectrum(const TestModel& model, const DVector& p, unsigned n, std::mt19937* rng)
{
    const DVector x = grid(-4.0, 4.0, n);
    DVector y(n);
    for (unsigned i = 0; i < n; ++i) {
        const double f = model.value(x(i), p);
        y(i) = rng ? std::poisson_distribution<int>(f)(*rng) : f;
    }
    return spectrum_of(x, y);
}

TestModel line_model()
{
    TestModel m;
    m.add_line();
    return m;
}

// Gauss-Jordan inverse with partial pivoting of a small well-conditioned matrix.
DMatrix inverse(DMatrix a)
{
    const std::size_t n = a.size1();
    DMatrix inv(n, n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        inv(i, i) = 1.0;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a(r, c)) > std::fabs(a(pivot, c)))
                pivot = r;
        for (std::size_t k = 0; k < n; ++k) {
            std::swap(a(c, k), a(pivot, k));
            std::swap(inv(c, k), inv(pivot, k));
        }
        const double d = a(c, c);
        for (std::size_t k = 0; k < n; ++k) {
            a(c, k) /= d;
            inv(c, k) /= d;
        }
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c)
                continue;
            const double f = a(r, c);
            for (std::size_t k = 0; k < n; ++k) {
                a(r, k) -= f * a(c, k);
                inv(r, k) -= f * inv(c, k);
            }
        }
    }
    return inv;
}

// JᵀJ of the weighted residuals by central differences of the model's values.
DMatrix normal_matrix_by_differences(const TestModel& model, const SpectrumData& s, const DVector& p)
{
    const std::size_t n = p.size();
    DMatrix j(s.x_data.size(), n);
    for (std::size_t c = 0; c < n; ++c) {
        const double h = 1e-6 * std::max(std::fabs(p(c)), 1e-3);
        DVector up = p, down = p;
        up(c) += h;
        down(c) -= h;
        for (std::size_t i = 0; i < s.x_data.size(); ++i)
            j(i, c) = (model.value(s.x_data[i], up) - model.value(s.x_data[i], down)) / (2 * h) / s.std_dev_data[i];
    }
    DMatrix a(n, n, 0.0);
    for (std::size_t r = 0; r < j.size1(); ++r)
        for (std::size_t u = 0; u < n; ++u)
            for (std::size_t v = 0; v < n; ++v)
                a(u, v) += j(r, u) * j(r, v);
    return a;
}

double chi_square_at(const TestModel& model, const SpectrumData& s, const DVector& p)
{
    double chi = 0.0;
    for (std::size_t i = 0; i < s.x_data.size(); ++i) {
        const double r = (s.y_data[i] - model.value(s.x_data[i], p)) / s.std_dev_data[i];
        chi += r * r;
    }
    return chi;
}

bool converged(FitStopCode c)
{
    return c == FitStopSmallGradient || c == FitStopSmallStep || c == FitStopNuTooLarge;
}

TEST(LmFit, RecoversLineOnSlopedBaselineWithCovarianceOfNormalMatrix)
{
    TestModel model = line_model();
    std::mt19937 rng(20240611);
    const SpectrumData s = make_spectrum(model, truth, 256, &rng);

    const FitOutput fit = run_fit(model, s, perturbed, std::vector<int>(5, 1));
    ASSERT_TRUE(converged(fit.code)) << fit.code;
    EXPECT_GT(fit.iterations, 0u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(fit.values(i), truth(i), 4 * std::sqrt(fit.covariance(i, i))) << i;

    const double chi = chi_square_at(model, s, fit.values);
    EXPECT_NEAR(fit.chi_square, chi, 1e-9 * chi);
    EXPECT_NEAR(fit.reduced_chi_square, chi / (256 - 5), 1e-9 * chi);

    // The covariance is (JᵀJ)⁻¹ itself, not scaled by the reduced chi-square.
    const DMatrix expected = inverse(normal_matrix_by_differences(model, s, fit.values));
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t j = 0; j < 5; ++j)
            EXPECT_NEAR(fit.covariance(i, j), expected(i, j),
                        1e-5 * std::sqrt(expected(i, i) * expected(j, j))) << i << "," << j;

    // One direction per varied parameter, unit rows, relative singular values from 1 down.
    ASSERT_EQ(fit.directions.size1(), 5u);
    ASSERT_EQ(fit.directions.size2(), 6u);
    EXPECT_DOUBLE_EQ(fit.directions(0, 5), 1.0);
    for (std::size_t i = 0; i < 5; ++i) {
        double norm = 0.0;
        for (std::size_t j = 0; j < 5; ++j)
            norm += fit.directions(i, j) * fit.directions(i, j);
        EXPECT_NEAR(norm, 1.0, 1e-12);
        if (i > 0) {
            EXPECT_LE(fit.directions(i, 5), fit.directions(i - 1, 5));
        }
    }
}

// Fits `draws` Poisson spectra of the model at p from `start` and expects the pulls
// (fitted − true) / error of every varied parameter to have mean 0 and spread 1, within
// about three standard errors of each.
void expect_unit_pulls(const TestModel& model, const DVector& p, const DVector& start, const std::vector<int>& mask,
                       unsigned points, int draws, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::vector<double>> pulls(p.size());
    for (int d = 0; d < draws; ++d) {
        const SpectrumData s = make_spectrum(model, p, points, &rng);
        const FitOutput fit = run_fit(model, s, start, mask);
        ASSERT_TRUE(converged(fit.code)) << fit.code;
        for (std::size_t i = 0; i < p.size(); ++i)
            if (mask[i])
                pulls[i].push_back((fit.values(i) - p(i)) / std::sqrt(fit.covariance(i, i)));
    }
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (!mask[i])
            continue;
        double mean = 0.0, var = 0.0;
        for (double x : pulls[i])
            mean += x / draws;
        for (double x : pulls[i])
            var += (x - mean) * (x - mean) / (draws - 1);
        EXPECT_NEAR(mean, 0.0, 3.5 / std::sqrt(draws)) << i;
        EXPECT_NEAR(std::sqrt(var), 1.0, 3.0 / std::sqrt(2.0 * draws)) << i;
    }
}

TEST(LmFit, ParameterErrorsMatchTheSpreadOverRepeatedSpectra)
{
    expect_unit_pulls(line_model(), truth, perturbed, std::vector<int>(5, 1), 128, 200, 77);
}

// ---- Stop codes ----

struct StopScenario {
    TestModel model = line_model();
    SpectrumData spectrum;
    DVector start = perturbed;
    std::vector<int> mask = std::vector<int>(5, 1);
    FitSettings settings;
    std::function<bool(unsigned)> on_step;  // the callback's answer by iteration

    StopScenario()
    {
        std::mt19937 rng(5);
        spectrum = make_spectrum(model, truth, 128, &rng);
    }
};

struct StopCase {
    const char* name;
    std::function<void(StopScenario&)> setup;
    FitStopCode expected;
    std::function<void(const StopScenario&, const FitOutput&)> check;
};

class AnsweringCallback : public IFitStepCallback {
public:
    explicit AnsweringCallback(std::function<bool(unsigned)> answer) : answer_(std::move(answer)) {}
    bool on_step(const DVector&, const DVector&, double, double, double, double, double, unsigned k) override
    {
        return answer_(k);
    }

private:
    std::function<bool(unsigned)> answer_;
};

void expect_nothing_fitted(const StopScenario& s, const FitOutput& f)
{
    ASSERT_EQ(f.values.size(), s.start.size());
    for (std::size_t i = 0; i < s.start.size(); ++i)
        EXPECT_EQ(f.values(i), s.start(i));
    EXPECT_EQ(f.chi_square, -1.0);
    EXPECT_EQ(f.reduced_chi_square, -1.0);
    EXPECT_EQ(f.iterations, 0u);
    ASSERT_EQ(f.directions.size1(), 2u);
    ASSERT_EQ(f.directions.size2(), 3u);
    for (double d : f.directions.data())
        EXPECT_EQ(d, 7.0);
    ASSERT_EQ(f.covariance.size1(), s.start.size());
    for (double c : f.covariance.data())
        EXPECT_EQ(c, 0.0);
}

// Thirty rejections in a row: one trial each, no step taken, the start kept.
void expect_thirty_rejections(const StopScenario& s, const FitOutput& f)
{
    EXPECT_EQ(s.model.evaluate_calls, 30);
    EXPECT_EQ(f.iterations, 0u);
    for (std::size_t i = 0; i < s.start.size(); ++i)
        EXPECT_EQ(f.values(i), s.start(i));
}

class StopCodes : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopCodes, EndsWithTheExpectedCode)
{
    StopScenario s;
    GetParam().setup(s);
    AnsweringCallback callback(s.on_step ? s.on_step : [](unsigned) { return true; });
    const FitOutput f = run_fit(s.model, s.spectrum, s.start, s.mask, s.settings, {}, {}, &callback);
    EXPECT_EQ(f.code, GetParam().expected);
    if (GetParam().check)
        GetParam().check(s, f);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StopCodes,
    ::testing::Values(
        StopCase{"start_at_minimum",
                 [](StopScenario& s) {
                     s.spectrum = make_spectrum(s.model, truth, 128, nullptr);
                     s.start = truth;
                 },
                 FitStopSmallGradient,
                 [](const StopScenario&, const FitOutput& f) {
                     EXPECT_EQ(f.iterations, 0u);
                     EXPECT_EQ(f.chi_square, 0.0);
                 }},
        StopCase{"small_step", [](StopScenario& s) { s.settings.eps2 = 1e-3; }, FitStopSmallStep, nullptr},
        StopCase{"small_residual",
                 [](StopScenario& s) {
                     s.spectrum = make_spectrum(s.model, truth, 128, nullptr);
                     s.settings.eps3 = 1e-6;
                 },
                 FitStopSmallChiSquare, nullptr},
        StopCase{"kmax_0", [](StopScenario& s) { s.settings.kmax = 0; }, FitStopIterationLimit,
                 [](const StopScenario&, const FitOutput& f) { EXPECT_EQ(f.iterations, 0u); }},
        StopCase{"kmax_2", [](StopScenario& s) { s.settings.kmax = 2; }, FitStopIterationLimit,
                 [](const StopScenario&, const FitOutput& f) { EXPECT_EQ(f.iterations, 2u); }},
        // With eps2 = 0 the ever smaller steps do not end the fit first.
        StopCase{"every_step_uphill",
                 [](StopScenario& s) {
                     s.model.jacobian_sign = -1.0;
                     s.settings.eps2 = 0.0;
                 },
                 FitStopNuTooLarge, expect_thirty_rejections},
        // A trial whose chi-square is NaN is no gain: it must not be accepted.
        StopCase{"trial_not_a_number",
                 [](StopScenario& s) {
                     s.model.nan_values = true;
                     s.settings.eps2 = 0.0;
                 },
                 FitStopNuTooLarge, expect_thirty_rejections},
        StopCase{"callback_false", [](StopScenario& s) { s.on_step = [](unsigned k) { return k < 2; }; },
                 FitStopByCaller, [](const StopScenario&, const FitOutput& f) { EXPECT_EQ(f.iterations, 2u); }},
        StopCase{"step_within_deviations", [](StopScenario& s) { s.settings.eps4 = 0.5; },
                 FitStopSmallStepRelativeToStdDev, nullptr},
        StopCase{"too_few_points",
                 [](StopScenario& s) {
                     s.spectrum = make_spectrum(s.model, truth, 2, nullptr);
                     s.mask = {1, 1, 0, 0, 0};
                 },
                 FitStopTooManyVariables, expect_nothing_fitted},
        StopCase{"nothing_varied", [](StopScenario& s) { s.mask.assign(5, 0); }, FitStopNoVariables,
                 expect_nothing_fitted},
        StopCase{"zero_deviation", [](StopScenario& s) { s.spectrum.std_dev_data[17] = 0.0; }, FitStopZeroStdDev,
                 expect_nothing_fitted},
        StopCase{"infinite_deviation", [](StopScenario& s) { s.spectrum.std_dev_data[5] = inf; },
                 FitStopZeroStdDev, expect_nothing_fitted},
        // No weight anywhere: chi-square 0 and a zero gradient must not pass for a fit.
        StopCase{"all_deviations_infinite",
                 [](StopScenario& s) { std::fill(s.spectrum.std_dev_data.begin(), s.spectrum.std_dev_data.end(), inf); },
                 FitStopZeroStdDev, expect_nothing_fitted},
        StopCase{"nan_deviation", [](StopScenario& s) { s.spectrum.std_dev_data[3] = std::nan(""); },
                 FitStopDataNotFinite, expect_nothing_fitted},
        StopCase{"nan_count", [](StopScenario& s) { s.spectrum.y_data[40] = std::nan(""); }, FitStopDataNotFinite,
                 expect_nothing_fitted},
        StopCase{"infinite_count", [](StopScenario& s) { s.spectrum.y_data[0] = -inf; }, FitStopDataNotFinite,
                 expect_nothing_fitted},
        StopCase{"nan_velocity", [](StopScenario& s) { s.spectrum.x_data[127] = std::nan(""); },
                 FitStopDataNotFinite, expect_nothing_fitted}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(LmFit, StopMessagesFollowTheTable)
{
    const unsigned ids[] = {50016, 50017, 50018, 50019, 50020, 50021, 50022, 50023, 50024, 50026, 50027, 50121};
    for (int code = 0; code <= 11; ++code)
        EXPECT_EQ(fit_stop_message_id(code), ids[code]) << code;
    EXPECT_EQ(fit_stop_message_id(-1), 50025u);
    EXPECT_EQ(fit_stop_message_id(12), 50025u);
}

// A count that is not a number inside an excluded range is no part of the fit.
TEST(LmFit, NotANumberInAnExcludedRangeIsNotFitted)
{
    StopScenario s;
    const double x = s.spectrum.x_data[40];
    s.spectrum.y_data[40] = std::nan("");
    s.spectrum.std_dev_data[40] = std::nan("");
    s.model.xranges = {{x - 0.01, x + 0.01}};
    const FitOutput f = run_fit(s.model, s.spectrum, s.start, s.mask);
    EXPECT_TRUE(f.code == FitStopSmallGradient || f.code == FitStopSmallStep) << f.code;
    EXPECT_TRUE(std::isfinite(f.chi_square));
    EXPECT_GT(f.iterations, 0u);
}

// A model's exception ends the fit with its own type and text, from the parallel
// Jacobian evaluation as from a serial trial; the outputs say that nothing was fitted.
TEST(LmFit, ModelExceptionsPassThroughUnchanged)
{
    for (bool in_jacobian : {true, false}) {
        SCOPED_TRACE(in_jacobian);
        StopScenario s;
        s.model.throw_in_jacobian = in_jacobian;
        s.model.throw_in_values = !in_jacobian;
        FitOutput f;
        try {
            lm_fit(s.model, s.spectrum, s.start, s.mask, {}, {}, s.settings, f.values, f.covariance, f.directions,
                   f.chi_square, f.reduced_chi_square, f.iterations, f.code, nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument& e) {
            EXPECT_FALSE(in_jacobian);
            EXPECT_STREQ(e.what(), "trial failure");
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(in_jacobian);
            EXPECT_STREQ(e.what(), "model failure");
        }
        expect_nothing_fitted(s, f);
    }
}

TEST(LmFit, WrongSizesThrowBeforeAnyOutputChanges)
{
    TestModel model = line_model();
    const SpectrumData s = make_spectrum(model, truth, 32, nullptr);
    FitOutput out;
    out.chi_square = 7.0;
    EXPECT_THROW(lm_fit(model, s, vec({1.0, 2.0}), std::vector<int>(5, 1), {}, {}, {}, out.values, out.covariance,
                        out.directions, out.chi_square, out.reduced_chi_square, out.iterations, out.code, nullptr),
                 std::runtime_error);
    EXPECT_EQ(out.chi_square, 7.0);
    SpectrumData broken = s;
    broken.std_dev_data.pop_back();
    EXPECT_THROW(run_fit(model, broken, truth, std::vector<int>(5, 1)), std::runtime_error);
}

// ---- Bounds ----

struct BoundKindCase {
    double lower, upper;
    BoundKind kind;
};

TEST(FitBounds, KindFollowsWhichBoundsAreFinite)
{
    const BoundKindCase cases[] = {
        {0.0, 1.0, BoundBoth},  {0.0, inf, BoundLower},     {-inf, 1.0, BoundUpper}, {-inf, inf, BoundNone},
        {1.0, 1.0, BoundNone},  {2.0, 1.0, BoundNone},      {std::nan(""), 1.0, BoundNone},
    };
    for (const BoundKindCase& c : cases) {
        std::vector<ParamBound> b;
        make_param_bounds(2, {1}, vec({0.0, c.lower}), vec({0.0, c.upper}), b);
        ASSERT_EQ(b.size(), 1u);
        EXPECT_EQ(b[0].kind, c.kind) << c.lower << " " << c.upper;
    }
    std::vector<ParamBound> b;
    make_param_bounds(2, {0, 1}, vec({0.0}), vec({1.0}), b);  // vectors too short: no bounds
    EXPECT_EQ(b[0].kind, BoundNone);
    EXPECT_EQ(b[1].kind, BoundNone);
}

struct LimitCase {
    const char* name;
    DVector lower, upper, v, h;
    std::vector<unsigned> previous_pins;
    double alpha;
    std::vector<unsigned> new_pins;
    DVector h_after;
};

TEST(FitBounds, StepIsShortenedOrPinnedAtTheBounds)
{
    const LimitCase cases[] = {
        {"inside", vec({0.0}), vec({1.0}), vec({0.5}), vec({0.25}), {}, 1.0, {}, vec({0.25})},
        {"both_cut_to_099", vec({0.0}), vec({1.0}), vec({0.5}), vec({1.0}), {}, 0.495, {}, vec({1.0})},
        {"lower_cut_to_099", vec({0.0}), vec({inf}), vec({1.0}), vec({-4.0}), {}, 0.2475, {}, vec({-4.0})},
        {"upper_cut_to_099", vec({-inf}), vec({2.0}), vec({1.0}), vec({2.0}), {}, 0.495, {}, vec({2.0})},
        // The second cut starts from the scale the first one left.
        {"two_cuts", vec({0.0, 0.0}), vec({1.0, inf}), vec({0.5, 1.0}), vec({1.0, -4.0}), {}, 0.2475, {},
         vec({1.0, -4.0})},
        {"at_lower_bound_pinned", vec({0.0}), vec({inf}), vec({5e-6}), vec({-1.0}), {}, 1.0, {0}, vec({-1.0})},
        {"at_both_bound_pinned", vec({-1.0}), vec({1.0}), vec({1.0 - 5e-6}), vec({1.0}), {}, 1.0, {0}, vec({1.0})},
        {"pinned_before_stays", vec({0.0, -inf}), vec({inf, inf}), vec({1e-6, 3.0}), vec({-1.0, 1.0}), {0}, 1.0, {},
         vec({0.0, 1.0})},
    };
    for (const LimitCase& c : cases) {
        std::vector<ParamBound> bounds;
        std::vector<unsigned> varied(c.v.size());
        for (unsigned j = 0; j < varied.size(); ++j)
            varied[j] = j;
        make_param_bounds(c.v.size(), varied, c.lower, c.upper, bounds);
        DVector h = c.h;
        std::vector<unsigned> pins;
        EXPECT_NEAR(limit_step(bounds, c.v, h, c.previous_pins, pins), c.alpha, 1e-12) << c.name;
        EXPECT_EQ(pins, c.new_pins) << c.name;
        for (std::size_t j = 0; j < h.size(); ++j)
            EXPECT_EQ(h(j), c.h_after(j)) << c.name;
    }
}

TEST(LmFit, StartValuesAreClampedIntoTheirBounds)
{
    TestModel model = line_model();
    const SpectrumData s = make_spectrum(model, truth, 64, nullptr);
    FitSettings settings;
    settings.kmax = 0;
    // height below its lower bound, x0 above its upper, Γ above a two-sided bound.
    const DVector lower = vec({-inf, -inf, 1e3, -inf, 0.1});
    const DVector upper = vec({inf, inf, inf, 0.2, 0.5});
    const FitOutput f = run_fit(model, s, vec({2e5, 500.0, 10.0, 0.9, 0.8}), std::vector<int>(5, 1), settings,
                                lower, upper);
    EXPECT_EQ(f.code, FitStopIterationLimit);
    EXPECT_EQ(f.values(2), 1e3);
    EXPECT_EQ(f.values(3), 0.2);
    EXPECT_EQ(f.values(4), 0.5);
    EXPECT_DOUBLE_EQ(f.chi_square, chi_square_at(model, s, f.values));
}

class RecordingCallback : public IFitStepCallback {
public:
    std::vector<DVector> initial, current;
    std::vector<double> chi, previous;
    std::vector<unsigned> iterations;
    bool on_step(const DVector& start, const DVector& now, double, double chi_square, double previous_chi_square,
                 double, double, unsigned k) override
    {
        initial.push_back(start);
        current.push_back(now);
        chi.push_back(chi_square);
        previous.push_back(previous_chi_square);
        iterations.push_back(k);
        return true;
    }
};

// Raises the cancel flag from inside its n-th trial evaluation, as another thread
// would while the fit computes.
class CancellingModel : public TestModel {
public:
    CancellingModel(TestModel base, std::atomic<bool>& flag, int at) : TestModel(std::move(base)), flag_(flag), at_(at) {}
    mutable std::size_t jacobian_blocks_at_cancel = 0;

    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                  DVector& out) const override
    {
        TestModel::evaluate(x, first, count, p, out);
        if (evaluate_calls == at_) {
            flag_ = true;
            jacobian_blocks_at_cancel = blocks.size();
        }
    }

private:
    std::atomic<bool>& flag_;
    int at_;
};

TEST(LmFit, ACancelEndsTheFitBeforeTheNextEvaluationAtTheLastAcceptedStep)
{
    std::atomic<bool> cancel = false;
    CancellingModel model(line_model(), cancel, 3);
    const SpectrumData s = make_spectrum(model, truth, 128, nullptr);
    RecordingCallback steps;
    FitOutput f;
    lm_fit(model, s, perturbed, std::vector<int>(5, 1), {}, {}, {}, f.values, f.covariance, f.directions,
           f.chi_square, f.reduced_chi_square, f.iterations, f.code, &steps, &cancel);
    EXPECT_EQ(f.code, FitStopByCaller);
    EXPECT_EQ(model.evaluate_calls, 3);  // no trial after the cancel
    EXPECT_EQ(model.blocks.size(), model.jacobian_blocks_at_cancel);  // no Jacobian either
    ASSERT_FALSE(steps.current.empty());
    EXPECT_EQ(f.iterations, steps.iterations.back());
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(f.values(i), steps.current.back()(i));
}

TEST(LmFit, AFlagThatStaysClearChangesNothing)
{
    TestModel model = line_model();
    const SpectrumData s = make_spectrum(model, truth, 128, nullptr);
    const std::atomic<bool> cancel = false;
    const FitOutput plain = run_fit(model, s, perturbed, std::vector<int>(5, 1));
    FitOutput f;
    lm_fit(model, s, perturbed, std::vector<int>(5, 1), {}, {}, {}, f.values, f.covariance, f.directions,
           f.chi_square, f.reduced_chi_square, f.iterations, f.code, nullptr, &cancel);
    EXPECT_EQ(f.code, plain.code);
    EXPECT_EQ(f.iterations, plain.iterations);
    EXPECT_EQ(f.chi_square, plain.chi_square);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(f.values(i), plain.values(i));
}

TEST(LmFit, MinimumBeyondABoundEndsPinnedAtTheBound)
{
    TestModel model = line_model();
    const SpectrumData s = make_spectrum(model, truth, 128, nullptr);
    const DVector lower = vec({-inf, -inf, -inf, -inf, 0.1});
    const DVector upper = vec({inf, inf, inf, inf, 0.5});  // the true Γ is 0.6
    DVector start = perturbed;
    start(4) = 0.42;
    RecordingCallback steps;
    const FitOutput f = run_fit(model, s, start, std::vector<int>(5, 1), {}, lower, upper, &steps);
    ASSERT_FALSE(steps.current.empty());
    for (const DVector& p : steps.current) {
        EXPECT_LE(p(4), 0.5);
        EXPECT_GE(p(4), 0.1);
    }
    EXPECT_LE(f.values(4), 0.5);
    EXPECT_GT(f.values(4), 0.5 - 1e-5 * 0.2);  // within the pinning distance

    // The other parameters go on to their best values for Γ at the bound.
    start(4) = 0.5;
    const FitOutput fixed = run_fit(model, s, start, {1, 1, 1, 1, 0});
    ASSERT_TRUE(converged(fixed.code)) << fixed.code;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(f.values(i), fixed.values(i), 1e-2 * std::sqrt(fixed.covariance(i, i))) << i;
}

// ---- Links ----

// Baseline, line 1 (2, 3, 4), line 2 (5, 6, 7) and a free ratio s (8): height₂ = 0.5 ×
// height₁, x0₂ = x0₁ · s (an expression), Γ₂ = Γ₁.
TestModel doublet_model()
{
    TestModel m;
    m.add_line();
    m.add_line();
    m.add_free();
    m.expressions.push_back({3, 8});
    m.links = {{5, 0, 2, 0.5}, {6, 1, 0, 1.0}, {7, 0, 4, 1.0}};
    return m;
}

const DVector doublet_truth = vec({1e5, -300.0, 1.5e4, -0.8, 0.35, 7.5e3, 0.96, 0.35, -1.2});

TEST(LmFit, LinkedJacobianIsTheChainRule)
{
    const TestModel model = doublet_model();
    const SpectrumData s = make_spectrum(model, doublet_truth, 96, nullptr);
    const std::vector<unsigned> varied = {0, 1, 2, 3, 4, 8};
    FitEvalContext context(model, &model, vec(s.x_data), vec(s.y_data), vec(s.std_dev_data), varied, {},
                           doublet_truth);

    DVector v(varied.size());
    for (std::size_t j = 0; j < varied.size(); ++j)
        v(j) = doublet_truth(varied[j]) * 1.05;
    DMatrix a;
    DVector g;
    context.evaluate_jacobian(v, {}, a, g);
    const DMatrix jt = context.jacobian_transposed();

    // Residuals computed apart from the engine: links applied, the model's plain values.
    auto residual = [&](const DVector& w, std::size_t i) {
        DVector p = doublet_truth;
        for (std::size_t j = 0; j < varied.size(); ++j)
            p(varied[j]) = w(j);
        model.apply_links(p, nullptr);
        return (s.y_data[i] - model.value(s.x_data[i], p)) / s.std_dev_data[i];
    };
    for (std::size_t j = 0; j < varied.size(); ++j) {
        const double h = 1e-6 * std::fabs(v(j));
        DVector up = v, down = v;
        up(j) += h;
        down(j) -= h;
        double scale = 0.0;
        for (std::size_t i = 0; i < s.x_data.size(); ++i)
            scale = std::max(scale, std::fabs(jt(j, i)));
        ASSERT_GT(scale, 0.0) << j;
        for (std::size_t i = 0; i < s.x_data.size(); ++i) {
            const double fd = -(residual(up, i) - residual(down, i)) / (2 * h);
            EXPECT_NEAR(jt(j, i), fd, 1e-6 * scale) << "parameter " << varied[j] << " point " << i;
        }
    }
}

TEST(LmFit, LinkedParametersAreNeverVariedAndFollowTheirTargets)
{
    TestModel model = doublet_model();
    const SpectrumData s = make_spectrum(model, doublet_truth, 128, nullptr);
    DVector start = doublet_truth;
    start(2) *= 0.9;
    start(3) = -0.7;
    start(4) = 0.3;
    start(8) = -1.1;
    model.apply_links(start, nullptr);
    RecordingCallback steps;
    const FitOutput f = run_fit(model, s, start, std::vector<int>(9, 1), {}, {}, {}, &steps);
    ASSERT_TRUE(converged(f.code)) << f.code;
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(f.values(i), doublet_truth(i), 1e-6 * std::fabs(doublet_truth(i))) << i;
    EXPECT_EQ(f.values(5), 0.5 * f.values(2));
    EXPECT_EQ(f.values(6), f.values(3) * f.values(8));
    EXPECT_EQ(f.values(7), f.values(4));
    for (unsigned d : {5u, 6u, 7u})
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(f.covariance(d, i), 0.0);
            EXPECT_EQ(f.covariance(i, d), 0.0);
        }
    EXPECT_EQ(f.directions.size1(), 6u);
    // The callback sees the full vector with the links applied.
    ASSERT_FALSE(steps.current.empty());
    for (std::size_t k = 0; k < steps.current.size(); ++k) {
        EXPECT_EQ(steps.current[k](7), steps.current[k](4));
        EXPECT_EQ(steps.iterations[k], k + 1);
        EXPECT_LE(steps.chi[k], steps.previous[k]);
        EXPECT_EQ(steps.initial[k](3), start(3));
    }
}

// ---- Parameters of very different sizes ----

// A line 2e5 counts deep on a flat baseline of 1e6 counts, widths and positions in
// mm/s: the diagonal of JᵀJ spans about twelve orders of magnitude, from the baseline
// and the height to the position and the width, yet every parameter is well determined.
const DVector high_counts = vec({1e6, 0.0, 2e5, 0.3, 0.3});
const DVector high_counts_start = vec({1.01e6, 0.0, 1.7e5, 0.36, 0.36});
const std::vector<int> high_counts_mask = {1, 0, 1, 1, 1};  // the slope stays 0

// (JᵀJ)⁻¹ at p over the parameters in `mask`, zero elsewhere: Gauss-Jordan on the
// normal matrix by differences, scaled to unit diagonal so that the pivoting sees no
// units, and no cutoff at all.
DMatrix covariance_by_differences(const TestModel& model, const SpectrumData& s, const DVector& p,
                                  const std::vector<int>& mask)
{
    const DMatrix full = normal_matrix_by_differences(model, s, p);
    std::vector<std::size_t> varied;
    for (std::size_t i = 0; i < mask.size(); ++i)
        if (mask[i])
            varied.push_back(i);
    const std::size_t m = varied.size();
    DVector d(m);
    for (std::size_t i = 0; i < m; ++i)
        d(i) = 1.0 / std::sqrt(full(varied[i], varied[i]));
    DMatrix scaled(m, m);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < m; ++j)
            scaled(i, j) = d(i) * full(varied[i], varied[j]) * d(j);
    const DMatrix inv = inverse(scaled);
    DMatrix k(p.size(), p.size(), 0.0);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < m; ++j)
            k(varied[i], varied[j]) = d(i) * inv(i, j) * d(j);
    return k;
}

TEST(LmFit, HighCountBaselineGetsItsErrorAndTheTruth)
{
    const TestModel model = line_model();
    std::mt19937 rng(1906);
    const unsigned points = 256;
    const SpectrumData s = make_spectrum(model, high_counts, points, &rng);
    const FitOutput fit = run_fit(model, s, high_counts_start, high_counts_mask);
    ASSERT_TRUE(converged(fit.code)) << fit.code;
    EXPECT_GT(fit.iterations, 0u);

    const DMatrix expected = covariance_by_differences(model, s, fit.values, high_counts_mask);
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t j = 0; j < 5; ++j)
            EXPECT_NEAR(fit.covariance(i, j), expected(i, j), 1e-5 * std::sqrt(expected(i, i) * expected(j, j)))
                << i << "," << j;
    // A flat baseline alone would be known to √(N₀/n); the line costs it a little.
    const double n0_error = std::sqrt(fit.covariance(0, 0));
    EXPECT_GT(n0_error, std::sqrt(high_counts(0) / points));
    EXPECT_LT(n0_error, 1.2 * std::sqrt(high_counts(0) / points));
    for (std::size_t i = 0; i < 5; ++i)
        if (high_counts_mask[i])
            EXPECT_NEAR(fit.values(i), high_counts(i), 4 * std::sqrt(fit.covariance(i, i))) << i;
        else
            EXPECT_EQ(fit.values(i), high_counts(i)) << i;

    // Nothing is undetermined; the relative singular values lie in (0, 1], largest first.
    ASSERT_EQ(fit.directions.size1(), 4u);
    EXPECT_EQ(fit.directions(0, 5), 1.0);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_GT(fit.directions(i, 5), 0.0) << i;
        EXPECT_LE(fit.directions(i, 5), fit.directions(i - 1, 5)) << i;
    }
}

TEST(LmFit, HighCountErrorsMatchTheSpreadOverRepeatedSpectra)
{
    expect_unit_pulls(line_model(), high_counts, high_counts_start, high_counts_mask, 128, 100, 4242);
}

// Two lines whose positions and widths are linked: their heights enter only as their
// sum. The fit must leave their difference where it started, give the sum the error a
// single line would have, and report the difference as undetermined.
TEST(LmFit, ParametersEnteringOnlyAsTheirSumKeepTheirDifference)
{
    const TestModel single = line_model();
    std::mt19937 rng(515);
    const SpectrumData s = make_spectrum(single, high_counts, 256, &rng);
    const FitOutput reference = run_fit(single, s, high_counts_start, high_counts_mask);
    ASSERT_TRUE(converged(reference.code)) << reference.code;

    TestModel pair;
    pair.add_line();
    pair.add_line();
    pair.links = {{6, 0, 3, 1.0}, {7, 0, 4, 1.0}};
    DVector start(8);
    for (std::size_t i = 0; i < 5; ++i)
        start(i) = high_counts_start(i);
    start(2) = 1.2e5;
    start(5) = 0.5e5;
    pair.apply_links(start, nullptr);
    const FitOutput f = run_fit(pair, s, start, {1, 0, 1, 1, 1, 1, 1, 1});
    ASSERT_TRUE(converged(f.code)) << f.code;

    const double sum = f.values(2) + f.values(5);
    EXPECT_NEAR(f.values(2) - f.values(5), start(2) - start(5), 1e-9 * sum);
    const double sum_variance = f.covariance(2, 2) + 2 * f.covariance(2, 5) + f.covariance(5, 5);
    EXPECT_NEAR(sum, reference.values(2), 1e-3 * std::sqrt(reference.covariance(2, 2)));
    EXPECT_NEAR(sum_variance, reference.covariance(2, 2), 1e-5 * reference.covariance(2, 2));
    for (std::size_t i : {0u, 3u, 4u}) {
        EXPECT_NEAR(f.values(i), reference.values(i), 1e-3 * std::sqrt(reference.covariance(i, i))) << i;
        EXPECT_NEAR(f.covariance(i, i), reference.covariance(i, i), 1e-5 * reference.covariance(i, i)) << i;
    }
    for (double c : f.covariance.data())
        EXPECT_TRUE(std::isfinite(c));
    // The difference of the heights has no variance and a zero singular value, last.
    EXPECT_NEAR(f.covariance(2, 2) - 2 * f.covariance(2, 5) + f.covariance(5, 5), 0.0, 1e-9 * sum_variance);
    ASSERT_EQ(f.directions.size1(), 5u);
    EXPECT_EQ(f.directions(4, 8), 0.0);
    EXPECT_NEAR(std::fabs(f.directions(4, 2)), std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(f.directions(4, 2), -f.directions(4, 5), 1e-9);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_GT(f.directions(i, 8), 0.0) << i;
}

// ---- Points and excluded ranges ----

TEST(FitPoints, SortsAndDropsPointsInExcludedRanges)
{
    SpectrumData s;
    s.x_data = {3.0, -1.0, 0.0, 1.0, 2.0, -2.0};
    s.y_data = {30, -10, 0, 10, 20, -20};
    s.std_dev_data = {3, 1, 0.5, 1, 2, 2};
    TestModel ranges;
    ranges.xranges = {{-1.0, 1.0}, {5.0, 4.0}};  // from ≤ x < to; the second excludes nothing
    std::vector<double> x, y, sigma, values = {300, -100, 0, 100, 200, -200};
    select_fit_points(s, ranges, x, y, sigma, &values);
    EXPECT_EQ(x, (std::vector<double>{-2.0, 1.0, 2.0, 3.0}));
    EXPECT_EQ(y, (std::vector<double>{-20, 10, 20, 30}));
    EXPECT_EQ(sigma, (std::vector<double>{2, 1, 2, 3}));
    EXPECT_EQ(values, (std::vector<double>{-200, 100, 200, 300}));
}

TEST(LmFit, ExcludedRangesLeaveTheirPointsOut)
{
    TestModel model = line_model();
    std::mt19937 rng(9);
    SpectrumData spoiled = make_spectrum(model, truth, 200, &rng);
    SpectrumData kept;
    for (std::size_t i = 0; i < spoiled.x_data.size(); ++i) {
        if (spoiled.x_data[i] >= -3.0 && spoiled.x_data[i] < -2.0) {
            spoiled.y_data[i] = 10.0;  // garbage the fit must not see
            continue;
        }
        kept.x_data.push_back(spoiled.x_data[i]);
        kept.y_data.push_back(spoiled.y_data[i]);
        kept.std_dev_data.push_back(spoiled.std_dev_data[i]);
    }
    model.xranges = {{-3.0, -2.0}};
    const FitOutput excluded = run_fit(model, spoiled, perturbed, std::vector<int>(5, 1));
    const FitOutput reference = run_fit(PlainModel(model), kept, perturbed, std::vector<int>(5, 1));
    ASSERT_TRUE(converged(excluded.code));
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(excluded.values(i), reference.values(i), 1e-9 * std::fabs(reference.values(i))) << i;
    EXPECT_NEAR(excluded.reduced_chi_square, excluded.chi_square / static_cast<double>(kept.x_data.size() - 5),
                1e-12 * excluded.chi_square);
}

// ---- Blocks and smoothness rows ----

TEST(FitEvalContext, DataRowsAreEvaluatedInSixteenBlocks)
{
    for (const unsigned points : {10u, 33u}) {
        const TestModel model = line_model();
        const SpectrumData s = make_spectrum(model, truth, points, nullptr);
        FitEvalContext context(model, nullptr, vec(s.x_data), vec(s.y_data), vec(s.std_dev_data), {0, 1}, {},
                               truth);
        DMatrix a;
        DVector g;
        context.evaluate_jacobian(vec({2e5, 500.0}), {}, a, g);
        std::vector<std::pair<std::size_t, std::size_t>> blocks = model.blocks;
        std::sort(blocks.begin(), blocks.end());
        std::vector<std::pair<std::size_t, std::size_t>> expected;
        const std::size_t b = points / 16;
        for (std::size_t i = 0; i < 15 && b > 0; ++i)
            expected.emplace_back(i * b, b);
        expected.emplace_back(15 * b, points - 15 * b);
        EXPECT_EQ(blocks, expected) << points;
    }
}

// A fit starts with the buffers of the fit before; it must compute as if they were new.
TEST(FitEvalContext, BuffersOfAnEarlierLargerFitChangeNoBit)
{
    const TestModel small = line_model();
    const SpectrumData s = make_spectrum(small, truth, 40, nullptr);
    const auto evaluate = [&] {
        FitEvalContext context(small, nullptr, vec(s.x_data), vec(s.y_data), vec(s.std_dev_data), {0, 1, 3}, {},
                               truth);
        const DMatrix& jt = context.jacobian_transposed();
        EXPECT_TRUE(std::all_of(jt.data().begin(), jt.data().end(), [](double e) { return e == 0.0; }));
        DMatrix a;
        DVector g;
        const double chi_square = context.evaluate_jacobian(vec({2e5, 500.0, 0.3}), {}, a, g);
        return std::tuple(chi_square, a, g, DMatrix(jt), DVector(context.residuals()));
    };
    const auto fresh = evaluate();
    {
        TestModel large = line_model();
        large.add_line();
        const DVector p = vec({2e5, 500.0, 2e4, 0.3, 0.6, 1e4, -1.0, 0.4});
        const SpectrumData l = make_spectrum(large, p, 300, nullptr);
        FitEvalContext context(large, nullptr, vec(l.x_data), vec(l.y_data), vec(l.std_dev_data),
                               {0, 1, 2, 3, 4, 5, 6, 7}, {}, p);
        DMatrix a;
        DVector g;
        context.evaluate_jacobian(p, {}, a, g);
    }
    const auto reused = evaluate();
    EXPECT_EQ(std::get<0>(reused), std::get<0>(fresh));
    const auto same = [](const auto& x, const auto& y) {
        return x.data().size() == y.data().size() && std::equal(x.data().begin(), x.data().end(), y.data().begin());
    };
    EXPECT_TRUE(same(std::get<1>(reused), std::get<1>(fresh)));
    EXPECT_TRUE(same(std::get<2>(reused), std::get<2>(fresh)));
    EXPECT_TRUE(same(std::get<3>(reused), std::get<3>(fresh)));
    EXPECT_TRUE(same(std::get<4>(reused), std::get<4>(fresh)));
}

TEST(FitEvalContext, EachSmoothnessRowHoldsOnlyItsOwnWeights)
{
    // Two distributions side by side in the parameter vector: 3 weights, then 4.
    TestModel model;
    const unsigned first_a = model.add_distribution({-1.0, 0.0, 1.0}, 0.5, {1, 1, 1});
    const unsigned first_b = model.add_distribution({-2.0, -1.0, 1.0, 2.0}, 0.5, {1, 1, 1, 1});
    const DVector p = vec({1e4, 0.0, 100, 300, 200, 50, 80, 120, 90});
    const SpectrumData s = make_spectrum(model, p, 40, nullptr);
    std::vector<double> y = s.y_data, sigma = s.std_dev_data;
    const double sigma_a = 2.0, sigma_b = 0.5;
    y.insert(y.end(), 7, 0.0);
    sigma.insert(sigma.end(), 3, sigma_a);
    sigma.insert(sigma.end(), 4, sigma_b);
    std::vector<unsigned> varied(9);
    for (unsigned j = 0; j < 9; ++j)
        varied[j] = j;
    FitEvalContext context(model, nullptr, vec(s.x_data), vec(y), vec(sigma), varied,
                           {{first_a, 3}, {first_b, 4}}, p);
    DMatrix a;
    DVector g;
    context.evaluate_jacobian(p, {}, a, g);
    const DMatrix& jt = context.jacobian_transposed();
    const DVector& r = context.residuals();

    struct Row {
        unsigned first, count, i;
        double sigma;
    };
    std::vector<Row> rows;
    for (unsigned i = 0; i < 3; ++i)
        rows.push_back({first_a, 3, i, sigma_a});
    for (unsigned i = 0; i < 4; ++i)
        rows.push_back({first_b, 4, i, sigma_b});
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[k];
        const std::size_t at = 40 + k;
        for (unsigned j = 0; j < 9; ++j) {
            double expected = 0.0;
            if (j == row.first + row.i)
                expected = -2 / row.sigma;
            else if ((row.i > 0 && j + 1 == row.first + row.i) || (row.i + 1 < row.count && j == row.first + row.i + 1))
                expected = 1 / row.sigma;
            EXPECT_EQ(jt(j, at), expected) << "row " << k << " parameter " << j;
        }
        const auto w = [&](int i) { return i < 0 || i >= static_cast<int>(row.count) ? 0.0 : p(row.first + i); };
        const int i = static_cast<int>(row.i);
        EXPECT_DOUBLE_EQ(r(at), (2 * w(i) - w(i - 1) - w(i + 1)) / row.sigma) << k;
    }
}

TEST(LmFit, SmoothnessRowsComeFromDistributionsOfTwoOrMoreWeights)
{
    // A distribution of one weight, last in the parameter vector, has no second
    // difference: it adds no row (and reads nothing beyond its weight).
    TestModel model;
    model.add_distribution({-1.0, 0.0, 1.0}, 0.5, {1, 2, 1});
    model.add_distribution({2.0}, 0.5, {1});
    const DVector p = vec({1e4, 0.0, 100, 300, 200, 150});
    SpectrumData s = make_spectrum(model, p, 64, nullptr);
    s.absorption.N0 = 1e4;
    s.absorption.depth = -5e3;  // √max(|N0|, |N0 + depth|) = 100
    const FitOutput f = run_fit(model, s, p, std::vector<int>(6, 1));
    ASSERT_TRUE(converged(f.code)) << f.code;
    EXPECT_NEAR(f.reduced_chi_square, f.chi_square / (64 + 3 - 6), 1e-12 * f.chi_square);

    // At the start, chi-square is the roughness of the first distribution alone, each
    // row weighted by its scaled deviation.
    FitSettings settings;
    settings.kmax = 0;
    const FitOutput at_start = run_fit(model, s, p, std::vector<int>(6, 1), settings);
    const double rows[] = {(2 * 100.0 - 300) / 0.01, (2 * 300.0 - 100 - 200) / 0.02, (2 * 200.0 - 300) / 0.01};
    double roughness = 0.0;
    for (double r : rows)
        roughness += r * r;
    EXPECT_NEAR(at_start.chi_square, roughness, 1e-9 * roughness);
}

// ---- Linear algebra ----

// Equal bits, or both NaN.
bool same_sum(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The rows from `dense` on keep three nonzero entries in a band, like smoothness rows,
// and their residual; with `infinite`, one of those entries is +∞. Seventy parameters
// make runs of several tiles, shared out over the threads.
TEST(NormalEquations, EqualRowOrderSumsForAnyShape)
{
    struct Shape {
        unsigned m, rows, dense;
        bool infinite;
    };
    std::mt19937 rng(3);
    for (const Shape& shape : {Shape{13, 37, 37, false}, Shape{4, 5, 5, false}, Shape{1, 3, 3, false},
                               Shape{13, 37, 20, false}, Shape{9, 30, 0, false}, Shape{6, 12, 7, true},
                               Shape{70, 60, 60, false}, Shape{70, 90, 60, false}}) {
        const unsigned m = shape.m, rows = shape.rows;
        auto [jt, r] = random_rows(m, rows, rng);
        for (unsigned k = shape.dense; k < rows; ++k)
            for (unsigned i = 0; i < m; ++i)
                if (i + 1 < k % m || i > k % m + 1)
                    jt(i, k) = 0.0;
        if (shape.infinite)
            jt(0, shape.dense) = std::numeric_limits<double>::infinity();
        DMatrix a;
        DVector g;
        normal_equations(jt, r, shape.dense, a, g);
        for (std::size_t i = 0; i < m; ++i) {
            double gi = 0.0;
            for (std::size_t k = 0; k < rows; ++k)
                gi += jt(i, k) * r(k);
            EXPECT_TRUE(same_sum(g(i), gi)) << m << "/" << shape.dense << ": " << g(i) << " " << gi;
            for (std::size_t j = 0; j < m; ++j) {
                double s = 0.0;
                for (std::size_t k = 0; k < rows; ++k)
                    s += jt(std::min(i, j), k) * jt(std::max(i, j), k);
                EXPECT_TRUE(same_sum(a(i, j), s)) << m << "/" << shape.dense << ": " << i << "," << j;
            }
        }
    }
}

TEST(Svd, PseudoInverseDropsSingularValuesBelowTheCutoff)
{
    // A = 3·uuᵀ + 1e-12·wwᵀ with orthonormal u, w: the second direction counts as zero.
    const double c = 1 / std::sqrt(2.0);
    const DVector u = vec({c, c}), w = vec({c, -c});
    DMatrix a(2, 2);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            a(i, j) = 3 * u(i) * u(j) + 1e-12 * w(i) * w(j);
    DMatrix p, d;
    SvdWorkspace ws;
    ASSERT_TRUE(svd_pseudo_inverse(a, p, &d, ws));
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            EXPECT_NEAR(p(i, j), u(i) * u(j) / 3, 1e-12);
    ASSERT_EQ(d.size2(), 3u);
    EXPECT_DOUBLE_EQ(d(0, 2), 1.0);
    EXPECT_EQ(d(1, 2), 0.0);
    EXPECT_NEAR(std::fabs(d(0, 0) * c + d(0, 1) * c), 1.0, 1e-12);

    // The damped solve: (A + mu·I)·x = b.
    DVector x;
    ASSERT_TRUE(svd_solve(a, 0.5, vec({1.0, 2.0}), x, ws));
    EXPECT_NEAR((a(0, 0) + 0.5) * x(0) + a(0, 1) * x(1), 1.0, 1e-12);
    EXPECT_NEAR(a(1, 0) * x(0) + (a(1, 1) + 0.5) * x(1), 2.0, 1e-12);
}

TEST(Svd, CutoffDoesNotDependOnTheUnitsOfTheParameters)
{
    // A = S·C·S for the correlation matrix C = [[1, ½], [½, 1]] and parameter scales S
    // 1e-6 and 1e3: A's singular values are 1e-18 apart, C's are 3/2 and 1/2.
    const double s[] = {1e-6, 1e3};
    DMatrix a(2, 2);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            a(i, j) = s[i] * (i == j ? 1.0 : 0.5) * s[j];
    DMatrix p, d;
    SvdWorkspace ws;
    ASSERT_TRUE(svd_pseudo_inverse(a, p, &d, ws));
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            EXPECT_NEAR(p(i, j), (i == j ? 4.0 : -2.0) / 3 / (s[i] * s[j]), 1e-12 / (s[i] * s[j])) << i << j;
    EXPECT_EQ(d(0, 2), 1.0);
    EXPECT_NEAR(d(1, 2), 1.0 / 3, 1e-14);
    // Rows are unit vectors of the scaled parameters: here (1, ±1)/√2.
    for (std::size_t r = 0; r < 2; ++r)
        for (std::size_t j = 0; j < 2; ++j)
            EXPECT_NEAR(std::fabs(d(r, j)), std::sqrt(0.5), 1e-14) << r << j;

    // The same scales with C = [[1, 1], [1, 1]]: only the sum of the scaled parameters
    // is determined. Its variance is kept (A·P·A = A), the other direction cut.
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            a(i, j) = s[i] * s[j];
    ASSERT_TRUE(svd_pseudo_inverse(a, p, &d, ws));
    EXPECT_EQ(d(1, 2), 0.0);
    const DMatrix apa = prod(DMatrix(prod(a, p)), a);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 2; ++j)
            EXPECT_NEAR(apa(i, j), a(i, j), 1e-12 * s[i] * s[j]) << i << j;

    // A damping that dwarfs every entry (many rejected steps) leaves both components of
    // the step, however different the diagonal.
    a = DMatrix(2, 2, 0.0);
    a(0, 0) = 1e-6;
    a(1, 1) = 1e6;
    DVector x;
    ASSERT_TRUE(svd_solve(a, 1e12, vec({1.0, 1.0}), x, ws));
    EXPECT_NEAR(x(0), 1 / (1e-6 + 1e12), 1e-26);
    EXPECT_NEAR(x(1), 1 / (1e6 + 1e12), 1e-26);
}

TEST(Svd, ZeroOrNonFiniteMatricesGiveNoStepAndNoVariance)
{
    SvdWorkspace ws;
    DMatrix p, d;
    ASSERT_TRUE(svd_pseudo_inverse(DMatrix(2, 2, 0.0), p, &d, ws));
    for (double e : p.data())
        EXPECT_EQ(e, 0.0);
    EXPECT_EQ(d(0, 2), 0.0);  // no relative singular value of 0/0
    EXPECT_EQ(d(1, 2), 0.0);

    DVector x;
    ASSERT_TRUE(svd_solve(DMatrix(2, 2, 0.0), 0.0, vec({1.0, 1.0}), x, ws));
    EXPECT_EQ(x(0), 0.0);
    EXPECT_EQ(x(1), 0.0);

    DMatrix bad(2, 2, 1.0);
    bad(0, 1) = std::nan("");
    EXPECT_FALSE(svd_solve(bad, 1.0, vec({1.0, 1.0}), x, ws));
    EXPECT_FALSE(svd_pseudo_inverse(bad, p, &d, ws));
    for (double e : p.data())
        EXPECT_EQ(e, 0.0);
}

}  // namespace
