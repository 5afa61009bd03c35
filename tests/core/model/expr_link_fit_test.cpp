// A fit in which parameters are linked to user expressions: the model's Jacobian, with
// the expressions' gradients carried in by the chain rule, agrees with finite
// differences of the linked model, and the fit recovers the parameters of a simulated
// spectrum through the links.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "tests/support/dvectors.h"
#include "tests/support/expr_test_parts.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/simulated_spectrum.h"

namespace {

using namespace test_support;

// Baseline N₀ c v₀ (0-2), line A: I δ Γ (3-5), line B (6-8) and a free variable x (9).
// Line B sits at δ_A + 2|x| with area I_A·exp(−x²)/2 and line A's width.
SpectrumModel linked_model()
{
    SpectrumModel model;
    model.insert_component(0, model_test::baseline());
    model.insert_component(1, model_test::lorentz());
    model.insert_component(2, model_test::lorentz());
    model.insert_component(3, expr_test::inert<FreeVarParams>());
    model.insert_expression(0, L"position", L"[1:δ] + 2*abs([3:x])");
    model.insert_expression(1, L"area", L"[1:I]*exp(-[3:x]^2)");
    model.set_link({0, 0, LinkToExpr, 2, 1, 1.0});
    model.set_link({1, 0, LinkToExpr, 2, 0, 0.5});
    model.set_link({1, 2, LinkToParam, 2, 2, 1.0});
    return model;
}

DVector parameters(double n0, double area, double shift, double width, double x)
{
    DVector p(10, 0.0);
    p(0) = n0;
    p(3) = area;
    p(4) = shift;
    p(5) = width;
    p(9) = x;
    return p;
}

TEST(ExpressionLinkedFit, JacobianAgreesWithDifferences)
{
    const SpectrumModel model = linked_model();
    DVector p = parameters(1000.0, 300.0, -1.0, 0.4, 0.8);
    p(1) = 0.01;  // a curvature, so that every baseline column matters
    ExprGradients gradients;
    model.apply_links(p, &gradients);
    ASSERT_EQ(gradients.size(), 2u);

    const DVector x = grid(-4.0, 4.0, 81);
    DVector values(81);
    DMatrix jacobian(81, 10);
    model.evaluate_range_with_jacobian(x, 0, 81, p, gradients, values, jacobian);
    for (unsigned q : {0u, 1u, 2u, 3u, 4u, 5u, 9u}) {
        const double h = 1e-6 * std::max(1.0, std::fabs(p(q)));
        DVector up = p, down = p, f_up(81), f_down(81);
        up(q) += h;
        down(q) -= h;
        model.apply_links(up, nullptr);
        model.apply_links(down, nullptr);
        model.evaluate(x, 0, 81, up, f_up);
        model.evaluate(x, 0, 81, down, f_down);
        for (std::size_t i = 0; i < 81; ++i) {
            const double difference = (f_up(i) - f_down(i)) / (2 * h);
            EXPECT_NEAR(jacobian(i, q), difference, 1e-6 * std::max(1.0, std::fabs(difference)))
                << "parameter " << q << " point " << i;
        }
    }
    for (unsigned q : {6u, 7u, 8u})
        for (std::size_t i = 0; i < 81; ++i)
            EXPECT_EQ(jacobian(i, q), 0.0);
}

TEST(ExpressionLinkedFit, RecoversTheParametersThroughTheLinks)
{
    const SpectrumModel model = linked_model();
    DVector truth = parameters(1000.0, 300.0, -1.0, 0.4, 0.8);
    model.apply_links(truth, nullptr);
    EXPECT_DOUBLE_EQ(truth(7), 0.6);
    EXPECT_DOUBLE_EQ(truth(6), 150.0 * std::exp(-0.64));

    const DVector x = grid(-4.0, 4.0, 401);
    DVector counts(401);
    model.evaluate(x, 0, 401, truth, counts);
    const SpectrumData spectrum = spectrum_of(x, counts);

    std::vector<int> varied(10, 0);
    for (unsigned q : {0u, 3u, 4u, 5u, 9u, 7u})  // 7 is linked: never varied
        varied[q] = 1;
    const DVector start = parameters(990.0, 200.0, -0.8, 0.5, 0.6);
    DVector values;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced = 0.0;
    unsigned iterations = 0;
    FitStopCode stop = FitStopNoVariables;
    lm_fit(model, spectrum, start, varied, DVector(), DVector(), FitSettings(), values, covariance, directions,
           chi_square, reduced, iterations, stop);
    EXPECT_GT(iterations, 0u);
    EXPECT_LT(chi_square, 1e-12);
    for (unsigned q = 0; q < 10; ++q)
        EXPECT_NEAR(values(q), truth(q), 1e-6 * std::max(1.0, std::fabs(truth(q)))) << "parameter " << q;
    // The linked parameters carry their errors through the expressions.
    const double error = model.param_std_error(*model.components[2], 1, values, covariance);
    EXPECT_GT(error, 0.0);
    EXPECT_NEAR(error, std::sqrt(covariance(4, 4) + 4 * covariance(4, 9) + 4 * covariance(9, 9)), 1e-9 * error);
}

}  // namespace
