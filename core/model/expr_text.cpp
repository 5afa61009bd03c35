// The text passes over user expressions: the expansion of user-expression names and
// component variables before parsing, the normalisation of super- and subscript
// characters in parameter names, and the renaming of parameter references when an old
// model file is read.
#include "core/model/expr_text.h"

#include <map>
#include <vector>

#include <boost/algorithm/string/replace.hpp>

#include "core/model/expr.h"
#include "core/model/spectrum_model.h"

namespace {

// Replaces every occurrence of `token` in `text` by `replacement`, after checking that
// the result stays within max_expanded_length characters.
void replace_within_bound(std::wstring& text, const std::wstring& token, const std::wstring& replacement)
{
    std::size_t uses = 0;
    for (std::size_t at = text.find(token); at != std::wstring::npos; at = text.find(token, at + token.size()))
        ++uses;
    if (uses == 0)
        return;
    if (replacement.size() > token.size()) {
        const std::size_t growth = replacement.size() - token.size();
        if (text.size() > max_expanded_length || uses > (max_expanded_length - text.size()) / growth)
            throw expression_too_long();
    }
    boost::algorithm::replace_all(text, token, replacement);
}

// The user-expression names in `text`, replaced from the last expression of the list to
// the first, each by its own text expanded the same way. `open` marks the expressions
// whose expansion is under way: their names stay as they are, which breaks a cycle.
std::wstring expand_user_names(const std::vector<NamedExpr>& expressions, std::wstring text,
                               std::vector<bool>& open)
{
    for (std::size_t k = expressions.size(); k-- > 0;) {
        const std::wstring token = L"<" + expressions[k].name + L">";
        if (open[k] || text.find(token) == std::wstring::npos)
            continue;
        open[k] = true;
        const std::wstring replacement = L"(" + expand_user_names(expressions, expressions[k].text, open) + L")";
        open[k] = false;
        replace_within_bound(text, token, replacement);
    }
    return text;
}

}  // namespace

wchar_t normalize_script_char(wchar_t c)
{
    static const wchar_t forms[] = L"0123456789+-=() ";
    if (c >= 0x2070 && c <= 0x208F)
        return forms[c % 16];
    switch (c) {
    case L'¹': return L'1';
    case L'²': return L'2';
    case L'³': return L'3';
    default: return c;
    }
}

std::wstring SpectrumModel::expand_expression_text(const std::wstring& text) const
{
    return expand_expression_text(text, component_variables());
}

std::vector<std::pair<std::wstring, std::wstring>> SpectrumModel::component_variables() const
{
    std::vector<std::pair<std::wstring, std::wstring>> out;
    for (const auto& component : components) {
        const auto* vars = dynamic_cast<const IModelExtVars*>(component->subspec.get());
        if (!vars)
            continue;
        std::map<std::wstring, std::wstring> named;  // in code-unit order of the names
        vars->ext_vars(component->index, named);
        for (const auto& [name, var_text] : named)
            if (!name.empty())
                out.emplace_back(name, L"(" + var_text + L")");
    }
    return out;
}

std::wstring SpectrumModel::expand_expression_text(
    const std::wstring& text, const std::vector<std::pair<std::wstring, std::wstring>>& variables) const
{
    std::vector<bool> open(expressions.size(), false);
    std::wstring expanded = expand_user_names(expressions, text, open);
    for (const auto& [name, replacement] : variables)
        replace_within_bound(expanded, name, replacement);
    return expanded;
}

std::wstring SpectrumModel::rewrite_refs_on_load(const std::wstring& text,
                                                const std::map<std::wstring, std::wstring>& renames)
{
    std::wstring out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find(L'[', at);
        const std::size_t close = open == std::wstring::npos ? open : text.find(L']', open + 1);
        if (close == std::wstring::npos) {
            out.append(text, at, std::wstring::npos);
            break;
        }
        out.append(text, at, open + 1 - at);
        const std::wstring inner = text.substr(open + 1, close - open - 1);
        const auto renamed = renames.find(inner);
        out += renamed != renames.end() ? renamed->second : inner;
        at = close;  // the "]" is copied with the text after it
    }
    return out;
}
