// Evaluation of the model: the 16-block parallel values against a serial sum of the
// components, the roles of baselines and scale, one component over its baselines,
// failures confined to their block, and the Jacobian with links carried by the chain
// rule against central differences of the values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/fit/point_blocks.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"

namespace {

using namespace model_test;
using namespace test_support;
namespace ublas = boost::numeric::ublas;

// Baseline, then two singlets.
SpectrumModel three_components()
{
    return model_of({baseline(), lorentz(), lorentz()});
}

DVector three_component_params()
{
    DVector p(9);
    const double values[] = {1000.0, 0.002, 0.1, 40.0, -0.6, 0.35, 25.0, 0.8, 0.5};
    std::copy(std::begin(values), std::end(values), p.begin());
    return p;
}

// The model summed point by point over the whole range, serially, in model order.
DVector serial_sum(const SpectrumModel& model, const DVector& x, const DVector& p)
{
    DVector out(x.size(), 0.0), values(x.size());
    const XPoints all(x, ublas::range(0, x.size()));
    for (const auto& c : model.components) {
        c->subspec->evaluate(all, ParamRange(p, ublas::range(c->first, c->first + c->count)), &values(0));
        for (std::size_t i = 0; i < x.size(); ++i)
            out(i) += values(i) * (c->is_baseline() ? 1.0 : model.scale);
    }
    return out;
}

TEST(PointBlocks, SixteenBlocksTheLastTakingTheRest)
{
    for (unsigned b = 0; b < 15; ++b) {
        EXPECT_EQ(point_block(b, 10).begin, point_block(b, 10).end);
        EXPECT_EQ(point_block(b, 33).begin, 2u * b);
        EXPECT_EQ(point_block(b, 33).end, 2u * b + 2);
    }
    EXPECT_EQ(point_block(15, 10).begin, 0u);
    EXPECT_EQ(point_block(15, 10).end, 10u);
    EXPECT_EQ(point_block(15, 33).begin, 30u);
    EXPECT_EQ(point_block(15, 33).end, 33u);
}

TEST(ModelEvaluate, BlocksGiveTheSerialSum)
{
    const SpectrumModel model = three_components();
    const DVector p = three_component_params();
    // 2²¹ points need a 16 MiB scratch array, more than a thread's stack holds.
    for (std::size_t n : {1u, 10u, 15u, 16u, 33u, 1000u, 1u << 21}) {
        const DVector x = grid(-4.0, 4.0, n);
        DVector out(n, -1.0);
        model.evaluate(x, 0, n, p, out);
        const DVector expected = serial_sum(model, x, p);
        std::size_t mismatches = 0;
        for (std::size_t i = 0; i < n; ++i)
            mismatches += out(i) != expected(i);
        EXPECT_EQ(mismatches, 0u) << n << " points";
    }
}

TEST(ModelEvaluate, SubRangeOfTheVelocities)
{
    const SpectrumModel model = three_components();
    const DVector p = three_component_params();
    const DVector x = grid(-4.0, 4.0, 100);
    const DVector all = serial_sum(model, x, p);
    DVector out(37);
    model.evaluate(x, 50, 37, p, out);
    for (std::size_t i = 0; i < 37; ++i)
        EXPECT_EQ(out(i), all(50 + i)) << i;

    DVector short_params(8, 0.0), short_out(36);
    EXPECT_THROW(model.evaluate(x, 64, 37, p, out), std::out_of_range);
    EXPECT_THROW(model.evaluate(x, 50, 37, short_params, out), std::out_of_range);
    EXPECT_THROW(model.evaluate(x, 50, 37, p, short_out), std::out_of_range);
}

TEST(ModelEvaluate, BaselineOnlyModelIgnoresTheScale)
{
    SpectrumModel model = model_of({baseline()});
    DVector p(3);
    p(0) = 500.0;
    p(1) = 0.01;
    p(2) = 0.5;
    const DVector x = grid(-5.0, 5.0, 40);
    DVector reference(40), out(40);
    model.evaluate(x, 0, 40, p, reference);
    for (double scale : {-1.0, 0.0, 7.5, -1e6}) {
        model.scale = scale;
        model.evaluate(x, 0, 40, p, out);
        for (std::size_t i = 0; i < 40; ++i)
            EXPECT_EQ(out(i), reference(i)) << scale;
    }
    EXPECT_EQ(reference(20), 500.0 * (1.0 + 0.01 * (x(20) - 0.5) * (x(20) - 0.5)));
}

TEST(ModelEvaluate, ScaleSignChoosesAbsorptionOrEmission)
{
    SpectrumModel model = model_of({baseline(), lorentz()});
    DVector p(6, 0.0);
    p(0) = 100.0;
    p(3) = 2.0;
    p(5) = 0.4;
    DVector x(1, 0.0), out(1);
    const double line = 2.0 * 0.2 / (3.141592653589793 * 0.2 * 0.2);

    model.evaluate(x, 0, 1, p, out);
    EXPECT_FALSE(model.is_emission());
    EXPECT_DOUBLE_EQ(out(0), 100.0 - line);

    model.scale = 3.0;
    model.evaluate(x, 0, 1, p, out);
    EXPECT_TRUE(model.is_emission());
    EXPECT_DOUBLE_EQ(out(0), 100.0 + 3.0 * line);

    model.scale = 0.0;
    EXPECT_TRUE(model.is_emission());
    model.scale = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(model.is_emission());
}

TEST(ModelEvaluate, ComponentOnTopOfTheBaselinesBeforeIt)
{
    SpectrumModel model = model_of({baseline(), auto_baseline(), lorentz(), lorentz()});
    model.scale = -2.0;
    DVector p(12, 0.0);
    const double values[] = {800.0, 0.0, 0.0, 50.0, 0.003, 1.0, 30.0, 0.5, 0.3, 10.0, -1.0, 0.6};
    std::copy(std::begin(values), std::end(values), p.begin());
    const DVector x = grid(-3.0, 3.0, 45);

    auto single = [&](unsigned k) {
        DVector v(x.size());
        const SubModel& c = *model.components[k];
        c.subspec->evaluate(XPoints(x, ublas::range(0, x.size())),
                            ParamRange(p, ublas::range(c.first, c.first + c.count)), &v(0));
        return v;
    };
    const DVector b0 = single(0), b1 = single(1), l2 = single(2), l3 = single(3);
    struct Case {
        unsigned component;
        double w0, w1, w2, w3;  // weight of each component in the expected curve
    };
    const Case cases[] = {
        {0, 1, 0, 0, 0}, {1, 1, 1, 0, 0}, {2, 1, 1, -2, 0}, {3, 1, 1, 0, -2}, {4, 1, 1, 0, 0}, {99, 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        DVector out(x.size() + 3, -1.0);
        model.evaluate_component(c.component, x, p, out);
        for (std::size_t i = 0; i < x.size(); ++i) {
            double expected = 0.0;
            expected += b0(i) * c.w0;
            if (c.w1 != 0)
                expected += b1(i) * c.w1;
            if (c.w2 != 0)
                expected += l2(i) * c.w2;
            if (c.w3 != 0)
                expected += l3(i) * c.w3;
            EXPECT_DOUBLE_EQ(out(i), expected) << "component " << c.component << " point " << i;
        }
        for (std::size_t i = x.size(); i < out.size(); ++i)
            EXPECT_EQ(out(i), 0.0);
    }

    SpectrumModel empty;
    DVector out(5, 3.0);
    empty.evaluate_component(0, grid(0.0, 1.0, 5), DVector(), out);
    for (double v : out)
        EXPECT_EQ(v, 0.0);
}

// A component's exception reaches the caller of every evaluation with its own text,
// whether one block of points raises it or all sixteen at once; the model is left as
// it was and evaluates again.
TEST(ModelEvaluate, ComponentExceptionReachesTheCaller)
{
    const std::size_t n = 160;  // blocks of 10 points
    const DVector x = grid(-4.0, 4.0, n);
    for (double limit : {3.5, -10.0}) {  // the last block fails; every block fails
        SCOPED_TRACE(limit);
        SpectrumModel model = model_of({baseline()});
        model.insert_component(1, SubSpecPtr(new ThrowingSubSpec(limit)));
        DVector p(4, 0.0);
        p(0) = 10.0;
        p(3) = 1.0;
        DVector out(n);
        DMatrix jacobian(n, 4);
        auto expect_failure = [](auto&& evaluate) {
            try {
                evaluate();
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "velocity beyond the limit");
            }
        };
        expect_failure([&] { model.evaluate(x, 0, n, p, out); });
        expect_failure([&] { model.evaluate_component(1, x, p, out); });
        expect_failure([&] { model.evaluate_range_with_jacobian(x, 0, n, p, {}, out, jacobian); });

        const DVector below = grid(-10.5, -10.0, n);
        model.evaluate(below, 0, n, p, out);
        for (double v : out)
            EXPECT_EQ(v, 10.0 - 1.0);
    }
}

// ---- Jacobian ----

// Central differences of evaluate by every parameter that is not linked, with the
// links applied to each perturbed vector; compares them with the model's Jacobian on
// points first … first + count − 1, whose linked columns must be 0.
void expect_jacobian_matches_differences(const SpectrumModel& model, DVector p, std::size_t first,
                                         std::size_t count)
{
    const DVector x = grid(-2.5, 2.5, first + count + 5);
    model.apply_links(p, nullptr);
    ExprGradients gradients;
    model.apply_links(p, &gradients);

    const unsigned np = model.param_count();
    DVector values(count), direct(count);
    DMatrix jacobian(count, np, std::numeric_limits<double>::quiet_NaN());
    model.evaluate_range_with_jacobian(x, first, count, p, gradients, values, jacobian);
    model.evaluate(x, first, count, p, direct);
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_DOUBLE_EQ(values(i), direct(i)) << i;

    std::vector<int> dependent;
    model.dependent_mask(dependent);
    for (unsigned q = 0; q < np; ++q) {
        if (dependent[q]) {
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(jacobian(i, q), 0.0) << "dependent column " << q;
            continue;
        }
        const double h = 1e-6 * std::max(1.0, std::fabs(p(q)));
        DVector up = p, down = p, f_up(count), f_down(count);
        up(q) += h;
        down(q) -= h;
        model.apply_links(up, nullptr);
        model.apply_links(down, nullptr);
        model.evaluate(x, first, count, up, f_up);
        model.evaluate(x, first, count, down, f_down);
        for (std::size_t i = 0; i < count; ++i) {
            const double difference = (f_up(i) - f_down(i)) / (2 * h);
            EXPECT_NEAR(jacobian(i, q), difference, 1e-6 * std::max(1.0, std::fabs(difference)))
                << "parameter " << q << " point " << i;
        }
    }
}

TEST(ModelJacobian, MatchesDifferencesWithoutLinks)
{
    SpectrumModel model = three_components();
    model.scale = -3.7;
    expect_jacobian_matches_differences(model, three_component_params(), 0, 40);
}

TEST(ModelJacobian, ParameterLinksMoveIntoTheirTargets)
{
    SpectrumModel model = three_components();
    model.scale = 1.3;
    link_param(model, 2, 2, 1, 2, 2.0);   // Γ₂ = 2·Γ₁
    link_param(model, 2, 0, 1, 0, 0.5);   // I₂ = 0.5·I₁
    link_param(model, 1, 1, 0, 1, -3.0);  // δ₁ = −3·c of the baseline
    expect_jacobian_matches_differences(model, three_component_params(), 7, 30);

    // Column p1 holds ∂f/∂p1 + 2·∂f/∂p2 for p2 = 2·p1.
    const DVector x = grid(-1.0, 1.0, 12);
    DVector p = three_component_params();
    model.apply_links(p, nullptr);
    DVector values(12);
    DMatrix linked(12, 9), unlinked(12, 9);
    model.evaluate_range_with_jacobian(x, 0, 12, p, {}, values, linked);
    SpectrumModel plain = three_components();
    plain.scale = 1.3;
    plain.evaluate_range_with_jacobian(x, 0, 12, p, {}, values, unlinked);
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_DOUBLE_EQ(linked(i, 5), unlinked(i, 5) + 2.0 * unlinked(i, 8));
}

TEST(ModelJacobian, ExpressionLinksMoveIntoTheParametersTheyUse)
{
    SpectrumModel model = three_components();
    model.scale = -0.8;
    model.expressions.emplace_back(L"width", L"[1:Γ]*[0:c]", model);
    model.expressions.emplace_back(L"area", L"[1:I]*[1:Γ]*[0:c]", model);
    ASSERT_TRUE(model.expressions[1].expr);
    link_expr(model, 2, 2, 0, 4.0);  // Γ₂ = 4·Γ₁·c
    link_expr(model, 2, 0, 1, 5.0);  // I₂ = 5·I₁·Γ₁·c
    DVector p = three_component_params();
    p(1) = 0.7;
    expect_jacobian_matches_differences(model, p, 0, 25);
}

TEST(ModelJacobian, ChecksItsArguments)
{
    const SpectrumModel model = three_components();
    const DVector x = grid(-1.0, 1.0, 20), p = three_component_params();
    DVector values(20);
    DMatrix too_few_rows(19, 9), too_few_columns(20, 8);
    EXPECT_THROW(model.evaluate_range_with_jacobian(x, 0, 20, p, {}, values, too_few_rows), std::out_of_range);
    EXPECT_THROW(model.evaluate_range_with_jacobian(x, 0, 20, p, {}, values, too_few_columns), std::out_of_range);
    DMatrix jacobian(20, 9);
    EXPECT_THROW(model.evaluate_range_with_jacobian(x, 1, 20, p, {}, values, jacobian), std::out_of_range);
}

}  // namespace
