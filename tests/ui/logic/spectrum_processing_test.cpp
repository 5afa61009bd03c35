// The spectrum processing commands' decisions: which parameters a transform asks for and
// with which values, and the range a generated spectrum is proposed.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lineshapes/singlets.h"
#include "subspec/subspec_impl.h"
#include "ui/logic/spectrum_processing.h"

namespace {

using Names = std::vector<std::wstring>;

TEST(TransformParameters, NamesAfterDollarSignsWithoutTheTransformsOwnVariables)
{
    struct Case {
        const wchar_t* text;
        Names names;
    };
    const Case cases[] = {
        {L"$I*$k+$b", {L"k", L"b"}},
        {L"$v+$I", {}},
        {L"ln($I)", {}},                      // no '$' at all: an empty editor
        {L"$k*$I+$k", {L"k"}},                // one entry for a name used twice
        {L"$ + $a2", {L"a2"}},                // a '$' without a name is passed over
        {L"$a$b", {L"a"}},                    // the '$' that ends a name is skipped
        {L"$Ia*$vv", {L"Ia", L"vv"}},         // only exactly v and I are the own variables
    };
    for (const Case& c : cases) EXPECT_EQ(transform_parameter_names(c.text), c.names) << c.text;
}

TEST(TransformParameters, ValuesComeFromTheLastConfirmedListOrZero)
{
    const KeywordList previous{{L"k", {L"2.5", 0}}, {L"old", {L"7", 0}}};
    const KeywordList list = transform_parameter_list(L"$k*$I+$b", previous);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (std::pair<std::wstring, KWData>{L"k", {L"2.5", 0}}));
    EXPECT_EQ(list[1], (std::pair<std::wstring, KWData>{L"b", {L"0", 0}}));
    EXPECT_EQ(transform_variable_names(list), (Names{L"k", L"b", L"v", L"I"}));

    std::wstring unreadable;
    EXPECT_EQ(transform_parameter_values(list, unreadable), (std::vector<double>{2.5, 0.0}));
    const KeywordList bad{{L"k", {L"2.5", 0}}, {L"b", {L"1O", 0}}};
    EXPECT_FALSE(transform_parameter_values(bad, unreadable));
    EXPECT_EQ(unreadable, L"b");
}

TEST(GenerateRange, TheSpectrumsEndsElseTheModelsExtent)
{
    SpectrumModel model;
    const double inf = std::numeric_limits<double>::infinity();
    // Two points or more: the first and last velocity, whatever the model.
    EXPECT_EQ(generate_range({-4.25, 0.0, 3.5}, model, DVector()), (std::pair{-4.25, 3.5}));
    // Fewer: the model's extent; none without a component that has one.
    EXPECT_EQ(generate_range({1.0}, model, DVector()), (std::pair{inf, -inf}));
    model.insert_component(0, make_subspec<LorenzLine>(nullptr));
    DVector values(model.param_count(), 0.0);
    values(0) = 1.0;  // I
    values(2) = 0.2;  // Γ
    const auto [low, high] = generate_range({}, model, values);
    EXPECT_LT(low, 0.0);
    EXPECT_GT(high, 0.0);
    EXPECT_TRUE(std::isfinite(low) && std::isfinite(high));
}

}  // namespace
