// The component commands on the document, without windows: adding a catalogue entry
// (the default baseline first where the model lacks one), wrapping it in a distribution,
// deleting the selected row and editing a component's model data, each an undoable step;
// and the texts of the isotope information. The frame supplies the dialogs as callbacks.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/document/model_state.h"

class SubSpecFactory;
struct Isotope;

// A new distribution's choices: its point count and the inner parameters it spreads.
struct DistributionChoice {
    unsigned points = 0;
    std::vector<unsigned> varying;
};
// Shows the distribution dialog for `inner` (its point count `points`, 0 for a new
// distribution); the choice on OK, nothing on Cancel. `properties_changed` becomes true
// when the user changed the inner model's data with its property editor.
using ChooseDistribution =
    std::function<std::optional<DistributionChoice>(ISubSpec& inner, unsigned points, bool& properties_changed)>;
// Shows an error's text (UTF-8) to the user.
using ReportError = std::function<void(const std::string&)>;

// Where a new component goes: after the selected component row, else at the end.
unsigned insertion_position(unsigned component_count, int current_row);

// Adds catalogue entry `index` (-1: the default baseline for the spectrum's level) for
// `isotope` after the selected row, as one step. A model data's defaults (set_defaults
// with `folder`) or the distribution dialog may cancel: false, nothing added. Errors
// throw, nothing added.
bool add_subspectrum(ModelState& document, const SubSpecFactory& catalogue, int index, const Isotope* isotope,
                     bool as_distribution, int current_row, const std::wstring& folder,
                     const ChooseDistribution& choose);

// The Add subspectrum and Add distribution commands: the default baseline first when
// the new component is none and the model does not start with one, then the entry;
// each step that fails is reported and adds nothing. True when something was added.
bool add_catalogue_entry(ModelState& document, const SubSpecFactory& catalogue, unsigned index,
                         const Isotope* isotope, bool as_distribution, int current_row, const std::wstring& folder,
                         const ChooseDistribution& choose, const ReportError& report);

enum class DeletedRow { nothing, component, expression };
// Deletes the component (never a baseline) or user expression of model-grid row `row`
// as one step.
DeletedRow delete_model_row(ModelState& document, int row);

// True when the command Properties offers something for component row `row`: a
// property editor or a distribution.
bool component_has_properties(const ModelState& document, int row);
// Properties of component `component`: its property editor, or for a distribution the
// distribution dialog with its point count; the change is one step. Works on a copy,
// so Cancel leaves everything as it was. True when the document changed.
bool edit_component(ModelState& document, unsigned component, const ChooseDistribution& choose);

// The inserts of message 50053 for the isotope: name, Γτ, Eγ, g_gr, g_ex, 1/K, L, α, β.
std::array<std::wstring, 9> isotope_information_inserts(const Isotope& isotope);
