#include "subspec/free_var.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/text/kwfile.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/subspec_ranges.h"

namespace {

using test_support::all_of;

TEST(FreeVar, AddsNothingAndAZeroColumn)
{
    const SubSpecPtr s = make_subspec<FreeVar>(nullptr);
    const DVector x = test_support::grid(-5.0, 5.0, 130);
    const DVector p = test_support::vec({2.5});
    std::vector<double> values(x.size(), 7.0);
    DMatrix jacobian(x.size(), 1, 7.0);
    s->evaluate_with_jacobian(all_of(x), all_of(p), values.data(), all_of(jacobian));
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_EQ(values[i], 0.0);
        EXPECT_EQ(jacobian(i, 0), 0.0);
    }
    EXPECT_EQ(test_support::values_of(*s, x, p), std::vector<double>(x.size(), 0.0));
    EXPECT_EQ(s->display_name(), L"FreeVar");
    std::vector<unsigned> area{9};
    dynamic_cast<const IAAParam&>(*s).area_params(area);
    EXPECT_TRUE(area.empty());  // never shared out among components, never distributed
}

TEST(FreeVar, ItsNameIsItsModelData)
{
    const SubSpecPtr s = make_subspec<FreeVar>(nullptr);
    auto& data = dynamic_cast<ISubSpecData&>(*s);
    const auto& desc = dynamic_cast<const ISubSpecDesc&>(*s);
    ASSERT_TRUE(data.load_extra(L""));
    EXPECT_EQ(desc.description(), L"");
    EXPECT_EQ(data.save_extra(), L"0|Name|");

    KeywordList named;
    kwlist_set(named, L"Name", L"speed of sound");
    const SubSpecPtr other = make_subspec<FreeVar>(nullptr);
    ASSERT_TRUE(dynamic_cast<ISubSpecData&>(*other).load_extra(kwlist_to_string(named)));
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*other).description(), L"speed of sound");
    EXPECT_EQ(dynamic_cast<ISubSpecData&>(*other).save_extra(), kwlist_to_string(named));
    // A clone starts without the name.
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*other->clone()).description(), L"");
}

}  // namespace
