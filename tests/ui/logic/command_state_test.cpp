// The command states as a function of a snapshot of the document, the grids, the plot
// and the fit: a table of situations and the states each must give.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "ui/logic/command_state.h"

namespace {

const CommandState& state(const std::vector<CommandState>& states, unsigned id)
{
    const auto it = std::find_if(states.begin(), states.end(), [id](const CommandState& c) { return c.id == id; });
    if (it == states.end())
        throw std::runtime_error("no state for command " + std::to_string(id));
    return *it;
}

CommandSnapshot fittable()
{
    CommandSnapshot s;
    s.points = 1024;
    s.has_components = true;
    return s;
}

struct Case {
    const char* name;
    std::function<void(CommandSnapshot&)> setup;
    std::set<unsigned> enabled, disabled;
};

}  // namespace

TEST(CommandState, EveryCommandOfTheMapGetsExactlyOneState)
{
    const std::vector<CommandState> states = command_states(CommandSnapshot{});
    std::set<unsigned> ids;
    for (const CommandState& c : states)
        EXPECT_TRUE(ids.insert(c.id).second) << "twice: " << c.id;
    for (const UpdateEntry& e : update_ui_map()) {
        if (e.elements != UpdateStatusBar)
            EXPECT_EQ(ids.count(e.id), 1u) << e.id;
    }
    EXPECT_EQ(ids.size() + 2, update_ui_map().size());
}

TEST(CommandState, FollowsTheDocumentTheGridsAndTheFit)
{
    const Case cases[] = {
        {"empty_document", [](CommandSnapshot&) {},
         {201, 251, 256, 262, 273, 260, 272, 204, 206, 340},
         {351, 352, 359, 205, 252, 253, 213, 215, 207, 363, 353, 355, 216, 209, 210, 257, 258, 208, 212, 357, 360}},
        {"one_point", [](CommandSnapshot& s) { s.points = 1; }, {213, 215, 208, 212, 357}, {207, 217, 211, 351}},
        {"two_points", [](CommandSnapshot& s) { s.points = 2; }, {207, 217, 211}, {}},
        {"fittable_idle", [](CommandSnapshot& s) { s = fittable(); }, {351, 352, 359, 205, 252, 253}, {363, 353}},
        {"running_freely", [](CommandSnapshot& s) { s = fittable(), s.fit_running = true; },
         {363, 353, 351}, {352}},
        {"waiting", [](CommandSnapshot& s) { s = fittable(), s.fit_running = s.fit_waiting = true; },
         {352, 353, 351}, {363}},
        {"histories", [](CommandSnapshot& s) { s.spectrum_can_undo = s.model_can_redo = true; },
         {209, 258}, {210, 257}},
        {"excluded_ranges", [](CommandSnapshot& s) { s.has_xranges = true; }, {216}, {}},
        {"results", [](CommandSnapshot& s) { s.results = true; }, {355, 356, 362, 361, 360}, {}},
        {"baseline_row", [](CommandSnapshot& s) { s.row = RowKind::Baseline, s.component_has_properties = true; },
         {991}, {255, 993, 278, 265}},
        {"component_row_whole",
         [](CommandSnapshot& s) { s.row = RowKind::Component, s.component_has_properties = true; },
         {255, 993, 278, 265, 991}, {264}},
        {"component_row_cell", [](CommandSnapshot& s) { s.row = RowKind::Component, s.column = 3; },
         {255, 278, 264}, {993, 265}},
        {"component_row_name_cell", [](CommandSnapshot& s) { s.row = RowKind::Component, s.column = 2; },
         {255}, {264, 993}},
        {"baseline_parameter_cell", [](CommandSnapshot& s) { s.row = RowKind::Baseline, s.column = 4; },
         {264}, {255}},
        {"expression_row", [](CommandSnapshot& s) { s.row = RowKind::Expression; }, {255, 993}, {278, 265, 264}},
        {"component_row_behind_results",
         [](CommandSnapshot& s) { s.row = RowKind::Component, s.page = GridPage::Results; },
         {991}, {255, 993, 278, 992}},
        {"correlations_without_row",
         [](CommandSnapshot& s) { s.row = RowKind::Component, s.page = GridPage::Correlations; }, {}, {991, 255}},
        {"correlations_with_row",
         [](CommandSnapshot& s) { s.page = GridPage::Correlations, s.correlation_has_row = true; }, {991}, {}},
        {"clipboard", [](CommandSnapshot& s) { s.clipboard_has_model_data = true; }, {992}, {}},
        {"clipboard_behind_results",
         [](CommandSnapshot& s) { s.clipboard_has_model_data = true, s.page = GridPage::Results; }, {}, {992}},
    };
    for (const Case& c : cases) {
        CommandSnapshot s;
        c.setup(s);
        const std::vector<CommandState> states = command_states(s);
        for (unsigned id : c.enabled)
            EXPECT_TRUE(state(states, id).enabled) << c.name << ": " << id;
        for (unsigned id : c.disabled)
            EXPECT_FALSE(state(states, id).enabled) << c.name << ": " << id;
    }
}

TEST(CommandState, TheDeleteItemNamesWhatItDeletes)
{
    CommandSnapshot s;
    const std::pair<RowKind, std::uint32_t> cases[] = {
        {RowKind::Component, 50055}, {RowKind::Expression, 50056}, {RowKind::Baseline, 0}, {RowKind::None, 0}};
    for (const auto& [row, text] : cases) {
        s.row = row;
        EXPECT_EQ(state(command_states(s), 255).text_message, text) << static_cast<int>(row);
    }
}

TEST(CommandState, ViewTogglesFollowThePlotsMaskAndOptionWord)
{
    const std::pair<unsigned, unsigned> toggles[] = {{301, 0x1},   {304, 0x8},    {305, 0x10},  {306, 0x20},
                                                     {307, 0x200}, {311, 0x4000}, {312, 0x2000}};
    for (const auto& [id, bit] : toggles) {
        CommandSnapshot s;
        s.plot_mask = 0x7FFF & ~bit;
        s.plot_options = bit;
        EXPECT_FALSE(state(command_states(s), id).enabled) << id;
        EXPECT_TRUE(state(command_states(s), id).checked) << id;
        s.plot_mask = bit;
        s.plot_options = 0x7FFF & ~bit;
        EXPECT_TRUE(state(command_states(s), id).enabled) << id;
        EXPECT_FALSE(state(command_states(s), id).checked) << id;
    }
    CommandSnapshot s;
    s.plot_options = 0x400;
    EXPECT_TRUE(state(command_states(s), 310).enabled);
    EXPECT_TRUE(state(command_states(s), 310).checked);
}

TEST(CommandState, ChecksFollowTheFramesModes)
{
    CommandSnapshot s;
    s.mouse_mode = 1;
    s.rounding = true;
    s.emission = true;
    const std::vector<CommandState> states = command_states(s);
    EXPECT_FALSE(state(states, 401).checked);
    EXPECT_TRUE(state(states, 402).checked);
    EXPECT_FALSE(state(states, 403).checked);
    EXPECT_TRUE(state(states, 309).checked);
    EXPECT_TRUE(state(states, 263).checked);
    s.emission = false;
    EXPECT_FALSE(state(command_states(s), 263).checked);
}
