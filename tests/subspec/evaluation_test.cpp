// Evaluation of every model type, values and Jacobian: the Jacobian against central
// differences of the values, evaluate against the value part of
// evaluate_with_jacobian (equal to rounding), the block's place in a larger matrix, bounded stack use for
// large point counts, concurrent evaluation of one object, and formula exceptions
// passed to the caller. A new model type joins with one line in `model_cases`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "lineshapes/doublets.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/density_wave.h"
#include "relaxation/fluctuating_fields.h"
#include "relaxation/many_state_relaxation.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_models.h"
#include "subspec/baseline.h"
#include "subspec/free_var.h"
#include "subspec/subspec_impl.h"
#include "test_models.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/small_stack.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_models;
using namespace test_support;
namespace ublas = boost::numeric::ublas;

struct ModelCase {
    const char* name;
    SubSpecPtr (*make)(const Isotope*);
    std::vector<double> params;  // away from kinks and bounds, so differences are smooth
    double x_min, x_max;         // velocity grid (mm/s)
    std::size_t large_count = 200000;  // points of the large-range test
    const wchar_t* model_data = nullptr;  // loaded instead of a new component's defaults
    // The column whose derivative is by design a one-sided difference quotient of step
    // 0.001 (the elliptic parameter of the spin-modulation models): held to 1e-3.
    int quotient_column = -1;
};

void PrintTo(const ModelCase& c, std::ostream* os)
{
    *os << c.name;
}

const ModelCase model_cases[] = {
    {"BaseLine", make_subspec<BaseLine>, {1.0e5, 0.01, 0.3}, -8.0, 8.0},
    {"FreeVar", make_subspec<FreeVar>, {2.5}, -8.0, 8.0},
    {"AutoBaseLine", make_subspec<AutoBaseLine>, {120.0, 0.02, -0.4}, -8.0, 8.0},
    {"AutoBaseLine2", make_subspec<AutoBaseLine2>, {0.3, 2.0, 0.5}, -8.0, 8.0},
    {"TestLorentz", make_subspec<TestLorentz>, {1.2, 0.2, 0.35}, -2.0, 2.0},
    {"TestSextet", make_subspec<TestSextet>, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.1, 0.9, 0.2}, -10.0, 10.0},
    {"TestSampledLine", make_subspec<TestSampledLine>, {1.0, 0.1, 0.8, 0.3, 0.4, 0.1, 0.0}, -2.0, 2.0, 20000},
    {"LorenzLine", make_subspec<LorenzLine>, {1.2, 0.2, 0.35}, -2.0, 2.0},
    {"PseudoVoigtLine", make_subspec<PseudoVoigtLine>, {1.2, 0.2, 0.35, 0.3}, -2.0, 2.0},
    {"VoigtLine", make_subspec<VoigtLine>, {1.2, 0.2, 0.25, 0.3}, -2.0, 2.0},
    {"PseudoVoigtDoublet", make_subspec<PseudoVoigtDoublet>, {1.1, 0.8, 0.3, 0.6, 0.3, 1.2, 0.4}, -3.0, 3.0},
    {"VoigtDoublet", make_subspec<VoigtDoublet>, {1.1, 0.8, 0.3, 0.6, 0.2, 0.25, 1.3}, -3.0, 3.0},
    {"SimplePseudoVoigtSextet", make_subspec<SimplePseudoVoigtSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, 1.1, 0.9, 0.2}, -10.0, 10.0},
    {"SimpleVoigtSextet", make_subspec<SimpleVoigtSextet>, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.2, 0.25, 1.1, 0.9},
     -10.0, 10.0},
    {"PseudoVoigtSextet", make_subspec<PseudoVoigtSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.03, -0.02, 0.3, 1.1, 0.9, 1.05, 0.95, 1.1, 0.2}, -10.0, 10.0},
    {"Hamilton", make_subspec<Hamilton>, {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3}, -10.0, 10.0},
    {"Hamilton8", make_subspec<Hamilton8>,
     {1.1, 30.0, 0.15, 0.9, 210.0, 35.0, 20.0, 0.4, 0.21, 0.23, 0.25, 0.27, 0.29, 0.31, 0.33, 0.35, 0.3}, -10.0, 10.0},
    // The relaxation models at an intermediate rate (ln of 2e8 1/s, about 3 mm/s for 57Fe),
    // at a fast and at a slow one, and asymmetric populations.
    {"RelaxDoublet", make_subspec<RelaxDoublet>, {1.1, 0.8, 0.3, 0.6, -0.2, 1.1, 19.1, 0.7, 0.3}, -4.0, 4.0},
    {"RelaxDoubletSlow", make_subspec<RelaxDoublet>, {0.5, 1.0, 0.3, 0.9, -0.3, 0.4, 17.8, 1.0, 0.25}, -4.0, 4.0},
    {"RelaxDoubletFast", make_subspec<RelaxDoublet>, {1.1, 0.8, 0.3, 0.6, -0.2, 1.1, 24.0, 0.7, 0.3}, -4.0, 4.0},
    {"RelaxSextet", make_subspec<RelaxSextet>, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 19.8, 1.3, 0.3}, -10.0, 10.0},
    {"RelaxSextetSlow", make_subspec<RelaxSextet>, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 15.0, 0.6, 0.3}, -10.0, 10.0},
    {"TwoStateRelaxSextet", make_subspec<TwoStateRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 0.3, -0.1, 250.0, 19.5, 0.8, 0.3}, -10.0, 10.0},
    {"SpinRelaxSextet", make_subspec<SpinRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 17.5, 0.6, 0.3, 5.5, 7.5, 9.5}, -10.0, 10.0},
    {"SpinRelaxSextetFast", make_subspec<SpinRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 22.0, 0.6, 0.3, 5.5, 7.5, 9.5}, -10.0, 10.0},
    // Far above the spread: the narrowed pole found anew from the chain's last pivot.
    {"SpinRelaxSextetNarrowed", make_subspec<SpinRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 30.0, 0.6, 0.3, 5.5, 7.5, 9.5}, -10.0, 10.0},
    // Far in the fast limit, where the chain is solved directly and squared rates would
    // leave the range of doubles: below the held rate and beyond it.
    {"SpinRelaxSextetFastLimit", make_subspec<SpinRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 400.0, 0.6, 0.3, 5.5, 7.5, 9.5}, -10.0, 10.0},
    {"SpinRelaxSextetHeldRate", make_subspec<SpinRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 500.0, 0.6, 0.3, 5.5, 7.5, 9.5}, -10.0, 10.0},
    {"FluctuatingEFG", make_subspec<FluctuatingEFG>, {1.1, 0.8, 0.3, 0.6, 19.0, 0.3}, -3.0, 3.0},
    {"FluctuatingEFGFast", make_subspec<FluctuatingEFG>, {1.1, 0.8, 0.3, 0.6, 22.0, 0.3}, -3.0, 3.0},
    {"FluctuatingMMF", make_subspec<FluctuatingMMF>, {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 20.0, 0.3}, -10.0, 10.0},
    {"ManyStateRelaxSextet", make_subspec<ManyStateRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 20.5, 0.6, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000},
    // α and h where the weight comparison of the links changes sides along the chain.
    {"ManyStateSPRelaxSextet", make_subspec<ManyStateSPRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 20.5, 3.5, -1.2, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000},
    // Where the many-state recipes could fail quietly: p near 0, rates far beyond the
    // widths, weights exp(α) beyond the double range, a barrier across 101 levels.
    {"ManyStateRelaxSextetSlowEdge", make_subspec<ManyStateRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 17.0, 0.02, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000, L"0|Levels (2S+1)|11"},
    {"ManyStateRelaxSextetFast", make_subspec<ManyStateRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 45.0, 0.6, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000, L"0|Levels (2S+1)|6"},
    {"ManyStateSPRelaxSextetFast", make_subspec<ManyStateSPRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 40.0, 4.0, -0.3, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000, L"0|Levels (2S+1)|11"},
    {"ManyStateSPRelaxSextetHugeAnisotropy", make_subspec<ManyStateSPRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 30.0, 700.0, 5.0, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000, L"0|Levels (2S+1)|2"},
    {"ManyStateSPRelaxSextetBarrier", make_subspec<ManyStateSPRelaxSextet>,
     {1.1, 0.7, 0.4, 0.1, 0.05, 330.0, 21.0, 900.0, 2.0, 0.3, 1.1, 0.9}, -10.0, 10.0, 5000},
    {"AnharmonicSpinModulation", make_subspec<AnharmonicSpinModulation>,
     {1.1, 0.7, 0.4, 0.1, 0.05, -0.12, 0.6, 300.0, 35.0, 0.35, 0.3, 1.1, 0.9, 0.2}, -10.0, 10.0, 20000, nullptr, 9},
    {"AnharmonicSpinModulationAnisotropic", make_subspec<AnharmonicSpinModulationAnisotropic>,
     {1.1, 0.7, 0.4, 0.1, 0.2, 0.5, 1.2, 0.3, 30.0, 50.0, -20.0, 250.0, 290.0, 330.0, -0.7, 15.0, 0.3, 1.1, 0.9, 0.2},
     -10.0, 10.0, 20000, nullptr, 14},
    {"AnharmonicSpinModulationHamilton", make_subspec<AnharmonicSpinModulationHamilton>,
     {1.1, 40.0, 0.1, 0.8, 25.0, 0.3, 300.0, -30.0, 0.6, 0.28, 0.2}, -10.0, 10.0, 20000, nullptr, 8},
    {"NMR_AnharmonicSpinModulation", make_subspec<NMR_AnharmonicSpinModulation>,
     {1.5, 70.0, 12.0, -0.3, 0.8, 0.5, 0.4}, 50.0, 90.0, 20000, nullptr, 3},
    {"Spiral_Spin_Sextet", make_subspec<Spiral_Spin_Sextet>,
     {1.1, 0.7, 0.4, 0.1, 0.3, 0.5, 40.0, 60.0, 0.3, 1.1, 0.9, 0.2, 25.0, 0.8, 300.0, -30.0, 15.0, 0.0, 5.0, 0.0, 0.0,
      2.0},
     -10.0, 10.0, 20000},
    {"Spiral_Spin_Hamilton", make_subspec<Spiral_Spin_Hamilton>,
     {1.1, 40.0, 0.1, 0.8, 40.0, 60.0, 0.3, 0.2, 25.0, 0.8, 300.0, -30.0, 15.0, 0.0, 5.0, 0.0, 0.0, 2.0}, -10.0, 10.0,
     20000},
    {"NMR_Spiral_Spin", make_subspec<NMR_Spiral_Spin>,
     {1.5, 5.0, 8.0, 0.8, 0.5, 0.4, 25.0, 0.8, 70.0, -6.0, 3.0, 0.0, 1.0, 0.0, 0.0, 0.5}, 40.0, 110.0, 20000},
    // H₀ above the harmonics' sum keeps the field's sign, away from the kink of |H|; a
    // small field keeps the difference step of δ/H and ε/H small against the widths.
    {"SDW_CDW_Sextet", make_subspec<SDW_CDW_Sextet>,
     {1.1, 0.7, 0.4, 0.1, 0.001, 0.05, 0.0005, 30.0, 0.8, 0.2, 20.0, -5.0, 3.0, 0.0, 1.0, 0.0, 0.0, 2.0, 25.0, 0.1,
      0.05, 0.0, 0.02},
     -12.0, 12.0, 20000},
};

// A new component as the document would hold it: the stored level of an automatic
// baseline and the model data of a new component set.
SubSpecPtr make_component(const ModelCase& c)
{
    SubSpecPtr s = c.make(&iron());
    if (auto* automatic = dynamic_cast<IAutoBaseLine*>(s.get()))
        automatic->set_level(5000.0);
    if (auto* data = dynamic_cast<ISubSpecData*>(s.get())) {
        if (c.model_data)
            data->load_extra(c.model_data);
        else
            data->set_defaults(L"");
    }
    return s;
}

// Bitwise equal, NaN equal to NaN.
bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// Equal to rounding: a value computed on dual numbers, whose quotients multiply by the
// reciprocal, against the same formula on doubles.
bool close(double a, double b)
{
    return same(a, b) || std::fabs(a - b) <= 1e-13 * std::max(std::fabs(a), std::fabs(b));
}

class EvaluationTest : public testing::TestWithParam<ModelCase> {};

TEST_P(EvaluationTest, JacobianMatchesCentralDifferencesAndValuesMatchEvaluate)
{
    const ModelCase& c = GetParam();
    const SubSpecPtr s = make_component(c);
    const unsigned n = s->param_count();
    ASSERT_EQ(n, c.params.size());
    const DVector x = grid(c.x_min, c.x_max, 150);  // three sub-blocks, the last one partial
    const DVector p = vec(c.params);

    std::vector<double> values(x.size());
    DMatrix jacobian(x.size(), n);
    s->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(jacobian));
    const std::vector<double> plain = values_of(*s, x, p);
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_TRUE(close(values[i], plain[i])) << "point " << i << ": " << values[i] << " " << plain[i];

    for (unsigned k = 0; k < n; ++k) {
        SCOPED_TRACE(k);
        const double h = 1e-5 * std::max(1.0, std::fabs(p(k)));
        DVector up = p, down = p;
        up(k) += h;
        down(k) -= h;
        const std::vector<double> f_up = values_of(*s, x, up), f_down = values_of(*s, x, down);
        double scale = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i)
            scale = std::max(scale, std::fabs(jacobian(i, k)));
        const double tolerance = static_cast<int>(k) == c.quotient_column ? 1e-3 : 1e-6;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double difference = (f_up[i] - f_down[i]) / (up(k) - down(k));
            ASSERT_NEAR(jacobian(i, k), difference, tolerance * (scale + std::fabs(plain[i]))) << "point " << i;
        }
    }
}

TEST_P(EvaluationTest, JacobianBlockLandsInPlaceAndTouchesNothingElse)
{
    const ModelCase& c = GetParam();
    const SubSpecPtr s = make_component(c);
    const unsigned n = s->param_count();
    const DVector x = grid(c.x_min, c.x_max, 70);
    const DVector p = vec(c.params);
    DMatrix alone(x.size(), n);
    std::vector<double> values(x.size());
    s->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(alone));

    // Points 10..59 into rows 3.. and columns 2.. of a larger matrix.
    constexpr double sentinel = -7.25;
    DMatrix big(60, n + 5);
    std::fill(big.data().begin(), big.data().end(), sentinel);
    std::vector<double> part(52, sentinel);
    s->evaluate_with_jacobian(XPoints(x, ublas::range(10, 60)), all_of(p), part.data() + 1,
                              JacobianRange(big, ublas::range(3, 53), ublas::range(2, 2 + n)));
    EXPECT_EQ(part.front(), sentinel);
    EXPECT_EQ(part.back(), sentinel);
    for (std::size_t r = 0; r < big.size1(); ++r) {
        for (std::size_t col = 0; col < big.size2(); ++col) {
            const bool inside = r >= 3 && r < 53 && col >= 2 && col < 2 + n;
            if (inside)
                ASSERT_TRUE(same(big(r, col), alone(r - 3 + 10, col - 2))) << r << ", " << col;
            else
                ASSERT_EQ(big(r, col), sentinel) << r << ", " << col;
        }
    }
    for (std::size_t i = 0; i < 50; ++i)
        ASSERT_TRUE(same(part[i + 1], values[i + 10]));
}

TEST_P(EvaluationTest, EmptyRangeWritesNothing)
{
    const ModelCase& c = GetParam();
    const SubSpecPtr s = make_component(c);
    const DVector x = grid(c.x_min, c.x_max, 5);
    const DVector p = vec(c.params);
    DMatrix jacobian(2, s->param_count());
    std::fill(jacobian.data().begin(), jacobian.data().end(), 3.0);
    double value = 3.0;
    s->evaluate(XPoints(x, ublas::range(2, 2)), all_of(p), &value);
    s->evaluate_with_jacobian(XPoints(x, ublas::range(2, 2)), all_of(p), &value,
                              JacobianRange(jacobian, ublas::range(1, 1), ublas::range(0, s->param_count())));
    EXPECT_EQ(value, 3.0);
    EXPECT_TRUE(std::all_of(jacobian.data().begin(), jacobian.data().end(), [](double v) { return v == 3.0; }));
}

TEST_P(EvaluationTest, LargeRangeRunsOnASmallStack)
{
    const ModelCase& c = GetParam();
    const SubSpecPtr s = make_component(c);
    const unsigned n = s->param_count();
    const std::size_t count = c.large_count;
    const DVector x = grid(c.x_min, c.x_max, count);
    const DVector p = vec(c.params);
    std::vector<double> values(count);
    DMatrix jacobian(count, n);
    run_on_small_stack([&] {
        s->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(jacobian));
    });
    const std::vector<double> plain = values_of(*s, x, p);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_TRUE(close(values[i], plain[i])) << "point " << i;
}

TEST_P(EvaluationTest, ConcurrentEvaluationOfOneObjectEqualsSerial)
{
    const ModelCase& c = GetParam();
    const SubSpecPtr s = make_component(c);
    const unsigned n = s->param_count();
    const std::size_t count = 1000;
    const DVector x = grid(c.x_min, c.x_max, count);
    const DVector p = vec(c.params);

    std::vector<double> serial_values(count), serial_plain = values_of(*s, x, p);
    DMatrix serial_jacobian(count, n);
    s->evaluate_with_jacobian(all_of(x), all_of(p), serial_values.data(), all_of(serial_jacobian));

    // The model core's way: 16 blocks of points, here on 8 threads at once, each block
    // evaluated with and without derivatives, repeated so that calls overlap.
    for (int round = 0; round < 4; ++round) {
        std::vector<double> values(count), plain(count);
        DMatrix jacobian(count, n);
        const std::size_t b = count / 16;
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&, t] {
                for (int block = t; block < 16; block += 8) {
                    const std::size_t first = block * b, last = block == 15 ? count : first + b;
                    const XPoints xs(x, ublas::range(first, last));
                    s->evaluate(xs, all_of(p), plain.data() + first);
                    s->evaluate_with_jacobian(xs, all_of(p), values.data() + first,
                                              JacobianRange(jacobian, ublas::range(first, last), ublas::range(0, n)));
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_TRUE(same(plain[i], serial_plain[i])) << "point " << i << ": " << plain[i] << " " << serial_plain[i];
            ASSERT_TRUE(same(values[i], serial_values[i])) << "point " << i << ": " << values[i] << " " << serial_values[i];
            for (unsigned k = 0; k < n; ++k)
                ASSERT_TRUE(same(jacobian(i, k), serial_jacobian(i, k)))
                    << "point " << i << ", column " << k << ": " << jacobian(i, k) << " " << serial_jacobian(i, k);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, EvaluationTest, testing::ValuesIn(model_cases),
                         [](const testing::TestParamInfo<ModelCase>& info) { return std::string(info.param.name); });

// A library domain error inside a formula reaches the caller with its own type and
// text, with and without derivatives and on a worker thread, also when only the last
// sub-block of points holds a failing velocity.
TEST(EvaluationFailure, FormulaExceptionReachesTheCaller)
{
    const SubSpecPtr s = make_subspec<TestThrowing>(nullptr);
    const std::size_t count = 256;  // four sub-blocks of 64
    const DVector x = grid(0.0, 2.0, count);
    DVector p(1);
    p(0) = 0.7;  // |k·x| > 1 from x = 1/0.7 on: the last two sub-blocks hold such points

    std::vector<double> values(count);
    DMatrix jacobian(count, 1);
    auto expect_domain_error = [](auto&& evaluate) {
        try {
            evaluate();
            ADD_FAILURE() << "no exception";
        } catch (const std::domain_error& e) {
            EXPECT_NE(std::string(e.what()).find("requires |k| <= 1"), std::string::npos) << e.what();
        } catch (...) {
            ADD_FAILURE() << "another exception";
        }
    };
    std::thread worker([&] {
        expect_domain_error([&] { s->evaluate(all_of(x), all_of(p), values.data()); });
        expect_domain_error(
            [&] { s->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(jacobian)); });
        DVector last_fails(130);  // velocities below 1 but the last two
        for (std::size_t i = 0; i < last_fails.size(); ++i)
            last_fails(i) = i < 128 ? 0.005 * double(i) : 2.0;
        DMatrix j(last_fails.size(), 1);
        expect_domain_error(
            [&] { s->evaluate_with_jacobian(all_of(last_fails), all_of(p), values.data(), all_of(j)); });
    });
    worker.join();

    // Where no velocity fails, the values are the formula's.
    const DVector fine = grid(0.0, 1.0, 100);
    s->evaluate(all_of(fine), all_of(p), values.data());
    EXPECT_DOUBLE_EQ(values[0], 0.7 * boost::math::ellint_1(0.0));
}

}  // namespace
