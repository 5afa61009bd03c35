// The document's plain records and operations: a new document, the slice helpers,
// values and their links, deviations, flags, expressions and excluded ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/document/vector_edits.h"
#include "core/document/xrange_edits.h"
#include "tests/support/document_test_parts.h"

namespace {

using document_test::add;
using document_test::Snapshot;

TEST(DocumentState, NewDocumentIsEmptyAndUnchanged)
{
    ModelState d;
    EXPECT_EQ(d.model.component_count(), 0u);
    EXPECT_EQ(d.values.size(), 0u);
    EXPECT_EQ(d.covariance.size1(), 0u);
    for (const ChangeHistory* h : {&d.model_history, &d.spectrum_history}) {
        EXPECT_FALSE(h->can_undo());
        EXPECT_FALSE(h->can_redo());
        EXPECT_FALSE(h->is_modified());
    }
    EXPECT_LT(d.model.scale, 0.0);
    EXPECT_EQ(d.model.level, SpectrumAnalysis().N0);
}

TEST(DocumentState, SliceHelpersCheckBeforeTheyChange)
{
    DVector v(4);
    for (int i = 0; i < 4; ++i)
        v(i) = i;
    delete_elements(v, 2, 2);
    EXPECT_EQ(document_test::as_vector(v), (std::vector<double>{0, 1}));
    EXPECT_THROW(delete_elements(v, 1, 2), std::out_of_range);
    EXPECT_EQ(v.size(), 2u);
    insert_elements(v, 1, 2);
    EXPECT_EQ(document_test::as_vector(v), (std::vector<double>{0, 0, 0, 1}));
    std::vector<int> f{1, 2};
    EXPECT_THROW(insert_elements(f, 3, 1), std::out_of_range);
    EXPECT_EQ(f, (std::vector<int>{1, 2}));
}

TEST(DocumentState, CommentsAreJoined)
{
    ModelState d;
    d.data.make_velocity_axis(8, -1.0, 1.0);
    d.append_spectrum_comment(L"A");
    std::wstring comment;
    ASSERT_TRUE(kwlist_find(d.data.keywords, L"Comment", comment));
    EXPECT_EQ(comment, L"A");
    d.append_spectrum_comment(L"B");
    kwlist_find(d.data.keywords, L"Comment", comment);
    EXPECT_EQ(comment, L"A, B");
    EXPECT_FALSE(d.spectrum_history.can_undo());
}

// A property editor that reports what it is told and counts its runs.
struct Editor : ISubSpecProperties {
    bool changes;
    int runs = 0;
    explicit Editor(bool c) : changes(c) {}
    bool edit_properties() override
    {
        ++runs;
        return changes;
    }
};

TEST(DocumentState, PropertyEditsRecompileOnlyWhenSomethingChanged)
{
    ModelState d;
    add(d, model_test::lorentz());
    d.add_expression(0, L"A", L"[0:I]*2");
    const ExprPtr compiled = d.model.expressions[0].expr;
    const std::size_t records = d.model_history.records().size();
    Editor unchanged(false), changed(true);
    EXPECT_FALSE(d.edit_component_properties(unchanged));
    EXPECT_EQ(d.model.expressions[0].expr, compiled);
    EXPECT_TRUE(d.edit_component_properties(changed));
    EXPECT_NE(d.model.expressions[0].expr, compiled);
    EXPECT_EQ(unchanged.runs + changed.runs, 2);
    EXPECT_EQ(d.model_history.records().size(), records);
    EXPECT_FALSE(d.spectrum_history.can_undo());
}

TEST(DocumentState, VariedIsFreeUnlockedAndUnlinked)
{
    ModelState d;
    add(d, model_test::lorentz());
    EXPECT_TRUE(d.is_varied(0));
    d.set_flags(0, 1, ParamLocked, ParamLocked);
    EXPECT_FALSE(d.is_varied(0));
    d.add_link({0, 0, LinkToParam, 0, 1, 1.0});
    EXPECT_FALSE(d.is_varied(1));
    EXPECT_TRUE(d.is_varied(2));
    EXPECT_THROW(d.is_varied(3), std::runtime_error);
}

// Q follows P, R follows Q; Q and R were set apart from their links before.
struct Chain : ::testing::Test {
    ModelState d;
    Chain()
    {
        add(d, model_test::lorentz());  // I (P), δ (Q), Γ (R)
        d.add_link({0, 0, LinkToParam, 0, 1, 2.0});
        d.add_link({0, 1, LinkToParam, 0, 2, 3.0});
        d.set_params(1, 3, 7.0);
    }
};

TEST_F(Chain, ParamRecomputesDirectDependantsAndUndoRestoresThemExactly)
{
    const Snapshot before(d);
    d.set_param(0, 5.0);
    EXPECT_EQ(d.values(1), 10.0);
    EXPECT_EQ(d.values(2), 7.0);  // not through Q
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST_F(Chain, AcceptedValuesUndoToTheValuesBefore)
{
    const Snapshot before(d);
    DVector v = d.values;
    v(0) = 4.0;
    d.accept_fit_values(v);
    EXPECT_EQ(d.values(1), 8.0);
    EXPECT_EQ(d.values(2), 24.0);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
    d.model_history.redo(d);
    EXPECT_EQ(d.values(2), 24.0);
}

TEST(DocumentRecords, SpectrumThroughItsKeywordList)
{
    ModelState d;
    d.data.make_velocity_axis(16, -2.0, 2.0);
    d.data.set_counts_and_std_dev(std::vector<double>(16, 1000.0), std::vector<double>(16, 30.0));
    d.data.store_keywords();
    const KeywordList before = d.data.keywords;
    d.data.set_counts_and_std_dev(std::vector<double>(16, 2000.0), std::vector<double>(16, 40.0));
    d.spectrum_history.push(std::make_shared<ModelState::ChangeRecordData>(d, before));
    EXPECT_EQ(d.model.level, 2000.0);  // the levels follow the spectrum
    d.spectrum_history.undo(d);
    EXPECT_EQ(d.data.y(), std::vector<double>(16, 1000.0));
    EXPECT_EQ(d.model.level, 1000.0);
    d.spectrum_history.redo(d);
    EXPECT_EQ(d.data.y(), std::vector<double>(16, 2000.0));
    // A second edit starts from the first one's state after (the two share it).
    const KeywordList middle = d.data.keywords;
    d.data.set_counts_and_std_dev(std::vector<double>(16, 3000.0), std::vector<double>(16, 50.0));
    d.spectrum_history.push(std::make_shared<ModelState::ChangeRecordData>(d, middle));
    d.spectrum_history.undo(d), d.spectrum_history.undo(d);
    EXPECT_EQ(d.data.y(), std::vector<double>(16, 1000.0));
    d.spectrum_history.redo(d), d.spectrum_history.redo(d);
    EXPECT_EQ(d.data.y(), std::vector<double>(16, 3000.0));

    // A list that no longer reads as a spectrum leaves an empty one.
    d.spectrum_history.push(
        std::make_shared<ModelState::ChangeRecordData>(d, KeywordList{{L"Comment", KWData{L"no data"}}}));
    d.spectrum_history.undo(d);
    EXPECT_TRUE(d.data.x().empty());
    EXPECT_EQ(d.model.level, SpectrumAnalysis().N0);
}

TEST(DocumentRecords, DeviationTable)
{
    ModelState d;
    add(d, document_test::distribution(2));
    IDistribution& dist = *d.model.components[0]->distribution();
    dist.set_point_deviations(0, {1.0, 200.0});
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDistYDev>(d, 0, 0, 2, -2.0));
    EXPECT_EQ(dist.point_deviations(), (std::vector<double>{2.0, 316.2277660168379}));
    d.model_history.undo(d);
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDistYDev>(d, 0, 0, 2, 0.5));
    EXPECT_EQ(dist.point_deviations(), (std::vector<double>{0.5, 0.5}));
    d.model_history.undo(d);
    EXPECT_EQ(dist.point_deviations(), (std::vector<double>{1.0, 200.0}));
    // No such distribution: nothing.
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDistYDev>(d, 3, 0, 2, 0.5));
    d.model_history.undo(d);
    EXPECT_EQ(dist.point_deviations(), (std::vector<double>{1.0, 200.0}));
}

TEST(DocumentRecords, FlagsSetClearAndToggle)
{
    ModelState d;
    add(d, model_test::lorentz());
    const std::vector<int> start = d.flags;  // all free
    d.set_flags(0, 2, 0, ParamFree);
    EXPECT_EQ(d.flags, (std::vector<int>{0, 0, 1}));
    d.set_flags(1, 3, ParamLocked, ParamLocked);
    EXPECT_EQ(d.flags, (std::vector<int>{0, 2, 3}));
    d.set_flags(2, 2, ParamFree, 0);  // empty range: an empty change
    d.model_history.undo(d), d.model_history.undo(d), d.model_history.undo(d);
    EXPECT_EQ(d.flags, start);
}

TEST(DocumentRecords, DirectionPushesEvenWithoutAChange)
{
    ModelState d;
    d.set_direction(true);
    d.set_direction(true);
    d.model_history.undo(d);
    EXPECT_TRUE(d.model.is_emission());
    d.model_history.undo(d);
    EXPECT_FALSE(d.model.is_emission());
    EXPECT_EQ(d.model.level, SpectrumAnalysis().N0);
}

TEST(XRangeInterval, Table)
{
    struct Case {
        std::vector<XRange> in;
        double a, b;
        std::vector<XRange> out;
    };
    const Case cases[] = {
        {{{0, 10}}, 2, 3, {{0, 2}, {3, 10}}},
        {{{2.5, 5}}, 2, 3, {{3, 5}}},
        {{{-1, 2.5}}, 2, 3, {{-1, 2}}},
        {{{2, 2.5}}, 2, 3, {}},
        {{{2, 10}}, 2, 3, {{2, 2}, {3, 10}}},  // the zero-width range stays
        {{{0, 1}, {2, 2.5}, {4, 5}}, 2, 3, {{0, 1}, {4, 5}}},
    };
    for (const Case& c : cases) {
        std::vector<XRange> r = c.in;
        remove_xrange_interval(r, c.a, c.b);
        EXPECT_EQ(r, c.out);
    }
}

TEST(XRangeRecords, DeleteAndUndo)
{
    ModelState d;
    d.add_xrange({0, 10});
    d.delete_xrange(2, 3);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{0, 2}, {3, 10}}));
    d.spectrum_history.undo(d);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{0, 10}}));
    EXPECT_TRUE(d.model_history.records().empty());
}

TEST(XRangeRecords, UndoOnOneHistoryKeepsRangesOfTheOther)
{
    // A range added, all removed (as deleting the points in them does, on the model
    // history), another range added; undoing the removal brings the first back and
    // keeps the second.
    ModelState d;
    d.add_xrange({0, 1});
    const std::vector<XRange> before = d.model.xranges;
    d.model.xranges.clear();
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDelXRAll>(before, d.model.xranges));
    d.add_xrange({5, 6});
    d.model_history.undo(d);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{0, 1}, {5, 6}}));
    d.spectrum_history.undo(d);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{0, 1}}));
    d.model_history.redo(d);
    EXPECT_TRUE(d.model.xranges.empty());
}

TEST(ExpressionRecords, DeletedExpressionComesBackWithItsLinks)
{
    ModelState d;
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    d.add_expression(0, L"A", L"[0:I]*2");
    d.add_expression(1, L"B", L"[0:Γ]+1");
    d.add_link({1, 0, LinkToExpr, 1, 2, 1.0});  // [1:Γ] = B
    d.add_link({0, 0, LinkToExpr, 1, 0, 0.5});  // [1:I] = A/2
    const Snapshot before(d);
    d.delete_all_expressions();
    EXPECT_EQ(d.model.components[1]->links[2].kind, NotLinked);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST(ExpressionRecords, ReplacementThatDoesNotCompileUndoesWithItsLinks)
{
    ModelState d;
    add(d, model_test::lorentz());
    d.add_expression(0, L"A", L"[0:I]*2");
    d.add_expression(1, L"B", L"<A>+1");
    d.add_link({1, 0, LinkToExpr, 0, 2, 1.0});  // linked to B, which uses A
    const Snapshot before(d);
    d.replace_expression(0, L"A", L"((");
    EXPECT_EQ(d.model.components[0]->links[2].kind, NotLinked);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
}

TEST(LinkRecords, RelinkUndoesToTheOldTargetAndFactor)
{
    ModelState d;
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    d.set_param(4, 3.0);
    d.add_link({0, 1, LinkToParam, 1, 1, 2.0});
    const Snapshot linked(d);
    d.add_link({0, 2, LinkToParam, 1, 1, 5.0});
    EXPECT_EQ(d.values(4), 1.5);
    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(linked), "");
    // A link to an expression that does not exist changes nothing.
    EXPECT_THROW(d.add_link({0, 0, LinkToExpr, 1, 1, 1.0}), std::runtime_error);
    EXPECT_EQ(Snapshot(d).difference(linked), "");
}

}  // namespace
