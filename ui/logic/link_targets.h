// What a parameter may be linked to, and the texts the Link to menus and the link
// dialog show for it. A target is another parameter of the same kind (or of kind 0)
// that is not linked itself, or a user expression that compiles and reads only
// unlinked parameters other than the one being linked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/model_records.h"

class SpectrumModel;

struct LinkTarget {
    unsigned component = 0;  // LinkToExpr: the expression's position
    unsigned param = 0;      // LinkToExpr: 0
    LinkKind kind = LinkToParam;

    bool operator==(const LinkTarget&) const = default;
};

// Parameter `param` of component `component` must be a shown parameter of the model.
std::vector<LinkTarget> list_link_targets(const SpectrumModel& model, unsigned component, unsigned param);

// Super- and subscript digits and signs as their ASCII characters (menus and labels
// show names in the dialog font, which may lack the script forms).
std::wstring normalize_script_text(std::wstring_view text);

// The Link to menu's item for a target: "[c]name" or the expression's name.
std::wstring link_target_menu_text(const SpectrumModel& model, const LinkTarget& target);
// The link dialog's texts: "[c] name = " for the dependent parameter, " × " and the
// target's description for the target.
std::wstring link_dependent_text(const SpectrumModel& model, unsigned component, unsigned param);
std::wstring link_target_text(const SpectrumModel& model, const LinkTarget& target);
// The same for the parameter's present link, named as the model grid names it.
std::wstring link_existing_target_text(const SpectrumModel& model, unsigned component, unsigned param);

LinkSpec make_link_spec(const LinkTarget& target, unsigned component, unsigned param, double factor);
