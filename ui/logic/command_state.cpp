#include "ui/logic/command_state.h"

#include <initializer_list>

const std::vector<UpdateEntry>& update_ui_map()
{
    static const std::vector<UpdateEntry> map = [] {
        std::vector<UpdateEntry> m;
        auto add = [&m](std::initializer_list<unsigned> ids, unsigned elements) {
            for (unsigned id : ids)
                m.push_back({id, elements});
        };
        add({201, 202, 213, 216, 203, 204, 205, 206, 215, 207, 217, 211, 212, 208}, UpdateMenu);
        add({210, 209}, UpdateMenu | UpdateToolbar);
        add({251, 252, 253, 255, 256}, UpdateMenu);
        add({258, 257}, UpdateMenu | UpdateToolbar);
        add({259, 260, 272, 262, 273, 263, 264, 278, 265}, UpdateMenu);
        add({301, 304, 305, 306, 307, 309, 310, 311, 312, 340, 351, 352, 363, 353, 359},
            UpdateMenu | UpdateToolbar);
        add({355, 356, 362, 357, 360, 361}, UpdateMenu);
        add({401, 402, 403, 993, 991, 992}, UpdateMenu | UpdateToolbar);
        add({0, 1}, UpdateStatusBar);
        return m;
    }();
    return map;
}

std::vector<CommandState> command_states(const CommandSnapshot& s)
{
    std::vector<CommandState> out;
    auto set = [&out](std::initializer_list<unsigned> ids, bool enabled, bool checked = false) {
        for (unsigned id : ids)
            out.push_back({id, enabled, checked, 0});
    };
    const bool points = s.points > 0;
    const bool fittable = s.has_components && points;
    const bool params_visible = s.page == GridPage::Parameters;
    const bool non_baseline = params_visible && s.row == RowKind::Component;
    const bool deletable = params_visible && (s.row == RowKind::Component || s.row == RowKind::Expression);

    set({201}, true);
    set({203}, true);
    // Calibrating, adding to and tabulating a spectrum all need one.
    set({208, 212, 357}, points);
    set({202}, true);
    set({213}, points);
    set({204}, true);
    set({205}, fittable);
    set({206}, true);
    set({215}, points);
    set({207, 217, 211}, s.points > 1);
    set({216}, s.has_xranges);
    set({210}, s.spectrum_can_redo);
    set({209}, s.spectrum_can_undo);
    set({251}, true);
    set({252, 253}, s.has_components);
    set({256}, true);
    set({258}, s.model_can_redo);
    set({257}, s.model_can_undo);
    set({259, 260, 272, 262, 273}, true);
    set({263}, true, s.emission);
    out.push_back({255, deletable, false,
                   s.row == RowKind::Component ? 50055u : s.row == RowKind::Expression ? 50056u : 0u});
    set({993}, deletable && s.column < 0);
    set({278}, non_baseline);
    set({265}, non_baseline && s.component_has_properties);
    const bool copy = ((params_visible || s.page == GridPage::Results) && s.row != RowKind::None) ||
                      (s.page == GridPage::Correlations && s.correlation_has_row);
    set({991}, copy);
    set({992}, params_visible && s.clipboard_has_model_data);
    // A baseline is a component here: its parameters have bounds too.
    set({264}, params_visible && (s.row == RowKind::Component || s.row == RowKind::Baseline) && s.column > 2);
    const std::pair<unsigned, unsigned> toggles[] = {{301, 0x1},   {304, 0x8},   {305, 0x10}, {306, 0x20},
                                                     {307, 0x200}, {311, 0x4000}, {312, 0x2000}};
    for (const auto& [id, bit] : toggles)
        set({id}, (s.plot_mask & bit) != 0, (s.plot_options & bit) != 0);
    set({310}, true, (s.plot_options & 0x400) != 0);
    set({309}, true, s.rounding);
    set({340}, true);
    set({351}, fittable);
    set({352}, (!s.fit_running || s.fit_waiting) && fittable);
    set({363}, s.fit_running && !s.fit_waiting);
    set({353}, s.fit_running);
    set({359}, fittable);
    set({355, 356, 362, 361, 360}, s.results);
    for (unsigned mode = 0; mode < 3; ++mode)
        set({401 + mode}, true, s.mouse_mode == static_cast<int>(mode));
    return out;
}
