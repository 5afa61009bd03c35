// The relaxation models against first principles: the stochastic line-shape matrix of each
// model (its states, jump rates, populations and width) solved densely point by point at
// static, intermediate, fast and asymmetric rates; the analytic fast limit with motional
// narrowing where the rates dwarf the line's spread (and where a dense solve in doubles
// cancels too); the exact limits where the rate's exponential leaves the range of doubles,
// values and Jacobian; areas; and the relations between the models.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "relaxation/fluctuating_fields.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_line.h"
#include "relaxation/two_state_models.h"
#include "relaxation/tridiagonal_solver.h"
#include "subspec/subspec_impl.h"
#include "tests/relaxation/stochastic_line_shape.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;

const double inf = std::numeric_limits<double>::infinity();

// The six positions of a sextet, lines 1 to 6 (first-order pattern of the isotope).
std::vector<double> sextet(double shift, double quadrupole, double field)
{
    const Isotope& iso = iron();
    const double h = 0.5 * iso.K * field;
    return {shift + quadrupole + h,          shift - quadrupole + iso.α * h, shift - quadrupole + iso.β * h,
            shift - quadrupole - iso.β * h, shift - quadrupole - iso.α * h, shift + quadrupole - h};
}

double rate_of(double log_rate)
{
    return std::exp(log_rate) / iron().L;
}

// Two states, A → B at k, B → A at ρ·k.
StochasticModel two_states(double log_rate, double ratio, double width, double area)
{
    const double k = rate_of(log_rate);
    return {{{0.0, ratio * k}, {k, 0.0}}, {ratio / (1.0 + ratio), 1.0 / (1.0 + ratio)}, 0.5 * width, area, {}};
}

StochasticModel relax_doublet(const std::vector<double>& p)
{
    StochasticModel m = two_states(p[6], p[7], p[8], p[0]);
    m.lines = {{p[1], {p[2] + p[3], p[4] + p[5]}}, {1.0, {p[2] - p[3], p[4] - p[5]}}};
    return m;
}

const double sextet_weight[6] = {1.0, 0.0, 0.0, 0.0, 0.0, 1.0};

std::vector<StochasticLine> sextet_lines(const std::vector<double>& a, const std::vector<double>& b, double r2,
                                         double r3)
{
    const double weight[6] = {1.0, r2, r3, r3, r2, 1.0};
    std::vector<StochasticLine> lines;
    for (std::size_t j = 0; j < 6; ++j)
        lines.push_back({weight[j], {a[j], b[j]}});
    return lines;
}

StochasticModel relax_sextet(const std::vector<double>& p)
{
    StochasticModel m = two_states(p[6], p[7], p[8], p[0]);
    m.lines = sextet_lines(sextet(p[3], p[4], p[5]), sextet(p[3], p[4], -p[5]), p[1], p[2]);
    return m;
}

StochasticModel two_state_relax_sextet(const std::vector<double>& p)
{
    StochasticModel m = two_states(p[9], p[10], p[11], p[0]);
    m.lines = sextet_lines(sextet(p[3], p[4], p[5]), sextet(p[6], p[7], p[8]), p[1], p[2]);
    return m;
}

// Six levels m = 5/2 … −5/2 with fields (m/S)·H; up the chain at a·Ω, down at p·a·Ω.
StochasticModel spin_relax_sextet(const std::vector<double>& p)
{
    const double k = rate_of(p[6]), ratio = p[7];
    const double a[5] = {p[9], p[10], p[11], p[10], p[9]};
    StochasticModel m;
    m.rate.assign(6, std::vector<double>(6, 0.0));
    double sum = 0.0;
    for (int i = 0; i < 6; ++i) {
        m.population.push_back(std::pow(ratio, 5 - i));
        sum += m.population.back();
    }
    for (double& w : m.population)
        w /= sum;
    for (int i = 0; i < 5; ++i) {
        m.rate[i + 1][i] = a[i] * k;
        m.rate[i][i + 1] = ratio * a[i] * k;
    }
    m.half_width = 0.5 * p[8];
    m.area = p[0];
    const double weight[6] = {1.0, p[1], p[2], p[2], p[1], 1.0};
    for (std::size_t j = 0; j < 6; ++j) {
        StochasticLine line{weight[j], {}};
        for (int i = 0; i < 6; ++i)
            line.position.push_back(sextet(p[3], p[4], p[5] * (2.5 - i) / 2.5)[j]);
        m.lines.push_back(line);
    }
    return m;
}

// Strong collisions: from any state to state j at the rate c·wⱼ.
StochasticModel strong_collisions(const std::vector<double>& positions, const std::vector<double>& weights,
                                  double log_rate, double width, double area)
{
    const double c = rate_of(log_rate);
    StochasticModel m;
    m.population = weights;
    m.rate.assign(weights.size(), std::vector<double>(weights.size()));
    for (std::size_t to = 0; to < weights.size(); ++to)
        for (std::size_t from = 0; from < weights.size(); ++from)
            m.rate[to][from] = c * weights[to];
    m.half_width = 0.5 * width;
    m.area = area;
    m.lines = {{1.0, positions}};
    return m;
}

StochasticModel fluctuating_efg(const std::vector<double>& p)
{
    const double lower = 1.0 / (1.0 + p[1]);
    return strong_collisions({p[2] + p[3], p[2] - p[3]}, {1.0 - lower, lower}, p[4], p[5], p[0]);
}

StochasticModel fluctuating_mmf(const std::vector<double>& p)
{
    const double t = 0.5 / (1.0 + p[1] + p[2]);
    return strong_collisions(sextet(p[3], p[4], p[5]), {t, p[1] * t, p[2] * t, p[2] * t, p[1] * t, t}, p[6], p[7],
                             p[0]);
}

struct ModelCase {
    const char* name;
    SubSpecPtr (*make)(const Isotope*);
    StochasticModel (*describe)(const std::vector<double>&);
    std::vector<double> params;
    std::size_t log_rate;  // index of the rate parameter
    std::size_t ratio;     // index of the population parameter, or params.size() for none
    double x_min, x_max;
};

const ModelCase cases[] = {
    {"RelaxDoublet", make_subspec<RelaxDoublet>, relax_doublet, {1.1, 0.8, 0.3, 0.6, -0.2, 1.1, 0.0, 1.0, 0.2}, 6, 7,
     -4.0, 4.0},
    {"RelaxSextet", make_subspec<RelaxSextet>, relax_sextet, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.0, 1.0, 0.2}, 6, 7,
     -10.0, 10.0},
    {"TwoStateRelaxSextet", make_subspec<TwoStateRelaxSextet>, two_state_relax_sextet,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, -0.1, 250.0, 0.0, 1.0, 0.2}, 9, 10, -10.0, 10.0},
    {"SpinRelaxSextet", make_subspec<SpinRelaxSextet>, spin_relax_sextet,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.0, 0.6, 0.2, 5.0, 8.0, 9.0}, 6, 7, -10.0, 10.0},
    {"FluctuatingEFG", make_subspec<FluctuatingEFG>, fluctuating_efg, {1.1, 0.8, 0.3, 0.6, 0.0, 0.2}, 4, 6, -4.0,
     4.0},
    {"FluctuatingMMF", make_subspec<FluctuatingMMF>, fluctuating_mmf, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.0, 0.2}, 6,
     8, -10.0, 10.0},
};

// The largest difference over the grid relative to the largest value of the truth.
double relative_error(const std::vector<double>& got, const std::function<double(double)>& truth, const DVector& x)
{
    double scale = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = truth(x(i));
        scale = std::max(scale, std::fabs(t));
        worst = std::max(worst, std::fabs(got[i] - t));
    }
    return worst / scale;
}

// ln(rate) over static, intermediate and fast, and population ratios from one-sided to
// reversed; the dense solve keeps 1e-9 while rate/width stays below about 1e5.
TEST(RelaxationModels, MatchTheStochasticLineShapeMatrixSolvedDensely)
{
    for (const ModelCase& c : cases)
        for (double log_rate : {-inf, 5.0, 16.0, 18.5, 19.5, 20.5, 22.0, 25.0})
            for (double ratio : {1.0, 0.25, 3.0, 0.0}) {
                std::vector<double> p = c.params;
                p[c.log_rate] = log_rate;
                if (c.ratio < p.size())
                    p[c.ratio] = ratio;
                else if (ratio != 1.0)
                    continue;
                const SubSpecPtr s = c.make(&iron());
                const DVector x = grid(c.x_min, c.x_max, 401);
                const StochasticModel m = c.describe(p);
                const double error = relative_error(values_of(*s, x, vec(p)), [&](double v) { return m.value(v); }, x);
                EXPECT_LT(error, 1e-9) << c.name << " ln rate " << log_rate << " ratio " << ratio;
            }
}

// Where the rates dwarf the spread the model is the narrowed Lorentzian of each line, up to
// and beyond the overflow of the rate's exponential; the narrowing is included while it
// still shows.
TEST(RelaxationModels, MatchTheMotionallyNarrowedFastLimit)
{
    for (const ModelCase& c : cases)
        for (double log_rate : {36.0, 45.0, 53.0, 60.0, 200.0, 700.0, 710.0, 1000.0, inf})
            for (double ratio : {1.0, 0.3, 0.0}) {
                std::vector<double> p = c.params;
                p[c.log_rate] = std::min(log_rate, 700.0);
                if (c.ratio < p.size())
                    p[c.ratio] = ratio;
                else if (ratio != 1.0)
                    continue;
                const StochasticModel m = c.describe(p);
                p[c.log_rate] = log_rate;
                const SubSpecPtr s = c.make(&iron());
                const DVector x = grid(c.x_min, c.x_max, 401);
                const double error =
                    relative_error(values_of(*s, x, vec(p)), [&](double v) { return m.fast_limit(v); }, x);
                EXPECT_LT(error, 1e-9) << c.name << " ln rate " << log_rate << " ratio " << ratio;
            }
}

// Below the underflow of the exponential and at −∞ the static spectrum, without NaN.
TEST(RelaxationModels, ReachTheStaticLimitWhereTheRateUnderflows)
{
    for (const ModelCase& c : cases)
        for (double log_rate : {-400.0, -800.0, -inf}) {
            std::vector<double> p = c.params;
            p[c.log_rate] = log_rate;
            const StochasticModel m = c.describe(p);
            const SubSpecPtr s = c.make(&iron());
            const DVector x = grid(c.x_min, c.x_max, 201);
            const double error =
                relative_error(values_of(*s, x, vec(p)), [&](double v) { return m.static_limit(v); }, x);
            EXPECT_LT(error, 1e-12) << c.name << " ln rate " << log_rate;
        }
}

// At the extremes of the rate the Jacobian stays finite, and its values are the limits'.
TEST(RelaxationModels, JacobianStaysFiniteAtExtremeRates)
{
    for (const ModelCase& c : cases)
        for (double log_rate : {-inf, -800.0, -300.0, 40.0, 400.0, 705.0, 800.0, inf}) {
            std::vector<double> p = c.params;
            p[c.log_rate] = log_rate;
            const SubSpecPtr s = c.make(&iron());
            const DVector x = grid(c.x_min, c.x_max, 101);
            std::vector<double> values(x.size());
            DMatrix jacobian(x.size(), p.size());
            s->evaluate_with_jacobian(all_of(x), all_of(vec(p)), values.data(), all_of(jacobian));
            const std::vector<double> plain = values_of(*s, x, vec(p));
            for (std::size_t i = 0; i < x.size(); ++i) {
                ASSERT_NEAR(values[i], plain[i], 1e-12 * std::fabs(plain[i]) + 1e-300) << c.name << ' ' << log_rate;
                for (std::size_t k = 0; k < p.size(); ++k)
                    ASSERT_TRUE(std::isfinite(jacobian(i, k))) << c.name << ' ' << log_rate << " column " << k;
            }
        }
}

// ∫ value dv = I for every rate: v = s·tan θ maps the whole axis to a smooth integrand.
double area_of(const ISubSpec& s, const std::vector<double>& p, double centre)
{
    const std::size_t n = 40000;
    const double scale = 5.0, h = std::numbers::pi / n;
    DVector x(n - 1);
    std::vector<double> jacobian(n - 1);
    for (std::size_t i = 1; i < n; ++i) {
        const double theta = -0.5 * std::numbers::pi + i * h;
        x(i - 1) = centre + scale * std::tan(theta);
        jacobian[i - 1] = scale / (std::cos(theta) * std::cos(theta));
    }
    const std::vector<double> y = values_of(s, x, vec(p));
    double sum = 0.0;
    for (std::size_t i = 0; i < y.size(); ++i)
        sum += y[i] * jacobian[i] * h;
    return sum;
}

TEST(RelaxationModels, AreaIsIAtEveryRate)
{
    for (const ModelCase& c : cases)
        for (double log_rate : {-inf, 17.0, 19.5, 22.0, 60.0})
            for (double ratio : {1.0, 0.2}) {
                std::vector<double> p = c.params;
                p[c.log_rate] = log_rate;
                if (c.ratio < p.size())
                    p[c.ratio] = ratio;
                const SubSpecPtr s = c.make(&iron());
                EXPECT_NEAR(area_of(*s, p, 0.1), p[0], 1e-6 * p[0]) << c.name << ' ' << log_rate << ' ' << ratio;
            }
}

TEST(RelaxationModels, TwoStateSextetWithReversedFieldIsTheMagneticRelaxation)
{
    const SubSpecPtr two_state = make_subspec<TwoStateRelaxSextet>(&iron());
    const SubSpecPtr magnetic = make_subspec<RelaxSextet>(&iron());
    const DVector x = grid(-10.0, 10.0, 301);
    for (double log_rate : {10.0, 19.0, 21.0, 40.0})
        for (double ratio : {1.0, 0.4}) {
            const std::vector<double> a = values_of(
                *two_state, x, vec({1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.1, 0.05, -330.0, log_rate, ratio, 0.2}));
            const std::vector<double> b =
                values_of(*magnetic, x, vec({1.1, 0.7, 0.4, 0.1, 0.05, 330.0, log_rate, ratio, 0.2}));
            for (std::size_t i = 0; i < x.size(); ++i)
                EXPECT_NEAR(a[i], b[i], 1e-13 * std::fabs(b[i])) << log_rate;
        }
}

// With p = 0 only the level of field −H is populated and nothing leaves it: a plain
// sextet whatever the rate.
TEST(RelaxationModels, SpinRelaxationWithOnlyTheLowestLevelIsAStaticSextet)
{
    const SubSpecPtr s = make_subspec<SpinRelaxSextet>(&iron());
    const DVector x = grid(-10.0, 10.0, 301);
    for (double log_rate : {0.0, 20.0, 60.0}) {
        const std::vector<double> p = {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, log_rate, 0.0, 0.2, 5.0, 8.0, 9.0};
        StochasticModel m = spin_relax_sextet(p);
        m.rate.assign(6, std::vector<double>(6, 0.0));
        const double error = relative_error(values_of(*s, x, vec(p)), [&](double v) { return m.static_limit(v); }, x);
        EXPECT_LT(error, 1e-12) << log_rate;
    }
}

// The closed form against the two-row solve of the line-shape matrix, and the slow case
// of τ = 10⁶, D = 0.2 against the static lines, which holds to 1e-5 from widths of about
// 0.03 mm/s on (below, the remaining exchange broadening is larger than that).
TEST(TwoStateLine, EqualsTheTwoRowSolveAndTheSlowLimit)
{
    using C = std::complex<double>;
    const double h = 0.7, centre = 0.2, w = 0.15;
    for (double tau : {0.0, 0.01, 0.3, 1.0, 4.0, 1e3})
        for (double d : {-1.0, -0.3, 0.0, 0.6}) {
            const RateScale<double> scale =
                tau <= 1.0 ? RateScale<double>{tau, 1.0} : RateScale<double>{1.0, 1.0 / tau};
            const double total = tau > 0.0 ? 1.0 / tau : 1e300;
            const double pa = 0.5 * (1.0 + d), pb = 0.5 * (1.0 - d);
            for (double v : {-2.0, -0.5, 0.2, 0.9, 3.0}) {
                // Row A loses pb·total to B, row B pa·total to A (rates out of each state).
                const double lower[2] = {0.0, pa * total}, upper[2] = {pb * total, 0.0};
                const C own[2] = {C(-w, centre + h), C(-w, centre - h)};
                C x[2], factor[2];
                solve_rate_chain(2u, C(0.0, -v), lower, own, upper, x, factor);
                const double solved = -(pa * x[0].real() + pb * x[1].real());
                EXPECT_NEAR(TwoStateLine<double>(h, centre, w, scale, d)(v) / w, solved, 1e-12 * std::fabs(solved))
                    << tau << ' ' << d << ' ' << v;
            }
        }
    for (double width : {0.03, 0.1, 0.5}) {
        const double ea = 1.0, eb = -0.5;
        for (double v = -3.0; v <= 3.0; v += 0.05) {
            const auto lorentz = [&](double e) { return width * width / ((v - e) * (v - e) + width * width); };
            const double t =
                TwoStateLine<double>(0.5 * (ea - eb), 0.5 * (ea + eb), width, RateScale<double>{1.0, 1e-6}, 0.2)(v);
            EXPECT_NEAR(t, 0.6 * lorentz(ea) + 0.4 * lorentz(eb), 1e-5) << width << ' ' << v;
        }
    }
}

}  // namespace
