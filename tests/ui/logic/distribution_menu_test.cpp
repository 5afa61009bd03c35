// The distribution pane's context menu: the points a drag covers, the ties of the clicked
// distribution and the items they allow, the typed weights and their deviations, and the
// name an export proposes.
#include <gtest/gtest.h>

#include <cmath>

#include "subspec/distribution.h"
#include "tests/support/model_test_parts.h"
#include "ui/logic/distribution_menu.h"

namespace {

TEST(DistributionMenu, ADragCoversTheNearestPoints)
{
    struct Case {
        double x1, x2;
        std::optional<PointRange> range;
    };
    const Case cases[] = {
        {-0.7, 2.4, PointRange{0, 2}},  // points "1-3" in the dialogs
        {3.6, 12.0, PointRange{4, 9}},  // beyond the last point: the last
        {5.2, 3.1, std::nullopt},       // ends below its start: no menu
        {2.0, -3.0, PointRange{0, 9}},  // a negative end: from the first to the last
    };
    for (const Case& c : cases) EXPECT_EQ(drag_point_range(c.x1, c.x2, 10), c.range) << c.x1 << " " << c.x2;
}

TEST(DistributionMenu, TheTiesDecideTheItems)
{
    SpectrumModel model = model_test::model_of({model_test::baseline(), make_distribution(model_test::lorentz(), 4, {1}),
                                                make_distribution(model_test::lorentz(), 4, {1})});
    SubModel& a = *model.components[1];
    SubModel& b = *model.components[2];
    EXPECT_EQ(distribution_menu_items(distribution_ties(a), false),
              (std::vector<MenuItemState>{{DistInfo, true}, {DistSaveAs, false}, {DistLock, true},
                                          {DistLockShape, true}, {DistUnlock, true}, {DistWeight, true},
                                          {DistClear, true}, {DistClearAndLock, true}, {DistUnlink, false}}));

    // Every weight of b follows a's with one factor: linked.
    for (unsigned i = 0; i < 4; ++i) b.links[b.shown_count + i] = ParamLink{1, a.shown_count + i, LinkToParam, 2.0};
    const DistributionTies linked = distribution_ties(b);
    EXPECT_TRUE(linked.linked);
    EXPECT_EQ(linked.target, 1u);
    EXPECT_EQ(unlink_item_text(L"Unlink", linked), L"Unlink (=2.000 \u00D7 [1])");
    for (const MenuItemState& item : distribution_menu_items(linked, true))
        EXPECT_EQ(item.enabled,
                  item.id == DistInfo || item.id == DistSaveAs || item.id == DistWeight || item.id == DistUnlink)
            << item.id;

    // One of a's first two weights follows another of its own: shape locked.
    a.links[a.shown_count + 1] = ParamLink{1, a.shown_count + 2, LinkToParam, 1.0};
    const DistributionTies locked = distribution_ties(a);
    EXPECT_TRUE(locked.shape_locked);
    for (const MenuItemState& item : distribution_menu_items(locked, false))
        EXPECT_EQ(item.enabled, item.id == DistInfo || item.id == DistUnlock || item.id == DistWeight) << item.id;
}

TEST(DistributionMenu, TypedWeightsAndTheirDeviations)
{
    const auto weight = [](const wchar_t* text) { return read_typed_weight(text); };
    ASSERT_TRUE(weight(L"*2"));
    EXPECT_TRUE(weight(L"*2")->multiply);
    EXPECT_DOUBLE_EQ(weight_deviation_argument(*weight(L"*2")), -1.0 / std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(weight_deviation_argument(*weight(L"2")), 1.0 / std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(weight_deviation_argument(*weight(L"0")), 100000.0);
    EXPECT_DOUBLE_EQ(weight_deviation_argument(*weight(L"*0")), 100000.0);
    EXPECT_FALSE(weight(L"x"));
    EXPECT_FALSE(weight(L"*"));
}

TEST(DistributionMenu, TheExportIsNamedAfterTheModelElseTheSpectrum)
{
    EXPECT_EQ(distribution_file_name(L"C:\\data\\fe.mdl", L"C:\\data\\x.spc", 1), L"fe-D2");
    EXPECT_EQ(distribution_file_name(L"", L"/data/fe77.spc", 0), L"fe77-D1");
    EXPECT_EQ(distribution_file_name(L"", L"", 0), L"");
}

}  // namespace
