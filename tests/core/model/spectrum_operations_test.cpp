// Spectrum operations through the model: simulation, the difference to the model, the
// transforms, the deconvolution's codes and counts, and the model's levels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/model/expr.h"
#include "core/model/spectrum_model.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_file.h"
#include "tests/support/lorentz_lines.h"
#include "tests/support/model_test_parts.h"

namespace {

using namespace model_test;
using Values = std::vector<double>;

constexpr double level = 1e6;

TEST(SpectrumOperations, SimulateWithoutNoiseIsTheModel)
{
    const LineModel m;
    SpectrumData s;
    simulate(s, 101, -5.0, 5.0, false, m.model, m.values);
    ASSERT_EQ(s.x_data.size(), 101u);
    EXPECT_DOUBLE_EQ(s.x_data[0], -5.0);
    EXPECT_DOUBLE_EQ(s.x_data[100], 5.0);
    EXPECT_EQ(s.y_data, m.at(s.x_data));
    for (std::size_t i = 0; i < s.y_data.size(); ++i)
        EXPECT_DOUBLE_EQ(s.std_dev_data[i], std::sqrt(s.y_data[i]));
    EXPECT_TRUE(s.absorption.valid);
    ASSERT_EQ(s.absorption.lines.size(), 1u);
    EXPECT_NEAR(s.absorption.lines[0].x, 0.3, 0.1);
    double price = 0.0;
    ASSERT_TRUE(channel_price(s.keywords, price));
    EXPECT_NEAR(price, 0.1, 1e-6);
}

TEST(SpectrumOperations, SimulateWithNoiseScattersAboutTheModel)
{
    const LineModel m;
    SpectrumData s;
    random_engine().seed(3);
    simulate(s, 1024, -5.0, 5.0, true, m.model, m.values);
    const Values expected = m.at(s.x_data);
    double sum = 0.0, sum_sq = 0.0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(s.y_data[i], std::floor(s.y_data[i]));
        const double z = (s.y_data[i] - expected[i]) / std::sqrt(expected[i]);
        sum += z;
        sum_sq += z * z;
    }
    const double n = static_cast<double>(expected.size());
    EXPECT_NEAR(sum / n, 0.0, 5.0 / std::sqrt(n));
    EXPECT_NEAR(sum_sq / n, 1.0, 0.15);
}

TEST(SpectrumOperations, SubtractModelLeavesTheResidualOnTheLevel)
{
    const LineModel m;
    SpectrumData counts;
    simulate(counts, 64, -3.0, 3.0, false, m.model, m.values);
    const Values y = counts.y_data;
    const Values model = m.at(counts.x_data);
    subtract_model(counts, 5000.0, m.model, m.values);
    for (std::size_t i = 0; i < y.size(); ++i) {
        EXPECT_DOUBLE_EQ(counts.y_data[i], 5000.0 - model[i] + y[i]);
        EXPECT_DOUBLE_EQ(counts.std_dev_data[i], std::sqrt(counts.y_data[i]));
    }

    // Stored deviations stay: the model itself is exact.
    SpectrumData triples;
    triples.load_text(L"VelocitySpectrumStdDev:-1 999000 7 0 800000 8 1 999500 9\n");
    subtract_model(triples, 0.0, m.model, m.values);
    EXPECT_EQ(triples.std_dev_data, (Values{7, 8, 9}));
}

TEST(SpectrumOperations, TransformsCarryTheDeviationOfTheCounts)
{
    const SpectrumModel model;
    SpectrumData s;
    s.load_text(L"VelocitySpectrumStdDev:-1 100 3 0 80 4 2 90 5\n");
    Values y, sigma;

    const ExprPtr twice = Expr::create(L"$k*$I", model, {L"k", L"v", L"I"});
    ASSERT_TRUE(twice);
    transform_counts(*twice, {2.0}, s, y, sigma);
    EXPECT_EQ(y, (Values{200, 160, 180}));
    EXPECT_EQ(sigma, (Values{6, 8, 10}));

    const ExprPtr shifted = Expr::create(L"$I+$v", model, {L"v", L"I"});
    ASSERT_TRUE(shifted);
    transform_counts(*shifted, {}, s, y, sigma);
    EXPECT_EQ(y, (Values{99, 80, 92}));
    EXPECT_EQ(sigma, (Values{3, 4, 5}));

    const ExprPtr absorbance = Expr::create(L"ln($N0/$I)", model, {L"N0", L"v", L"I"});
    ASSERT_TRUE(absorbance);
    transform_counts(*absorbance, {100.0}, s, y, sigma);
    EXPECT_DOUBLE_EQ(y[1], std::log(100.0 / 80.0));
    EXPECT_DOUBLE_EQ(sigma[1], 4.0 / 80.0);
}

struct Deconvolution {
    SpectrumModel model = model_of({baseline(), lorentz(), SubSpecPtr(new model_test::LorentzLines(0.5))});
    DVector values;
    Values x;
    Values out;
    double largest_e = -1.0, width = -1.0;

    Deconvolution()
    {
        model.scale = -1e5;
        values = DVector(model.param_count());
        values(0) = level, values(1) = 0.0, values(2) = 0.0;
        values(3) = 1.0, values(4) = 0.0, values(5) = 0.3;
        values(6) = 1.0, values(7) = 0.2;
        for (int i = 0; i <= 40; ++i)
            x.push_back(-2.0 + 0.1 * i);
    }

    int run(double fs_chi, double source_width, double depth = 2e5)
    {
        return model.deconvolve_spectrum_values(values, fs_chi, source_width, depth, x, largest_e, width, out);
    }
};

TEST(Deconvolution, RejectsModelsWithoutABaselineAndLorentzLines)
{
    Deconvolution d;
    EXPECT_EQ(d.run(0.7, 0.2), 0);

    Deconvolution lone;
    lone.model = model_of({baseline()});
    lone.values.resize(3, true);
    EXPECT_EQ(lone.run(0.7, 0.2), -1);

    Deconvolution no_baseline;
    no_baseline.model = model_of({lorentz(), SubSpecPtr(new model_test::LorentzLines(0.5))});
    no_baseline.values = DVector(5);
    no_baseline.values(0) = 1.0, no_baseline.values(1) = 0.0, no_baseline.values(2) = 0.3;
    no_baseline.values(3) = 1.0, no_baseline.values(4) = 0.2;
    EXPECT_EQ(no_baseline.run(0.7, 0.2), -1);

    Deconvolution no_lines;
    no_lines.model = model_of({baseline(), lorentz()});
    no_lines.values.resize(6, true);
    EXPECT_EQ(no_lines.run(0.7, 0.2), -1);

    Deconvolution empty_distribution;
    empty_distribution.values(6) = -1.0;
    EXPECT_EQ(empty_distribution.run(0.7, 0.2), -1);
}

TEST(Deconvolution, SourceWiderThanTheLinesAndTooLittleResonance)
{
    Deconvolution d;
    EXPECT_EQ(d.run(0.7, 0.5), -2);
    EXPECT_EQ(d.width, 0.5);

    // At the line centre E = 2I/(πΓ)·2/(πΓ')·(Γ/Γ')·|scale|/N0; fₛ·χ below it fails there.
    const double narrowed = 0.5 - 0.2;
    const double e_centre =
        2.0 / (std::numbers::pi * 0.5) * 2.0 / (std::numbers::pi * narrowed) * (0.5 / narrowed) * 1e5 / level;
    EXPECT_EQ(d.run(0.9 * e_centre, 0.2), -3);
    EXPECT_NEAR(d.largest_e, e_centre, 1e-12);
}

TEST(Deconvolution, CountsFollowTheThinnedAbsorber)
{
    Deconvolution d;
    random_engine().seed(11);
    const double fs_chi = 0.7, depth = 2e5, narrowed = 0.3;
    ASSERT_EQ(d.run(fs_chi, 0.2, depth), 0);
    ASSERT_EQ(d.out.size(), d.x.size());
    auto thickness = [&](double x) {
        const double u = (x - 0.2) * 2.0 / narrowed;
        const double e = 2.0 / (std::numbers::pi * 0.5) * (2.0 / narrowed) / (std::numbers::pi * (1 + u * u)) *
                         (0.5 / narrowed) * 1e5 / level;
        return -std::log(1.0 - e / fs_chi);
    };
    const double v_max = thickness(0.2);  // x = 0.2 is a point of the grid
    for (std::size_t i = 0; i < d.x.size(); ++i) {
        const double mean = level - thickness(d.x[i]) * depth / v_max;
        EXPECT_NEAR(d.out[i], mean, 5.0 * std::sqrt(mean)) << d.x[i];
        EXPECT_EQ(d.out[i], std::floor(d.out[i]));
    }
}

TEST(Deconvolution, NoAbsorptionAnywhereGivesTheBaseline)
{
    Deconvolution d;
    d.values(6) = 0.0;  // lines of no area: nothing absorbs, 0/0 in the scaling
    random_engine().seed(5);
    ASSERT_EQ(d.run(0.7, 0.2), 0);
    for (double v : d.out)
        EXPECT_NEAR(v, level, 5e3);
}

TEST(ModelLevels, SetLevelsFollowsTheDirectionAndFeedsAnAutomaticBaseline)
{
    SpectrumModel absorption = model_of({auto_baseline(), lorentz()});
    absorption.set_levels(0.0, 0.0);
    EXPECT_EQ(absorption.scale, -1.0);
    EXPECT_EQ(absorption.level, 1.0);
    absorption.set_levels(-5e5, 2e6);
    EXPECT_EQ(absorption.scale, -5e5);
    EXPECT_EQ(absorption.level, 2e6);
    EXPECT_EQ(dynamic_cast<IAutoBaseLine&>(*absorption.components[0]->subspec).get_level(), 2e6);

    SpectrumModel emission = model_of({baseline(), lorentz()});
    emission.scale = 2.0;
    emission.set_levels(-300.0, 40.0);
    EXPECT_EQ(emission.scale, 300.0);
    EXPECT_EQ(emission.level, 40.0);
}

}  // namespace
