// The main window's document commands on the document: each is one undo step that
// brings the document back exactly; drawing a distribution is one step per gesture;
// clearing a changed spectrum goes on only after No or a save that succeeded.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/document/change_records.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/spectrum_texts.h"
#include "ui/logic/document_commands.h"

namespace {

using document_test::add;
using document_test::Snapshot;

// A baseline, a line linked to nothing, a line whose position follows the first line's,
// a distribution of 6 points and one user expression, on a 64-channel spectrum.
void build(ModelState& d)
{
    d.data.load_text(test_support::counts_text());
    d.set_levels_from_spectrum();
    add(d, model_test::baseline());
    add(d, model_test::lorentz());
    add(d, model_test::lorentz());
    add(d, document_test::distribution(6));
    d.add_expression(0, L"A", L"[1:I]*2");
    d.add_link({1, 1, LinkToParam, 2, 1, 1.0});
    d.fit_values = d.values;
    d.fit_values(4) = 0.125;
}

std::wstring stored_spectrum(ModelState& d)
{
    d.data.store_keywords();
    return kwlist_to_string(d.data.keywords);
}

TEST(DocumentCommands, EachIsOneStepThatUndoesExactly)
{
    struct Command {
        const char* name;
        std::function<void(ModelState&)> run;
        bool spectrum;  // a step of the spectrum history, else of the model history
    };
    DistributionDrawing drawing;
    const Command commands[] = {
        {"unlink", [](ModelState& d) { EXPECT_TRUE(unlink_grid_cell(d, 2, 4, 6)); }, false},
        {"emission", [](ModelState& d) { toggle_emission(d); }, false},
        {"delete all components", [](ModelState& d) { d.delete_all_components(); }, false},
        {"delete all expressions", [](ModelState& d) { d.delete_all_expressions(); }, false},
        {"accept", [](ModelState& d) { d.accept_fit_values(d.fit_values); }, false},
        {"add range", [](ModelState& d) { EXPECT_TRUE(apply_range_gesture(d, 0, -0.5, 0.5)); }, true},
        {"draw",
         [&](ModelState& d) {
             EXPECT_TRUE(drawing.draw(d, 0, 0.0, 1.0, 1.0, 2.0));
             EXPECT_TRUE(drawing.draw(d, 0, 1.0, 2.0, 3.0, 0.5));
             EXPECT_TRUE(drawing.draw(d, 0, 3.0, 0.5, 5.0, 4.0));
         },
         false},
        {"clear", [](ModelState& d) { d.clear_spectrum(); }, true},
        {"decimate", [](ModelState& d) { EXPECT_TRUE(d.decimate_spectrum()); }, true},
        {"invert", [](ModelState& d) { EXPECT_TRUE(d.invert_spectrum()); }, true},
        {"difference as data", [](ModelState& d) { d.use_difference_as_data(); }, true},
    };
    for (const Command& c : commands) {
        SCOPED_TRACE(c.name);
        ModelState d;
        build(d);
        const Snapshot before(d);
        const std::wstring spectrum_before = stored_spectrum(d);
        const std::size_t spectrum_steps = d.spectrum_history.records().size();
        const std::size_t model_steps = d.model_history.records().size();

        c.run(d);
        ChangeHistory& history = c.spectrum ? d.spectrum_history : d.model_history;
        EXPECT_EQ(history.records().size(), (c.spectrum ? spectrum_steps : model_steps) + 1);
        const bool spectrum_changed = stored_spectrum(d) != spectrum_before;
        const bool changed = !(Snapshot(d) == before) || spectrum_changed;
        EXPECT_TRUE(changed);

        history.undo(d);
        // Decimate and invert move the baseline level too, as a step of its own.
        if (d.model_history.records().size() > model_steps && c.spectrum)
            d.model_history.undo(d);
        const Snapshot after_undo(d);
        EXPECT_TRUE(after_undo == before) << after_undo.difference(before);
        EXPECT_EQ(stored_spectrum(d), spectrum_before);
    }
}

TEST(DocumentCommands, SegmentWeightsTable)
{
    SpectrumModel model;
    model.insert_component(0, document_test::distribution(8));
    struct Case {
        double x1, y1, x2, y2;
        std::vector<double> expected;  // weights of points first, first + 1, …
        unsigned first;
    };
    const Case cases[] = {
        {1.6, 6.0, 4.4, 0.4, {5.2, 3.2, 1.2}, 2},
        {4.4, 0.4, 1.6, 6.0, {5.2, 3.2, 1.2}, 2},  // drawn leftwards
        {-0.6, 1.0, 3.0, -2.6, {0.4, 0.0, 0.0, 0.0}, 0},
        {2.2, 3.0, 2.2, 9.0, {3.0}, 2},                   // a vertical move sets one point
        {6.0, 1.0, 1e12, 1.0, {1.0, 1.0}, 6},             // held to the last point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x1);
        const auto weights = segment_weights(model, 0, c.x1, c.y1, c.x2, c.y2);
        ASSERT_EQ(weights.size(), c.expected.size());
        for (std::size_t k = 0; k < weights.size(); ++k) {
            unsigned index = 0;
            ASSERT_TRUE(model.distribution_point_param(0, c.first + static_cast<unsigned>(k), index));
            EXPECT_EQ(weights[k].first, index);
            EXPECT_NEAR(weights[k].second, c.expected[k], 1e-12);
        }
    }
    EXPECT_TRUE(segment_weights(model, 1, 0.0, 1.0, 2.0, 1.0).empty());  // no second distribution
    EXPECT_TRUE(segment_weights(model, 0, std::nan(""), 1.0, 2.0, 1.0).empty());
}

TEST(DocumentCommands, OneGestureIsOneStep)
{
    ModelState d;
    build(d);
    DistributionDrawing drawing;
    const std::size_t steps = d.model_history.records().size();
    drawing.draw(d, 0, 0.0, 1.0, 1.0, 1.0);
    drawing.draw(d, 0, 1.0, 1.0, 2.0, 1.0);
    EXPECT_EQ(d.model_history.records().size(), steps + 1);
    // A segment that does not start where the last ended is a new gesture.
    drawing.draw(d, 0, 4.0, 1.0, 5.0, 1.0);
    EXPECT_EQ(d.model_history.records().size(), steps + 2);
    // So is one after another edit.
    d.set_param(0, 7.0);
    drawing.draw(d, 0, 5.0, 1.0, 4.0, 2.0);
    EXPECT_EQ(d.model_history.records().size(), steps + 4);
    // And one after the gesture's step was undone.
    d.model_history.undo(d);
    drawing.draw(d, 0, 4.0, 2.0, 3.0, 2.0);
    EXPECT_EQ(d.model_history.records().size(), steps + 4);

    // Weights that follow another distribution are not drawn.
    ModelState linked;
    build(linked);
    add(linked, document_test::distribution(6));
    linked.link_distribution(3, 4, 1.0);
    const std::size_t linked_steps = linked.model_history.records().size();
    EXPECT_FALSE(drawing.draw(linked, 1, 0.0, 1.0, 2.0, 1.0));
    EXPECT_EQ(linked.model_history.records().size(), linked_steps);
}

TEST(DocumentCommands, AChangedSpectrumIsOfferedForSavingBeforeItGoes)
{
    struct Case {
        const char* name;
        SaveQuestionAnswer answer;
        bool save_succeeds;
        bool may_go;
    };
    const Case cases[] = {
        {"cancel", SaveQuestionAnswer::cancel, true, false},
        {"no", SaveQuestionAnswer::no, true, true},
        {"yes, saved", SaveQuestionAnswer::yes, true, true},
        {"yes, save failed", SaveQuestionAnswer::yes, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelState d;
        build(d);
        d.invert_spectrum();
        int asked = 0, saves = 0;
        const bool may_go = spectrum_may_go(
            d,
            [&] {
                ++asked;
                return c.answer;
            },
            [&] {
                ++saves;
                if (c.save_succeeds)
                    d.spectrum_history.mark_saved();
                return c.save_succeeds;
            });
        EXPECT_EQ(may_go, c.may_go);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(saves, c.answer == SaveQuestionAnswer::yes ? 1 : 0);
        EXPECT_FALSE(d.data.x_data.empty());  // asking changes nothing
    }

    // An unchanged spectrum goes without a question.
    ModelState d;
    build(d);
    EXPECT_TRUE(spectrum_may_go(
        d, [] { return SaveQuestionAnswer::cancel; }, [] { return false; }));
}

TEST(DocumentCommands, CellsAndRangesThatDoNothing)
{
    ModelState d;
    build(d);
    const Snapshot before(d);
    EXPECT_FALSE(unlink_grid_cell(d, 1, 3, 6));   // not linked
    EXPECT_FALSE(unlink_grid_cell(d, 2, 2, 6));   // the name column
    EXPECT_FALSE(unlink_grid_cell(d, 2, 6, 6));   // past the component's parameters
    EXPECT_FALSE(unlink_grid_cell(d, 4, 3, 6));   // the expression's row
    EXPECT_FALSE(unlink_grid_cell(d, 2, 4, 2));   // past the grid's rows
    EXPECT_FALSE(unlink_grid_cell(d, -1, 4, 6));
    EXPECT_FALSE(apply_range_gesture(d, 0, 0.5, 0.5));
    EXPECT_FALSE(apply_range_gesture(d, 0, 0.5, -0.5));
    EXPECT_FALSE(apply_range_gesture(d, 2, -0.5, 0.5));
    EXPECT_TRUE(Snapshot(d) == before);
    EXPECT_FALSE(d.spectrum_history.can_undo());

    // Deleting in mode 1 takes the ends in either order.
    d.add_xrange({-1.0, 1.0});
    EXPECT_TRUE(apply_range_gesture(d, 1, 0.5, -0.5));
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{-1.0, -0.5}, {0.5, 1.0}}));

    EXPECT_EQ(component_of_grid_row(d, 3, 6), 3u);
    EXPECT_FALSE(component_of_grid_row(d, 4, 6));
}

}  // namespace
