// The many-state relaxation sextets against first principles: the stochastic line-shape
// matrix of the level chain (rates from the spin-raising matrix elements and detailed
// balance, populations from the Boltzmann factors) solved point by point in quadruple
// precision, and the analytic fast limit where the rates leave every finite precision
// behind; then the limits and equivalences the two models must meet.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "relaxation/many_state_relaxation.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_models.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/level_chain_reference.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/small_stack.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;

constexpr double inf = std::numeric_limits<double>::infinity();

// Parameters shared by the two models: I, I₂/I₁, I₃/I₁, δ, ε, H, ln(R), then the
// population parameters, then Γ₁, Γ₂/Γ₁, Γ₃/Γ₁.
struct Sextet {
    double area = 1.3, ratio2 = 0.7, ratio3 = 0.4, shift = 0.15, quadrupole = -0.05, field = 330.0;
    double width = 0.3, width2 = 1.2, width3 = 0.9;
};

// The six transitions' magnetic quantum numbers (excited, ground) in line order: the
// line moves by (m_e·g_ex − m_g·g_gr)·μ per kOe of the level's field.
constexpr long double m_excited[6] = {-1.5, -0.5, 0.5, -0.5, 0.5, 1.5};
constexpr long double m_ground[6] = {-0.5, -0.5, -0.5, 0.5, 0.5, 0.5};

SextetLines lines_of(const Sextet& s)
{
    const Isotope& fe = iron();
    SextetLines lines{};
    const long double a[6] = {1, s.ratio2, s.ratio3, s.ratio3, s.ratio2, 1};
    const long double w[6] = {s.width, s.width * s.width2, s.width * s.width3, s.width * s.width3,
                              s.width * s.width2, s.width};
    for (int j = 0; j < 6; ++j) {
        lines.centre[j] = j == 0 || j == 5 ? s.shift + s.quadrupole : s.shift - s.quadrupole;
        lines.splitting[j] = (m_excited[j] * fe.g_ex - m_ground[j] * fe.g_gr) * fe.KN * s.field;
        lines.width[j] = w[j];
        lines.factor[j] = -s.area * a[j] / (2 * 3.14159265358979323846L * (1 + s.ratio2 + s.ratio3));
    }
    return lines;
}

// Level i holds m = S − i; the link to level i + 1 has the squared raising element
// S(S+1) − m(m−1) times the rate R in mm/s.
ChainModel spin_chain(int n, double log_rate)
{
    ChainModel c;
    const long double s = (n - 1) / 2.0L;
    const long double rate = std::exp(static_cast<long double>(log_rate)) / iron().L;
    for (int i = 0; i < n; ++i)
        c.fraction.push_back((s - i) / s);
    for (int i = 0; i + 1 < n; ++i) {
        const long double m = s - i;
        c.up.push_back(rate * (s * (s + 1) - m * (m - 1)));
    }
    return c;
}

// Boltzmann factor p between neighbours, level m = −S the most populated for p < 1:
// detailed balance makes the downward rate p times the upward one.
ChainModel geometric_chain(int n, double log_rate, double p)
{
    ChainModel c = spin_chain(n, log_rate);
    for (int i = 0; i < n; ++i)
        c.population.push_back(std::pow(static_cast<long double>(p), n - 1 - i));
    for (long double up : c.up)
        c.down.push_back(up * p);
    return c;
}

// Populations exp(α·x² + h·x) of a particle with anisotropy α and field term h; each
// link keeps its full rate out of the less populated level (Metropolis).
ChainModel superparamagnetic_chain(int n, double log_rate, double alpha, double h)
{
    ChainModel c = spin_chain(n, log_rate);
    std::vector<long double> energy;
    long double top = -INFINITY;
    for (long double x : c.fraction) {
        energy.push_back(alpha * x * x + h * x);
        top = std::max(top, energy.back());
    }
    for (long double e : energy)
        c.population.push_back(std::exp(e - top));
    for (int i = 0; i + 1 < n; ++i) {
        const long double full = c.up[i], difference = energy[i + 1] - energy[i];
        c.up[i] = full * std::min(1.0L, std::exp(difference));
        c.down.push_back(full * std::min(1.0L, std::exp(-difference)));
    }
    return c;
}

SubSpecPtr many_state(bool superparamagnetic, int levels)
{
    SubSpecPtr s = superparamagnetic ? make_subspec<ManyStateSPRelaxSextet>(&iron())
                                     : make_subspec<ManyStateRelaxSextet>(&iron());
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|Levels (2S+1)|" + std::to_wstring(levels));
    return s;
}

DVector params_of(const Sextet& s, double log_rate, std::vector<double> population)
{
    std::vector<double> p{s.area, s.ratio2, s.ratio3, s.shift, s.quadrupole, s.field, log_rate};
    p.insert(p.end(), population.begin(), population.end());
    p.insert(p.end(), {s.width, s.width2, s.width3});
    return vec(p);
}

// Velocities over the whole sextet, on and between the lines and in the far wings.
DVector velocities()
{
    return vec({-25.0, -9.0, -5.31, -5.0, -3.1, -0.8, 0.0, 0.17, 0.9, 3.3, 5.2, 5.4, 8.0, 30.0});
}

// Every point within `tolerance` relative to the reference value.
void expect_spectrum(const ISubSpec& model, const DVector& p, const ChainModel& chain, bool fast, double tolerance)
{
    const Sextet s;
    const DVector x = velocities();
    const std::vector<double> y = values_of(model, x, p);
    const SextetLines lines = lines_of(s);
    for (std::size_t k = 0; k < x.size(); ++k) {
        const long double truth = fast ? chain_fast_limit(chain, lines, x(k)) : chain_spectrum(chain, lines, x(k));
        EXPECT_NEAR(y[k], static_cast<double>(truth), tolerance * std::fabs(static_cast<double>(truth)))
            << "v = " << x(k);
    }
}

// Rates from the static limit through motional narrowing to far beyond the line widths
// (the quadruple-precision solve follows them to about e^60 /s).
const double solved_rates[] = {-inf, 8.0, 16.0, 18.0, 19.5, 21.0, 23.0, 26.0, 30.0, 35.0, 42.0, 50.0, 58.0};
// Rates where only the analytic limit can follow, up to an infinite one.
const double fast_rates[] = {70.0, 120.0, 300.0, 709.0, 800.0, 1e6, inf};
const int level_counts[] = {2, 3, 6, 11, 101};

TEST(ManyStateRelaxSextet, MatchesTheStochasticLineShapeMatrix)
{
    const Sextet s;
    for (int n : level_counts) {
        for (double p : {0.0, 0.3, 1.0}) {
            const SubSpecPtr model = many_state(false, n);
            for (double log_rate : solved_rates) {
                SCOPED_TRACE(testing::Message() << "n = " << n << ", p = " << p << ", ln(R) = " << log_rate);
                expect_spectrum(*model, params_of(s, log_rate, {p}), geometric_chain(n, log_rate, p), false, 1e-9);
            }
            for (double log_rate : fast_rates) {
                SCOPED_TRACE(testing::Message() << "n = " << n << ", p = " << p << ", ln(R) = " << log_rate);
                expect_spectrum(*model, params_of(s, log_rate, {p}), geometric_chain(n, log_rate, p), true, 1e-9);
            }
        }
    }
}

TEST(ManyStateSPRelaxSextet, MatchesTheStochasticLineShapeMatrix)
{
    const Sextet s;
    struct Populations {
        double alpha, h;
    };
    // Up to barriers and fields far beyond where exp(α + |h|) overflows.
    const Populations cases[] = {{0.0, 0.0}, {3.0, 0.5}, {40.0, -2.0}, {700.0, 10.0}, {2000.0, 0.0}, {0.5, -800.0}};
    for (int n : level_counts) {
        const SubSpecPtr model = many_state(true, n);
        for (const Populations& c : cases) {
            for (double log_rate : solved_rates) {
                SCOPED_TRACE(testing::Message() << "n = " << n << ", α = " << c.alpha << ", h = " << c.h
                                                << ", ln(R) = " << log_rate);
                expect_spectrum(*model, params_of(s, log_rate, {c.alpha, c.h}),
                                superparamagnetic_chain(n, log_rate, c.alpha, c.h), false, 1e-9);
            }
            // The fast limit is reached where the least populated level lies less than
            // about e^250 below the most populated, or where one level holds all the
            // population; beyond, the model stays at a rate of about e^330 /s.
            const ChainModel chain = superparamagnetic_chain(n, 0.0, c.alpha, c.h);
            const long double barrier = -std::log(*std::min_element(chain.population.begin(), chain.population.end()));
            if (barrier > 250 && c.h > -100)
                continue;
            for (double log_rate : fast_rates) {
                SCOPED_TRACE(testing::Message() << "n = " << n << ", α = " << c.alpha << ", h = " << c.h
                                                << ", ln(R) = " << log_rate);
                expect_spectrum(*model, params_of(s, log_rate, {c.alpha, c.h}),
                                superparamagnetic_chain(n, log_rate, c.alpha, c.h), true, 1e-9);
            }
        }
    }
}

// Equal populations: the superparamagnetic chain with α = h = 0 is the spin chain with
// p = 1, the same couplings both ways.
TEST(ManyStateRelaxation, UnpolarisedParticleIsTheSpinChainWithEqualPopulations)
{
    const Sextet s;
    const DVector x = velocities();
    for (int n : {2, 6, 101}) {
        for (double log_rate : {-inf, 18.0, 22.0, 40.0, inf}) {
            SCOPED_TRACE(testing::Message() << "n = " << n << ", ln(R) = " << log_rate);
            const std::vector<double> spin = values_of(*many_state(false, n), x, params_of(s, log_rate, {1.0}));
            const std::vector<double> particle =
                values_of(*many_state(true, n), x, params_of(s, log_rate, {0.0, 0.0}));
            for (std::size_t k = 0; k < x.size(); ++k)
                EXPECT_NEAR(particle[k], spin[k], 1e-13 * std::fabs(spin[k]));
        }
    }
}

// Where the models coincide: two levels are the two-state sextet with fields ±H and the
// population ratio p; six levels with the single-ion rates a₁₂ = 5, a₂₃ = 8, a₃₄ = 9
// (the raising elements of S = 5/2) are the single-ion sextet with one width. The rates
// run through the range where a plain chain solve cancels and a dense solve in double
// no longer serves as the truth, so that both models meet the quadruple-precision
// reference there through the chain.
TEST(ManyStateRelaxation, TwoAndSixLevelsAreTheTwoStateAndSingleIonModels)
{
    Sextet s;
    s.width2 = s.width3 = 1.0;
    const DVector x = velocities();
    for (double log_rate : {-inf, 17.0, 19.5, 22.0, 27.0, 30.0, 33.0, 36.0, 45.0, 60.0}) {
        for (double p : {0.0, 0.4, 1.0}) {
            SCOPED_TRACE(testing::Message() << "ln(R) = " << log_rate << ", p = " << p);
            const std::vector<double> two = values_of(*many_state(false, 2), x, params_of(s, log_rate, {p}));
            const std::vector<double> two_state =
                values_of(*make_subspec<TwoStateRelaxSextet>(&iron()), x,
                          vec({s.area, s.ratio2, s.ratio3, s.shift, s.quadrupole, s.field, s.shift, s.quadrupole,
                               -s.field, log_rate, p, s.width}));
            const std::vector<double> six = values_of(*many_state(false, 6), x, params_of(s, log_rate, {p}));
            const std::vector<double> single_ion =
                values_of(*make_subspec<SpinRelaxSextet>(&iron()), x,
                          vec({s.area, s.ratio2, s.ratio3, s.shift, s.quadrupole, s.field, log_rate, p, s.width, 5.0,
                               8.0, 9.0}));
            for (std::size_t k = 0; k < x.size(); ++k) {
                EXPECT_NEAR(two[k], two_state[k], 1e-10 * std::fabs(two_state[k])) << "v = " << x(k);
                EXPECT_NEAR(six[k], single_ion[k], 1e-12 * std::fabs(single_ion[k])) << "v = " << x(k);
            }
        }
    }
}

// Ten thousand levels on a worker thread's small stack, values and Jacobian, and at an
// infinite rate the one sextet of the averaged field.
TEST(ManyStateRelaxation, TenThousandLevelsOnASmallStack)
{
    const Sextet s;
    const DVector x = vec({-5.3, 0.2, 3.1});
    for (bool superparamagnetic : {false, true}) {
        const SubSpecPtr model = many_state(superparamagnetic, 10000);
        const std::vector<double> population =
            superparamagnetic ? std::vector<double>{50.0, 0.8} : std::vector<double>{0.9995};
        for (double log_rate : {24.0, inf}) {
            const DVector p = params_of(s, log_rate, population);
            DMatrix jacobian(x.size(), p.size());
            std::vector<double> values(x.size());
            run_on_small_stack(
                [&] { model->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(jacobian)); });
            const std::vector<double> plain = values_of(*model, x, p);
            for (std::size_t k = 0; k < x.size(); ++k) {
                EXPECT_NEAR(values[k], plain[k], 1e-12 * std::fabs(plain[k]));
                EXPECT_TRUE(std::isfinite(jacobian(k, 6)));
            }
            if (log_rate == inf) {
                const ChainModel chain = superparamagnetic
                                             ? superparamagnetic_chain(10000, log_rate, population[0], population[1])
                                             : geometric_chain(10000, log_rate, population[0]);
                for (std::size_t k = 0; k < x.size(); ++k)
                    EXPECT_NEAR(plain[k], static_cast<double>(chain_fast_limit(chain, lines_of(s), x(k))),
                                1e-9 * std::fabs(plain[k]));
            }
        }
    }
}

}  // namespace
