// The implementation template around a model struct: shared ownership, clones, names,
// descriptors and display orders through ISubSpec, starting values, the checks of the
// ranges an evaluation is given, and the optional interfaces of the mixins.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "subspec/subspec_impl.h"
#include "test_models.h"
#include "tests/support/dvectors.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_models;
using namespace test_support;
namespace ublas = boost::numeric::ublas;

TEST(SubSpecImpl, SharedComponentLivesUntilItsLastReference)
{
    SubSpecPtr first = make_subspec<TestLorentz>(nullptr);
    EXPECT_EQ(first->ref_count(), 1);
    SubSpecPtr second = first;  // the same component in a second model
    EXPECT_EQ(first->ref_count(), 2);
    first.reset();
    EXPECT_EQ(second->ref_count(), 1);
    EXPECT_EQ(second->param_count(), 3u);
}

TEST(SubSpecImpl, CloneIsANewObjectForTheSameIsotope)
{
    const SubSpecPtr s = make_subspec<TestSextet>(&iron());
    const SubSpecPtr copy = s->clone();
    EXPECT_NE(copy.get(), s.get());
    EXPECT_EQ(copy->ref_count(), 1);
    EXPECT_NE(dynamic_cast<SubSpecImpl<TestSextet>*>(copy.get()), nullptr);
    EXPECT_EQ(dynamic_cast<SubSpecImpl<TestSextet>&>(*copy).isotope(), &iron());
}

TEST(SubSpecImpl, DisplayNames)
{
    // Named with the isotope only where the type is bound to one; "@" (hidden) removed.
    EXPECT_EQ(make_subspec<TestSextet>(&iron())->display_name(), L"PseudoVoigt sextet [simple] (57Fe)");
    EXPECT_EQ(make_subspec<TestSextet>(nullptr)->display_name(), L"PseudoVoigt sextet [simple]");
    EXPECT_EQ(make_subspec<TestLorentz>(&iron())->display_name(), L"Lorentz singlet");
    EXPECT_EQ(make_subspec<TestThrowing>(nullptr)->display_name(), L"FreeVar");
}

TEST(SubSpecImpl, DescriptorsAndOrdersComeFromTheTables)
{
    const SubSpecPtr s = make_subspec<TestSextet>(&iron());
    EXPECT_EQ(s->param_count(), 10u);
    EXPECT_EQ(s->shown_param_count(), 10u);
    EXPECT_EQ(&s->param_info(9), &SimplePseudoVoigtSextetParams::param_info(9));
    EXPECT_THROW(s->param_info(10), std::runtime_error);

    std::vector<unsigned> order{5, 5, 5}, area{7};
    s->param_layout(order);
    dynamic_cast<const IAAParam&>(*s).area_params(area);
    EXPECT_EQ(order, (std::vector<unsigned>{0, 1, 2, 2147483647, 3, 4, 5, 2147483647, 6, 7, 8, 2147483647, 9}));
    EXPECT_EQ(area, (std::vector<unsigned>{0}));

    const SubSpecPtr free_variable = make_subspec<TestThrowing>(nullptr);
    dynamic_cast<const IAAParam&>(*free_variable).area_params(area);
    EXPECT_TRUE(area.empty());
}

TEST(SubSpecImpl, StartingValuesGoToTheComponentSliceOnly)
{
    const SubSpecPtr s = make_subspec<TestLorentz>(&iron());
    SpectrumAnalysis analysis;
    analysis.XSc = 0.42;
    DVector p(6, -1.0);
    s->init_params(analysis, p, 2, 3);
    EXPECT_EQ(p(1), -1.0);
    EXPECT_EQ(p(2), 1.0);
    EXPECT_EQ(p(3), 0.42);
    EXPECT_DOUBLE_EQ(p(4), 3.0 * 0.097);
    EXPECT_EQ(p(5), -1.0);

    EXPECT_THROW(s->init_params(analysis, p, 4, 3), std::out_of_range);  // beyond the vector
    EXPECT_THROW(s->init_params(analysis, p, 0, 4), std::out_of_range);  // not its count
}

// Ranges that do not fit are refused before anything is read or written: uBLAS checks
// them only in debug builds.
TEST(SubSpecImpl, EvaluationRefusesRangesThatDoNotFit)
{
    const SubSpecPtr s = make_subspec<TestLorentz>(nullptr);
    const DVector x = vec({0.0, 0.1, 0.2, 0.3});
    const DVector p = vec({1.0, 0.0, 0.3, 9.0});
    std::vector<double> values(8);
    DMatrix jacobian(8, 8);
    const XPoints three(x, ublas::range(0, 3));
    const ParamRange params(p, ublas::range(0, 3));
    const auto block = [&](std::size_t rows, std::size_t columns) {
        return JacobianRange(jacobian, ublas::range(0, rows), ublas::range(0, columns));
    };

    EXPECT_THROW(s->evaluate(three, ParamRange(p, ublas::range(0, 4)), values.data()), std::out_of_range);
    EXPECT_THROW(s->evaluate(three, ParamRange(p, ublas::range(2, 5)), values.data()), std::out_of_range);
    EXPECT_THROW(s->evaluate(XPoints(x, ublas::range(2, 6)), params, values.data()), std::out_of_range);
    EXPECT_THROW(s->evaluate_with_jacobian(three, params, values.data(), block(4, 3)), std::out_of_range);
    EXPECT_THROW(s->evaluate_with_jacobian(three, params, values.data(), block(3, 2)), std::out_of_range);
    EXPECT_THROW(s->evaluate_with_jacobian(three, params, values.data(),
                                           JacobianRange(jacobian, ublas::range(6, 9), ublas::range(0, 3))),
                 std::out_of_range);
    EXPECT_NO_THROW(s->evaluate_with_jacobian(three, params, values.data(), block(3, 3)));
}

TEST(SubSpecImpl, MixinInterfaces)
{
    const SubSpecPtr lorentz = make_subspec<TestLorentz>(nullptr);
    EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*lorentz).area_expr(3), L"[3:I]");

    const SubSpecPtr sextet = make_subspec<TestSextet>(&iron());
    std::vector<int> kinds;
    const auto& sextet_kinds = dynamic_cast<const IDistVarTypes&>(*sextet);
    sextet_kinds.dist_kinds(kinds);
    sextet_kinds.dist_kinds(kinds);  // appends, does not clear
    EXPECT_EQ(kinds, (std::vector<int>{1, 2, 11, 1, 2, 11}));

    double min = 0.0, max = 0.0;
    dynamic_cast<const ISubSpecRange&>(*lorentz).extent(all_of(vec({1.0, 0.5, -0.1})), min, max);
    EXPECT_DOUBLE_EQ(min, 0.5 - 1.2);
    EXPECT_DOUBLE_EQ(max, 0.5 + 1.2);

    // The line distance reads the isotope the component was made for.
    DVector p(10, 0.0);
    p(5) = 330.0;
    EXPECT_DOUBLE_EQ(dynamic_cast<const ILineDistance&>(*sextet).line_distance(all_of(p)), -iron().K * 330.0);

    // Unsupported capabilities are a null cast, not an error.
    EXPECT_EQ(dynamic_cast<const ILineDistance*>(lorentz.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const IBaseLine*>(lorentz.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const ISubSpecData*>(lorentz.get()), nullptr);
    EXPECT_EQ(dynamic_cast<const ILorenzLine*>(lorentz.get()), nullptr);
}

TEST(SubSpecImpl, ExtraGraphForwardsWithAndWithoutCovariance)
{
    const SubSpecPtr s = make_subspec<TestSampledLine>(nullptr);
    const auto& graph = dynamic_cast<const IExtraGraph&>(*s);
    EXPECT_EQ(graph.graph_count(), 3u);
    const DVector p = vec({9.0, 0.0, 1.0, 0.5, 0.3, 0.0, 0.0, 7.0});
    const ParamRange params(p, ublas::range(0, 7));
    std::vector<double> x, y, errors;
    graph.graph(2, params, x, y);
    EXPECT_EQ(x, std::vector<double>{2.0});
    EXPECT_EQ(y, std::vector<double>{9.0});

    DMatrix covariance(7, 7, 0.0);
    covariance(0, 0) = 0.25;
    graph.graph_with_errors(1, params, CovarianceRange(covariance, ublas::range(0, 7), ublas::range(0, 7)), x, y,
                            errors);
    EXPECT_EQ(x, std::vector<double>{1.0});
    EXPECT_EQ(errors, std::vector<double>{0.25});

    std::wstring x_name, y_name;
    graph.axis_names(2, x_name, y_name);
    EXPECT_EQ(x_name, L"phase 2");
    EXPECT_EQ(y_name, L"field");
}

TEST(SubSpecImpl, FormulaReadsTheModelData)
{
    const SubSpecPtr s = make_subspec<TestSampledLine>(nullptr);
    const DVector x = vec({0.0, 0.4, 1.1});
    const DVector p = vec({1.0, 0.0, 1.0, 0.5, 0.3, 0.0, 0.0});
    std::vector<double> defaults(3), two(3);
    s->evaluate(all_of(x), all_of(p), defaults.data());
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|Points|2");  // clamped to 10 samples
    s->evaluate(all_of(x), all_of(p), two.data());
    EXPECT_NE(defaults, two);
    // Ten samples of cos(2πj/10) put lines at ±1, ±0.809, ±0.309: the value at 0.4 is
    // the mean of the ten Lorentz lines.
    double expected = 0.0;
    for (int j = 0; j < 10; ++j)
        expected += lorentz(0.4, 0.1, std::cos(6.283185307179586 * j / 10), 0.3);
    EXPECT_NEAR(two[1], expected, 1e-14);
}

}  // namespace
