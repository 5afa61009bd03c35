// Fit area: the component areas fitted alone, or nothing changed when the engine could
// not take a step.
#include <gtest/gtest.h>

#include <cmath>

#include "ui/logic/fit_area.h"
#include "tests/support/sextet_doublet_fit.h"

using test_support::SextetDoubletFit;

namespace {

std::vector<int> area_indices(const SpectrumModel& model)
{
    std::vector<int> indices;
    model.area_param_indices(indices);
    return indices;
}

}  // namespace

TEST(FitArea, RecoversTheAreasAndLeavesEveryOtherParameterAlone)
{
    SextetDoubletFit f;
    // Every parameter at its truth but the areas.
    DVector start = f.truth;
    const std::vector<int> areas = area_indices(f.model);
    ASSERT_EQ(areas, (std::vector<int>{0, 3, 18}));  // the baseline's level, the sextet's and the doublet's areas
    start(3) = 0.7;
    start(18) = 0.8;
    const auto result = fit_area(f.model, f.data, start, f.lower, f.upper, FitSettings());
    ASSERT_TRUE(result);
    ASSERT_TRUE(result->values);
    const DVector& v = *result->values;
    EXPECT_NEAR(v(3), 1.0, 0.02);
    EXPECT_NEAR(v(18), 0.5, 0.02);
    EXPECT_NEAR(v(0), 1e6, 1e6 * 0.002);
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i != 0 && i != 3 && i != 18)
            EXPECT_EQ(v(i), start(i)) << i;
    }
}

TEST(FitArea, ALinkedAreaFollowsItsTarget)
{
    SextetDoubletFit f;
    model_test::link_param(f.model, 2, 0, 1, 0, 0.5);  // doublet area = ½ sextet area
    DVector start = f.truth;
    start(3) = 0.7;
    const auto result = fit_area(f.model, f.data, start, f.lower, f.upper, FitSettings());
    ASSERT_TRUE(result && result->values);
    EXPECT_NEAR((*result->values)(3), 1.0, 0.02);
    EXPECT_EQ((*result->values)(18), 0.5 * (*result->values)(3));
}

TEST(FitArea, StopsBeforeAnyStepLeaveTheModelUnchanged)
{
    struct Case {
        const char* name;
        void (*spoil)(SpectrumData&);
        FitStopCode code;
    };
    const Case cases[] = {
        {"no_points", [](SpectrumData& d) { d.x_data.clear(), d.y_data.clear(), d.std_dev_data.clear(); },
         FitStopTooManyVariables},
        {"one_point", [](SpectrumData& d) { d.x_data.resize(1), d.y_data.resize(1), d.std_dev_data.resize(1); },
         FitStopTooManyVariables},
        {"zero_deviation", [](SpectrumData& d) { d.std_dev_data[100] = 0.0; }, FitStopZeroStdDev},
        {"count_not_a_number", [](SpectrumData& d) { d.y_data[100] = std::nan(""); }, FitStopDataNotFinite},
    };
    for (const Case& c : cases) {
        SextetDoubletFit f;
        c.spoil(f.data);
        const auto result = fit_area(f.model, f.data, f.start, f.lower, f.upper, FitSettings());
        ASSERT_TRUE(result) << c.name;
        EXPECT_EQ(result->stop_code, c.code) << c.name;
        EXPECT_FALSE(result->values) << c.name;
    }
    // Every area linked: no variables.
    SextetDoubletFit f;
    model_test::link_param(f.model, 0, 0, 1, 0, 1e6);
    model_test::link_param(f.model, 1, 0, 2, 0, 2.0);
    model_test::link_param(f.model, 2, 0, 2, 1, 0.5);
    const auto result = fit_area(f.model, f.data, f.start, f.lower, f.upper, FitSettings());
    ASSERT_TRUE(result);
    EXPECT_EQ(result->stop_code, FitStopNoVariables);
    EXPECT_FALSE(result->values);
}

TEST(FitArea, AModelWithoutAreasDoesNothing)
{
    const SpectrumModel empty;
    SextetDoubletFit f;
    EXPECT_FALSE(fit_area(empty, f.data, DVector(), DVector(), DVector(), FitSettings()));
}
