#include "ui/logic/expression_editor.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/model/expr.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/isotope.h"
#include "core/text/number_text.h"
#include "core/text/text.h"
#include "ui/logic/link_targets.h"

std::vector<std::wstring> expression_parameter_items(const SpectrumModel& model)
{
    std::vector<std::wstring> items;
    for (const auto& c : model.components) {
        if (const auto* extra = dynamic_cast<const IModelExtVars*>(c->subspec.get())) {
            std::map<std::wstring, std::wstring> vars;
            extra->ext_vars(c->index, vars);
            for (const auto& [name, text] : vars) items.push_back(normalize_script_text(name));
        }
        for (unsigned i = 0; i < c->shown_count; ++i)
            items.push_back(normalize_script_text(L"[" + std::to_wstring(c->index) + L":" +
                                                  c->subspec->param_info(i).name + L"]"));
    }
    for (const NamedExpr& e : model.expressions) items.push_back(L"<" + e.name + L">");
    return items;
}

const std::vector<std::wstring>& expression_operation_items()
{
    static const std::vector<std::wstring> items{L"+",     L"-",     L"*",     L"/",      L"^",      L"abs()",
                                                 L"ln()",  L"lg()",  L"exp()", L"sin()",  L"cos()",  L"asin()",
                                                 L"acos()", L"sin°()", L"cos°()", L"asin°()", L"acos°()", L"K()"};
    return items;
}

std::vector<ConstantItem> expression_constant_items(const Isotope* isotope)
{
    auto value = [](double x, const wchar_t* unit) { return double_to_text(x) + unit; };
    std::vector<ConstantItem> items{
        {L"c", value(299792458.0, L" m/s")},
        {L"ħ", value(1.0545718176461565e-34, L" J*s")},
        {L"eV", value(1.602176634e-19, L" J")},
        {L"μn", value(5.0507837461e-27, L" J/T")},
        {L"μB", value(9.2740100783e-24, L" J/T")},
        {L"kB", value(1.380649e-23, L" J/K")},
        {L"π", L"3.14159..."},
    };
    if (!isotope) return items;
    const ConstantItem own[] = {
        {L"Eγ", value(isotope->Eγ, L" keV")},
        {L"Γτ", value(isotope->Γτ, L" mm/s")},
        {L"g_gr", value(isotope->g_gr, L"")},
        {L"g_ex", value(isotope->g_ex, L"")},
        {L"α", value(isotope->α, L"")},
        {L"β", value(isotope->β, L"")},
        {L"L", value(isotope->L, L" (1/s)/(mm/s)")},
        {L"K", value(1.0 / std::fabs(isotope->K), L" kOe/(mm/s)")},
    };
    items.insert(items.end(), std::begin(own), std::end(own));
    return items;
}

std::size_t caret_after_insert(std::size_t start, std::wstring_view inserted)
{
    const std::size_t end = start + inserted.size();
    return inserted.ends_with(L')') ? end - 1 : end;
}

namespace {

bool compiles(const std::wstring& text, const SpectrumModel& model)
{
    try {
        return Expr::create(text, model) != nullptr;
    } catch (const expression_too_long&) {
        return false;
    }
}

// Whether some simple ending turns `prefix` into an expression: nothing, an operand,
// or a call's argument, each followed by the parentheses still open.
bool completable(const std::wstring& prefix, const SpectrumModel& model)
{
    const auto opened = std::count(prefix.begin(), prefix.end(), L'(') - std::count(prefix.begin(), prefix.end(), L')');
    const std::wstring closing(static_cast<std::size_t>(std::max<std::ptrdiff_t>(opened, 0)), L')');
    for (const wchar_t* ending : {L"", L"1", L"(1)"})
        if (compiles(prefix + ending + closing, model)) return true;
    return false;
}

} // namespace

std::optional<ExpressionError> check_expression(const std::wstring& text, const SpectrumModel& model)
{
    try {
        if (Expr::create(text, model)) return std::nullopt;
    } catch (const expression_too_long& error) {
        return ExpressionError{0, utf8_to_wide(error.what())};
    }
    std::size_t length = text.size();
    while (length > 0 && !completable(text.substr(0, length), model)) --length;
    return ExpressionError{length, {}};
}

std::vector<std::wstring> predefined_expression_items(const ModelExpressionList& entries)
{
    std::vector<std::wstring> items;
    for (std::size_t i = 0; i < entries.size() && i < max_predefined_items; ++i)
        items.push_back(normalize_script_text(entries[i].name + L":\t" + expr_text_unbound(entries[i])));
    return items;
}
