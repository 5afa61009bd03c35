// Components, distributions and the whole model: the per-parameter vectors, the
// covariance and the links through insertions, removals, resizes and replacements.
#include <gtest/gtest.h>

#include "core/document/change_records.h"
#include "core/document/model_distributions.h"
#include "tests/support/document_test_parts.h"

namespace {

using document_test::add;
using document_test::Snapshot;

// A covariance whose entry (i, j) names its indices: 100·i + j.
void number_covariance(ModelState& d)
{
    const std::size_t n = d.model.param_count();
    d.covariance = DMatrix(n, n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            d.covariance(i, j) = 100.0 * i + j;
}

TEST(Components, FirstBaselineAddedByTheProgramIsNoChange)
{
    ModelState d;
    d.add_component(0, SpectrumAnalysis(), model_test::baseline(), false);
    EXPECT_FALSE(d.model_history.is_modified());
    ModelState e;
    e.add_component(0, SpectrumAnalysis(), model_test::baseline(), true);
    EXPECT_TRUE(e.model_history.is_modified());
}

TEST(Components, AnInsertionThatFailsLeavesTheDocumentAndItsHistoryAsTheyWere)
{
    ModelState d;
    add(d, model_test::baseline());
    add(d, model_test::lorentz());
    d.add_expression(0, L"E", L"[1:I]*2");
    const Snapshot before(d);
    const std::size_t records = d.model_history.records().size();
    for (unsigned at : {0u, 1u, 2u}) {
        EXPECT_THROW(d.add_component(at, SpectrumAnalysis(), SubSpecPtr(new model_test::AreaFailsSubSpec), true),
                     std::runtime_error);
        EXPECT_EQ(Snapshot(d).difference(before), "");
        EXPECT_EQ(d.model_history.records().size(), records);
    }
    // Later additions go on as usual.
    add(d, model_test::lorentz());
    EXPECT_TRUE(document_test::vectors_fit_model(d));
    EXPECT_EQ(d.model.expressions[0].text, L"[1:I]*2");
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST(Components, AreasAreSharedOutButABaselineLevelIsNot)
{
    ModelState d;
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    EXPECT_EQ(d.values(3), 1.0 / 1.0);
    add(d, model_test::lorentz());
    EXPECT_EQ(d.values(6), 0.5);
    add(d, model_test::baseline());  // goes first, at the full level
    EXPECT_EQ(d.model.components[0]->first, 0u);
    EXPECT_EQ(d.values(0), SpectrumAnalysis().N0);
}

TEST(Components, NewBaselineReplacesTheOldAndUndoBringsItBack)
{
    ModelState d;
    add(d, model_test::baseline());
    add(d, model_test::lorentz());
    d.set_param(0, 123.0);
    d.set_flags(1, 2, ParamFree, ParamFree);
    d.add_link({0, 0, LinkToParam, 1, 0, 1e-3});
    const Snapshot before(d);
    add(d, model_test::auto_baseline());
    EXPECT_EQ(d.model.component_count(), 2u);
    EXPECT_NE(d.model.components[0]->subspec.get(), before.components[0].subspec);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST(Components, DeletingAMiddleComponentKeepsEveryOtherParametersCovariance)
{
    ModelState d;
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    number_covariance(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDelModel>(d, 1));
    ASSERT_EQ(d.covariance.size1(), 6u);
    const std::size_t old_index[6] = {0, 1, 2, 6, 7, 8};
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t j = 0; j < 6; ++j)
            EXPECT_EQ(d.covariance(i, j), 100.0 * old_index[i] + old_index[j]);
    EXPECT_EQ(d.singular_directions.size1(), 0u);
}

TEST(Components, DeletionUndoRestoresLinksIntoItAndExpressionLinksOfOthers)
{
    ModelState d;
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    d.add_expression(0, L"W", L"[1:Γ]*2");
    d.add_link({1, 2, LinkToParam, 0, 2, 1.0});  // [0:Γ] = [1:Γ]
    d.add_link({0, 0, LinkToExpr, 2, 2, 1.0});   // [2:Γ] = W
    d.add_link({1, 0, LinkToParam, 1, 1, 1.0});  // its own δ follows its own I
    const Snapshot before(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDelModel>(d, 1));
    EXPECT_EQ(d.model.expressions[0].text, L"[?:Γ]*2");
    EXPECT_EQ(d.model.components[1]->links[2].kind, NotLinked);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
    d.delete_all_components();
    EXPECT_EQ(d.model.component_count(), 0u);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST(Components, WholeModelReplacementStartsWithoutACovariance)
{
    ModelState d;
    add(d, model_test::lorentz());
    number_covariance(d);
    SpectrumModel other = model_test::model_of({model_test::baseline(), model_test::lorentz()});
    DVector v(6, 1.0), lower(6, -1.0), upper(6, 9.0);
    const Snapshot before(d);
    d.model_history.push(
        std::make_shared<ModelState::ChangeRecordWholeModel>(d, other, v, std::vector<int>(6, 1), lower, upper));
    ASSERT_EQ(d.covariance.size1(), 6u);
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t j = 0; j < 6; ++j)
            EXPECT_EQ(d.covariance(i, j), 0.0);
    EXPECT_EQ(document_test::as_vector(d.fit_values), document_test::as_vector(v));
    d.model_history.undo(d);
    // The model, values, fit values, bounds and flags of before; the covariance is the
    // new layout's zeros, of the same size.
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

// A 10-point distribution behind a line, and a line after it.
struct Distributions : ::testing::Test {
    ModelState d;
    Distributions()
    {
        add(d, model_test::lorentz());
        add(d, document_test::distribution(10));
        add(d, model_test::lorentz());
    }
    const SubModel& c(unsigned k) const { return *d.model.components[k]; }
    unsigned points(unsigned k) const { return c(k).distribution()->point_count(); }
};

TEST_F(Distributions, ResizeKeepsEverythingAroundTheWeightsAndEveryVectorsLength)
{
    const SubModel& dist = c(1);
    d.lower_bounds(dist.first + dist.shown_count) = -2.0;
    d.flags[dist.first + dist.shown_count] = 0;
    d.set_param(c(2).first + 1, 0.75);
    const Snapshot before(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 1, 4));
    ASSERT_EQ(points(1), 4u);
    EXPECT_TRUE(document_test::vectors_fit_model(d));
    EXPECT_EQ(d.fit_values.size(), d.values.size());
    for (unsigned j = 0; j < 4; ++j) {
        EXPECT_EQ(d.lower_bounds(c(1).first + c(1).shown_count + j), -2.0);
        EXPECT_EQ(d.flags[c(1).first + c(1).shown_count + j], 0);
    }
    EXPECT_EQ(d.values(c(2).first + 1), 0.75);
    EXPECT_EQ(d.values(c(1).first), before.values[c(1).first]);
    // A later insertion and accepting values work on the new length.
    add(d, model_test::lorentz());
    d.accept_fit_values(d.fit_values);
    d.model_history.undo(d), d.model_history.undo(d), d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST_F(Distributions, FollowersKeepTheirPointCountAndFactor)
{
    add(d, document_test::distribution(10));  // component 3
    d.link_distribution(1, 3, 2.0);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 1, 6));
    EXPECT_EQ(points(3), 6u);
    unsigned target;
    double factor;
    ASSERT_TRUE(c(3).get_distribution_link(target, factor));
    EXPECT_EQ(target, 1u);
    EXPECT_EQ(factor, 2.0);
    for (unsigned j = 0; j < 6; ++j)
        EXPECT_EQ(c(3).links[c(3).shown_count + j].target_param, c(1).shown_count + j);
    // The follower resized resizes the one it follows first.
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 3, 8));
    EXPECT_EQ(points(1), 8u);
    EXPECT_EQ(points(3), 8u);
    EXPECT_TRUE(c(3).get_distribution_link(target, factor));
}

TEST_F(Distributions, WeightLinksNeedOnePointCount)
{
    add(d, document_test::distribution(5));  // component 3
    link_distribution_weights(d.model, 1, 3, 1.0);
    EXPECT_EQ(c(3).links[c(3).shown_count].kind, NotLinked);
}

TEST_F(Distributions, LinkingToAnotherCountResizesFirstAndUndoesInOneStep)
{
    add(d, document_test::distribution(20));  // component 3
    d.add_link({0, 0, LinkToParam, 1, c(1).shown_count + 4, 1.0});  // one weight linked on its own
    const Snapshot before(d);
    d.link_distribution(3, 1, 1.0);
    EXPECT_EQ(points(1), 20u);
    d.model_history.undo(d);
    EXPECT_EQ(points(1), 10u);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST_F(Distributions, UnlinkUndoGivesBackOnlyTheLinksThatWere)
{
    // Some weights linked one by one: no full follow; unlinking and undoing must not
    // link the others.
    d.add_link({0, 0, LinkToParam, 1, c(1).shown_count + 0, 1.0});
    d.add_link({0, 1, LinkToParam, 1, c(1).shown_count + 1, 1.0});
    const Snapshot before(d);
    d.unlink_distribution(1);
    EXPECT_EQ(c(1).links[c(1).shown_count].kind, NotLinked);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST_F(Distributions, RatioLinkFollowsTheLargestWeight)
{
    add(d, document_test::distribution(3));  // component 3
    const std::size_t w = c(3).first + c(3).shown_count;
    d.add_link({0, 0, LinkToParam, 3, c(3).shown_count + 2, 0.5});  // an earlier link of weight 2
    d.set_params(w, w + 1, 1.0), d.set_params(w + 1, w + 2, 4.0), d.set_params(w + 2, w + 3, 2.0);
    const Snapshot before(d);
    d.link_distribution(3, 3, 1.0);
    const auto& links = c(3).links;
    EXPECT_EQ(links[c(3).shown_count + 0], (ParamLink{3, c(3).shown_count + 1, LinkToParam, 0.25}));
    EXPECT_EQ(links[c(3).shown_count + 2], (ParamLink{3, c(3).shown_count + 1, LinkToParam, 0.5}));
    EXPECT_EQ(links[c(3).shown_count + 1].kind, NotLinked);
    EXPECT_EQ(d.values(w + 2), 2.0);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");  // weight 2's own link is back

    d.set_params(w, w + 3, -1.0);
    d.link_distribution(3, 3, 1.0);
    for (unsigned j = 0; j < 2; ++j)
        EXPECT_EQ(c(3).links[c(3).shown_count + j].kind, NotLinked);
}

TEST_F(Distributions, FixingPointsClearsOnlyTheirFreeFlags)
{
    const std::vector<int> start = d.flags;
    EXPECT_TRUE(d.fix_distribution_points(1, 2, 4, true));
    for (unsigned j = 0; j < 10; ++j)
        EXPECT_EQ(d.flags[c(1).first + c(1).shown_count + j] & ParamFree, j >= 2 && j <= 4 ? 0 : 1) << j;
    EXPECT_FALSE(d.fix_distribution_points(1, 2, 10, true));
    EXPECT_FALSE(d.fix_distribution_points(0, 0, 0, true));
    d.model_history.undo(d);
    EXPECT_EQ(d.flags, start);
}

TEST_F(Distributions, EndValueEditIsOneStep)
{
    const Snapshot before(d);
    const std::size_t history = d.model_history.records().size();
    d.set_param(c(1).first + 1, 2.0);  // the end value of the spread position
    EXPECT_EQ(d.model_history.records().size(), history + 1);
    EXPECT_EQ(d.values(c(1).first + 1), 2.0);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST_F(Distributions, StatisticsGridIsOneStepAndNoStepWhenUnchanged)
{
    const std::size_t history = d.model_history.records().size();
    d.set_distribution_marks(0, {{0, 4}, {6, 9}});
    ASSERT_EQ(d.model_history.records().size(), history + 1);
    PointRangeList marks;
    d.model.marked_ranges(0, marks);
    EXPECT_EQ(marks, (PointRangeList{{0, 4}, {6, 9}}));
    d.set_distribution_marks(0, {{0, 4}, {6, 9}});  // the same grid
    d.set_distribution_marks(1, {{0, 4}});          // no second distribution
    EXPECT_EQ(d.model_history.records().size(), history + 1);
    d.model_history.undo(d);
    d.model.marked_ranges(0, marks);
    EXPECT_TRUE(marks.empty());
    d.model_history.redo(d);
    d.model.marked_ranges(0, marks);
    EXPECT_EQ(marks.size(), 2u);
}

}  // namespace

TEST_F(Distributions, UndoOfResizesInAChainOfFollowersGivesBackEachState)
{
    add(d, document_test::distribution(10));  // component 3 follows 1
    add(d, document_test::distribution(10));  // component 4 follows 3
    d.link_distribution(1, 3, 1.0);
    d.link_distribution(3, 4, 2.0);
    const Snapshot start(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 4, 6));
    ASSERT_TRUE(document_test::vectors_fit_model(d));
    const Snapshot middle(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d, 3, 8));
    ASSERT_TRUE(document_test::vectors_fit_model(d));
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(middle), "");
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(start), "");
    d.model_history.redo(d);
    EXPECT_EQ(Snapshot(d).difference(middle), "");
}
