// Reading and writing the model keys of a keyword list. The reader builds everything
// in local objects and hands the new model over only when every step succeeded.
#include "core/document/model_file.h"

#include <cwchar>
#include <cwctype>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "core/model/component_line.h"
#include "core/spectrum/isotope.h"
#include "core/text/c_format.h"
#include "core/text/messages.h"
#include "core/text/number_text.h"
#include "core/text/text.h"

namespace {

constexpr std::size_t name_limit = 127;  // the longest name or isotope a key gives

bool starts_with(const std::wstring& s, std::wstring_view prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// A leading decimal integer after `prefix` as "%d" reads it: white space, a sign, digits.
std::optional<long long> number_after(const std::wstring& key, std::wstring_view prefix, std::size_t* end = nullptr)
{
    if (!starts_with(key, prefix))
        return std::nullopt;
    std::size_t i = prefix.size();
    while (i < key.size() && std::iswspace(key[i]))
        ++i;
    const bool negative = i < key.size() && key[i] == L'-';
    if (i < key.size() && (key[i] == L'-' || key[i] == L'+'))
        ++i;
    const std::size_t digits = i;
    long long n = 0;
    while (i < key.size() && key[i] >= L'0' && key[i] <= L'9') {
        if (n < std::numeric_limits<int>::max())
            n = n * 10 + (key[i] - L'0');
        ++i;
    }
    if (i == digits)
        return std::nullopt;
    if (end)
        *end = i;
    return negative ? -n : n;
}

std::string message(std::uint32_t id, const std::wstring& insert)
{
    return MessageText(id, insert).to_utf8();
}

// A component as its key names it, with the name it was created by.
struct KeyedComponent {
    SubSpecPtr subspec;
    std::wstring name;
};

// "Component = %d-" and a name that may end in " (" isotope name ")". A catalogue name
// may end in a parenthesised part of its own ("Gauss singlet (Lua)"), so the whole rest
// is tried as a name for the first isotope too: a reading whose component shows exactly
// the key's name wins, else the first that creates one.
KeyedComponent create_keyed_component(const std::wstring& key, const ModelFileParts& parts)
{
    std::size_t pos = 0;
    if (!number_after(key, L"Component = ", &pos) || pos >= key.size() || key[pos] != L'-')
        throw std::runtime_error(message(50048, L""));
    const std::wstring rest = key.substr(pos + 1);
    std::optional<KeyedComponent> with_isotope;
    std::optional<std::wstring> unknown_isotope;
    const std::size_t open = rest.find(L'(');
    if (open != std::wstring::npos && open >= 1 && open <= name_limit && open + 1 < rest.size() &&
        rest[open + 1] != L')') {
        std::wstring name = rest.substr(0, open);
        while (!name.empty() && std::iswspace(name.back()))
            name.pop_back();
        const std::size_t close = rest.find(L')', open + 1);
        const std::size_t length = (close == std::wstring::npos ? rest.size() : close) - open - 1;
        const std::wstring isotope_name = rest.substr(open + 1, std::min(length, name_limit));
        if (const Isotope* isotope = parts.isotopes().find(isotope_name)) {
            with_isotope = KeyedComponent{parts.create(name, isotope), name};
            if (with_isotope->subspec && with_isotope->subspec->display_name() == rest)
                return *with_isotope;
        } else {
            unknown_isotope = isotope_name;
        }
    }
    if (!with_isotope || !with_isotope->subspec) {
        if (SubSpecPtr whole = parts.create(rest, &parts.isotopes().at(0)))
            return {whole, rest};
        if (unknown_isotope)
            throw std::runtime_error(message(50047, *unknown_isotope));
        throw std::runtime_error(message(50048, with_isotope ? with_isotope->name : rest));
    }
    // The reading with the isotope stands unless the whole name is a model's own.
    try {
        if (SubSpecPtr whole = parts.create(rest, &parts.isotopes().at(0)); whole && whole->display_name() == rest)
            return {whole, rest};
    } catch (const std::runtime_error&) {
    }
    return *with_isotope;
}

// The message with where it arose: the file (when there is one) and the entry's key.
std::runtime_error located(const std::string& message, const std::wstring& source, const std::wstring& key)
{
    std::wstring where = source.empty() ? key : source + L", " + key;
    return std::runtime_error(message + " (" + wide_to_utf8(where) + ")");
}

// Two numbers as "%lf %lf" reads them.
bool read_two_numbers(const std::wstring& text, double& a, double& b)
{
    const wchar_t* p = text.c_str();
    wchar_t* end = nullptr;
    a = std::wcstod(p, &end);
    if (end == p)
        return false;
    p = end;
    b = std::wcstod(p, &end);
    return end != p;
}

// The component with every link that the reader would refuse written as not linked: a
// link to a parameter that no longer exists (a distribution got fewer points) or to a
// user expression without a compiled form (one it uses was deleted). The values stay;
// the file always opens again.
SubModel with_readable_links(const SpectrumModel& model, const SubModel& c)
{
    SubModel out = c;
    for (ParamLink& l : out.links) {
        const bool readable =
            l.kind == NotLinked ||
            (l.kind == LinkToParam && l.target_component < model.components.size() &&
             l.target_param < model.components[l.target_component]->count) ||
            (l.kind == LinkToExpr && l.target_component < model.expressions.size() &&
             model.expressions[l.target_component].expr);
        if (!readable)
            l = ParamLink();
    }
    return out;
}

struct LinkRequest {
    LinkSpec spec;
    std::wstring key;  // the entry that asked for it
};

}  // namespace

LoadedModel read_model_keywords(KeywordList& list, const SpectrumModel& base, const ModelFileParts& parts,
                                const std::wstring& source)
{
    KeywordList edited = list;
    ComponentList components;
    DVector values, lower, upper;
    std::vector<int> flags;
    std::vector<LinkRequest> requests;
    std::vector<XRange> ranges;
    std::map<std::wstring, std::wstring> renames;

    for (const auto& [key, data] : edited) {
        if (starts_with(key, L"Component = ")) {
            try {
                const KeyedComponent keyed = create_keyed_component(key, parts);
                const unsigned number = static_cast<unsigned>(components.size());
                parts.add_param_renames(keyed.name, number, renames);
                std::vector<LinkSpec> links;
                parts.read_line(data.value, keyed.subspec, keyed.name, values, flags, lower, upper, links);
                for (LinkSpec& s : links) {
                    s.dependent_component = number;
                    requests.push_back({s, key});
                }
                components.push_back(std::make_shared<SubModel>(keyed.subspec, next_component_color(components)));
            } catch (const std::runtime_error& e) {
                throw located(e.what(), source, key);
            }
        } else if (number_after(key, L"XRange = ")) {
            XRange r;
            if (read_two_numbers(data.value, r.from, r.to))
                ranges.push_back(r);
        }
    }
    kwlist_set_flags_by_prefix(edited, L"XRange = ", KWHidden);

    // Parameter links, now that every component is known (a link may point forward).
    for (const LinkRequest& r : requests) {
        if (r.spec.kind != LinkToParam)
            continue;
        const std::uint32_t c = r.spec.target_component;
        if (c == 0 || c > components.size() || r.spec.target_param >= components[c - 1]->count)
            throw located(MessageText(50049).to_utf8(), source, r.key);
        components[r.spec.dependent_component]->links.at(r.spec.dependent_param) =
            ParamLink{c - 1, r.spec.target_param, LinkToParam, r.spec.factor};
    }

    for (const auto& [key, data] : edited) {
        const std::optional<long long> lock = number_after(key, L"GLock = ");
        if (lock && *lock >= 1 && static_cast<std::size_t>(*lock) <= components.size() && data.value == L"1") {
            const SubModel& c = *components[*lock - 1];
            std::size_t first = 0;
            for (long long k = 0; k < *lock - 1; ++k)
                first += components[k]->count;
            for (std::size_t j = 0; j < c.count; ++j)
                flags[first + j] |= ParamLocked;
        }
        const std::optional<long long> color = number_after(key, L"Color = ");
        if (color && *color >= 1 && static_cast<std::size_t>(*color) <= components.size()) {
            const wchar_t* p = data.value.c_str();
            wchar_t* end = nullptr;
            const unsigned long rgb = std::wcstoul(p, &end, 16);
            if (end != p)
                components[*color - 1]->color = static_cast<COLORREF>(rgb);
        }
    }

    LoadedModel out{base, std::move(values), std::move(lower), std::move(upper), std::move(flags)};
    SpectrumModel& model = out.model;
    model.components = std::move(components);
    model.layout_params();
    for (const auto& c : model.components)
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(c->subspec.get()))
            automatic->set_level(model.level);
    model.rebuild_derived();
    kwlist_set_flags_by_prefix(edited, L"Component = ", KWHidden);
    model.xranges = std::move(ranges);

    model.expressions.clear();
    for (const auto& [key, data] : edited)
        if (number_after(key, L"Expression = ")) {
            const std::size_t eq = data.value.find(L'=');
            NamedExpr e;
            e.name = eq == std::wstring::npos ? std::wstring() : decode_name(data.value.substr(0, eq));
            e.text = SpectrumModel::rewrite_refs_on_load(
                eq == std::wstring::npos ? data.value : data.value.substr(eq + 1), renames);
            model.expressions.push_back(std::move(e));
        }
    kwlist_set_flags_by_prefix(edited, L"Expression = ", KWHidden);
    model.compile_expressions();

    for (const LinkRequest& r : requests) {
        if (r.spec.kind != LinkToExpr)
            continue;
        const std::uint32_t e = r.spec.target_component;
        if (e == 0 || e > model.expressions.size() || !model.expressions[e - 1].expr)
            throw located(MessageText(50049).to_utf8(), source, r.key);
        model.components[r.spec.dependent_component]->links.at(r.spec.dependent_param) =
            ParamLink{e - 1, 0, LinkToExpr, r.spec.factor};
    }

    double direction = 0.0;
    const double magnitude = std::fabs(model.scale);
    model.scale = kwlist_get_double(edited, L"Direction", direction) && direction > 0.0 ? magnitude : -magnitude;
    for (std::wstring_view prefix : {L"Spectrum", L"Direction", L"Color"})
        kwlist_set_flags_by_prefix(edited, prefix, KWHidden);
    list = std::move(edited);
    return out;
}

void write_model_keywords(SpectrumModel& model, const DVector& values, const std::vector<int>& flags,
                          const DVector& lower, const DVector& upper, const ModelFileParts& parts)
{
    KeywordList& list = model.keywords;
    for (std::wstring_view prefix : {L"Component = ", L"Expression = ", L"XRange = ", L"GLock = ", L"Color = "})
        kwlist_remove_by_prefix(list, prefix);
    kwlist_set_double(list, L"Direction", model.is_emission() ? 1.0 : -1.0, L"%f");
    kwlist_set_flags_by_prefix(list, L"Direction", KWHidden);
    // Ranges in their exact form: "%lf" would move them by up to half a micrometre per
    // second on every save.
    for (std::size_t k = 0; k < model.xranges.size(); ++k)
        kwlist_set(list, (c_format(L"XRange = %02d") % (k + 1)).str(),
                   double_to_text(model.xranges[k].from) + L" " + double_to_text(model.xranges[k].to), 0);
    for (const auto& c : model.components) {
        const std::wstring name = c->subspec->display_name();
        std::wstring line = parts.write_line(with_readable_links(model, *c), values, flags, lower, upper);
        if (starts_with(line, name + L":"))
            line.erase(0, name.size() + 1);
        if (!line.empty() && line.front() == L' ')
            line.erase(0, 1);
        const unsigned k = c->index + 1;
        kwlist_set(list, (c_format(L"Component = %02d-%s") % k % name).str(), line, KWHidden);
        kwlist_set(list, (c_format(L"Color = %02d") % k).str(), (c_format(L"%06x") % c->color).str(), KWHidden);
        bool locked = false;
        for (std::size_t j = 0; j < c->count; ++j)
            locked = locked || (flags.at(c->first + j) & ParamLocked);
        if (locked)
            kwlist_set(list, (c_format(L"GLock = %02d") % k).str(), L"1", KWHidden);
    }
    for (std::size_t k = 0; k < model.expressions.size(); ++k) {
        // The name ends at the first "=": one with "=" in it travels encoded.
        const std::wstring& name = model.expressions[k].name;
        const bool encoded = name.find(L'=') != std::wstring::npos || name.starts_with(L"$$");
        kwlist_set(list, (c_format(L"Expression = %02d") % (k + 1)).str(),
                   (encoded ? encode_name(name) : name) + L"=" + model.expressions[k].text, KWHidden);
    }
}
