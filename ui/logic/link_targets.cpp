#include "ui/logic/link_targets.h"

#include "core/model/expr_text.h"
#include "core/model/spectrum_model.h"

namespace {

bool is_linked(const SpectrumModel& model, unsigned flat_index)
{
    const SubModel& owner = model.component_of_param(flat_index);
    return owner.links.at(flat_index - owner.first).kind != NotLinked;
}

} // namespace

std::vector<LinkTarget> list_link_targets(const SpectrumModel& model, unsigned component, unsigned param)
{
    const SubModel& linked = *model.components.at(component);
    const int kind = linked.subspec->param_info(param).kind;
    const unsigned own_index = linked.first + param;
    std::vector<LinkTarget> targets;
    for (const auto& c : model.components)
        for (unsigned q = 0; q < c->shown_count; ++q) {
            if (c.get() == &linked && q == param) continue;
            const int q_kind = c->subspec->param_info(q).kind;
            if ((q_kind == kind || q_kind == KindNone) && c->links.at(q).kind == NotLinked)
                targets.push_back({c->index, q, LinkToParam});
        }
    for (unsigned e = 0; e < model.expressions.size(); ++e) {
        const NamedExpr& expression = model.expressions[e];
        // Linking to an expression that does not compile would be refused.
        if (!expression.expr) continue;
        bool usable = true;
        for (const unsigned used : expression.used_params)
            if (used == own_index || is_linked(model, used)) usable = false;
        if (usable) targets.push_back({e, 0, LinkToExpr});
    }
    return targets;
}

std::wstring normalize_script_text(std::wstring_view text)
{
    std::wstring plain(text);
    for (wchar_t& c : plain) c = normalize_script_char(c);
    return plain;
}

LinkSpec make_link_spec(const LinkTarget& target, unsigned component, unsigned param, double factor)
{
    return {target.component, target.param, target.kind, component, param, factor};
}

std::wstring link_target_menu_text(const SpectrumModel& model, const LinkTarget& target)
{
    return normalize_script_text(model.describe_link(make_link_spec(target, 0, 0, 1.0)));
}

std::wstring link_dependent_text(const SpectrumModel& model, unsigned component, unsigned param)
{
    return L"[" + std::to_wstring(component) + L"] " + model.components.at(component)->subspec->param_info(param).name +
           L" = ";
}

std::wstring link_target_text(const SpectrumModel& model, const LinkTarget& target)
{
    return L" × " + model.describe_link(make_link_spec(target, 0, 0, 1.0));
}

std::wstring link_existing_target_text(const SpectrumModel& model, unsigned component, unsigned param)
{
    return L" × " + model.link_source_text(*model.components.at(component), param);
}
