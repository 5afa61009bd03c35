// Reads the parameter part of a component line. Tokens are runs of non-blank
// characters; "extradata=..." hands its text to the model data, every other token is
// the next parameter, "name=number" followed by its flag letters. The new component's
// parameters are read aside and appended only once the whole line has read.
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "core/model/component_line.h"
#include "core/model/expr_text.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/text/kwfile.h"
#include "core/text/kwfile_chars.h"
#include "core/text/messages.h"

namespace {

// Longest name and flag text a token may carry, as older files were read.
constexpr std::size_t max_field = 127;

template <class... Inserts>
[[noreturn]] void fail(unsigned id, const Inserts&... inserts)
{
    throw std::runtime_error(MessageText(id, inserts...).to_utf8());
}

// Equal up to the forms of super- and subscript characters: "N0" names "N₀".
bool same_param_name(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (normalize_script_char(a[i]) != normalize_script_char(b[i]))
            return false;
    return true;
}

// The new name of `name` in the rename words "old=new": found where a word begins with
// the name followed by "=".
bool find_rename(std::wstring_view words, std::wstring_view name, std::wstring& renamed)
{
    const std::wstring pattern = std::wstring(name) + L"=";
    for (std::size_t at = words.find(pattern); at != std::wstring_view::npos; at = words.find(pattern, at + 1)) {
        if (at > 0 && !kw_is_space(words[at - 1]))
            continue;
        std::size_t end = at + pattern.size();
        while (end < words.size() && !kw_is_space(words[end]) && end - at - pattern.size() < max_field)
            ++end;
        renamed = words.substr(at + pattern.size(), end - at - pattern.size());
        return true;
    }
    return false;
}

struct ParamToken {
    std::wstring name;
    double value = 0.0;
    std::wstring letters;
};

// "name=number" and up to 127 flag letters; false without a name, "=" or a number. The
// name may be longer than older files wrote them: a declared name has no limit.
bool read_param_token(std::wstring_view token, ParamToken& out)
{
    const std::size_t equals = token.find(L'=');
    if (equals == 0 || equals == std::wstring_view::npos)
        return false;
    const std::size_t used = read_leading_double(token.substr(equals + 1), out.value);
    if (used == 0)
        return false;
    out.name = token.substr(0, equals);
    out.letters = token.substr(equals + 1 + used, max_field);
    return true;
}

// A decimal number without sign at `pos`, saturated to the 32-bit range; false when
// no digit stands there.
bool read_unsigned(std::wstring_view text, std::size_t& pos, std::uint32_t& out)
{
    const std::size_t start = pos;
    std::uint64_t n = 0;
    for (; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos)
        n = std::min<std::uint64_t>(n * 10 + std::uint64_t(text[pos] - L'0'), UINT32_MAX);
    out = static_cast<std::uint32_t>(n);
    return pos > start;
}

// The bound after the first `letter`, when a number follows it there.
void read_bound(std::wstring_view letters, wchar_t letter, double& bound)
{
    const std::size_t at = letters.find(letter);
    double value = 0.0;
    if (at != std::wstring_view::npos && read_leading_double(letters.substr(at + 1), value) > 0)
        bound = value;
}

// "L" factor "*" c "." p (a parameter link) or "L" factor "*" e (an expression link);
// false for anything else.
bool read_link(std::wstring_view letters, unsigned param, LinkSpec& link)
{
    const std::size_t at = letters.find(L'L');
    if (at == std::wstring_view::npos)
        return false;
    const std::wstring_view rest = letters.substr(at + 1);
    std::size_t pos = read_leading_double(rest, link.factor);
    if (pos == 0 || pos == rest.size() || rest[pos] != L'*')
        return false;
    ++pos;
    if (!read_unsigned(rest, pos, link.target_component))
        return false;
    link.dependent_component = 0;
    link.dependent_param = param;
    link.target_param = 0;
    link.kind = LinkToExpr;
    if (pos < rest.size() && rest[pos] == L'.') {
        ++pos;
        if (read_unsigned(rest, pos, link.target_param))
            link.kind = LinkToParam;
    }
    return true;
}

// The value of parameter `info` from a token whose name may be encoded, an older name, the
// parameter's name without "ln(...)" (the value is then its logarithm) or without
// "exp(...)".
double param_value(const ParamToken& token, std::wstring_view whole, const ParamInfo& info,
                   const LegacyModelName* legacy)
{
    if (same_param_name(token.name, info.name))
        return token.value;
    std::wstring name = decode_name(token.name);
    if (name == info.name)
        return token.value;
    if (legacy && find_rename(legacy->renames, token.name, name) && same_param_name(name, info.name))
        return token.value;
    if (same_param_name(L"ln(" + name + L")", info.name)) {
        // The logarithm of a value that has none would be stored as NaN or -inf.
        if (!(token.value > 0.0))
            fail(50042, whole);
        return std::log(token.value);
    }
    if (same_param_name(L"exp(" + name + L")", info.name))
        return std::exp(token.value);
    fail(50044, info.name, name);
}

}  // namespace

void SpectrumModel::parse_component_line(std::wstring_view text, SubSpecPtr subspec, DVector& values,
                                         std::vector<int>& flags, DVector& lower, DVector& upper,
                                         std::vector<LinkSpec>* links, const LegacyModelName* legacy)
{
    if (!subspec)
        throw std::runtime_error("No subspectrum for the component");
    unsigned n = subspec->param_count();
    DVector own_values(n, 0.0);
    subspec->init_params(SpectrumAnalysis{}, own_values, 0, n);
    std::vector<int> own_flags(n, 0);
    DVector own_lower(n, 0.0), own_upper(n, 0.0);
    std::vector<LinkSpec> own_links;

    unsigned i = 0;
    for (std::size_t pos = 0;;) {
        while (pos < text.size() && kw_is_space(text[pos]))
            ++pos;
        if (pos == text.size())
            break;
        std::size_t end = pos;
        while (end < text.size() && !kw_is_space(text[end]))
            ++end;
        const std::wstring_view token = text.substr(pos, end - pos);
        pos = end;

        if (token.starts_with(L"extradata=")) {
            if (auto* data = dynamic_cast<ISubSpecData*>(subspec.get());
                data && !data->load_extra(std::wstring(token.substr(10))))
                fail(50042, token);
            // The model data may change the parameter count (a distribution's points);
            // parameters that come with it start at 0.
            const unsigned before = n;
            n = subspec->param_count();
            own_values.resize(n, true);
            own_flags.resize(n, 0);
            own_lower.resize(n, true);
            own_upper.resize(n, true);
            for (unsigned j = before; j < n; ++j)
                own_values(j) = 0.0;
            continue;
        }

        if (i >= n)
            fail(50045, n, i + 1);
        ParamToken param;
        if (!read_param_token(token, param))
            fail(50042, token);
        const ParamInfo& info = subspec->param_info(i);
        own_values(i) = param_value(param, token, info, legacy);
        own_flags[i] = param.letters.find(L'F') == std::wstring::npos ? ParamFree : 0;
        own_lower(i) = info.lower;
        own_upper(i) = info.upper;
        read_bound(param.letters, L'B', own_lower(i));
        read_bound(param.letters, L'T', own_upper(i));
        if (param.letters.find(L'b') != std::wstring::npos)
            own_lower(i) = -std::numeric_limits<double>::infinity();
        if (param.letters.find(L't') != std::wstring::npos)
            own_upper(i) = std::numeric_limits<double>::infinity();
        LinkSpec link;
        if (links && read_link(param.letters, i, link))
            own_links.push_back(link);
        ++i;
    }
    // A distribution gets its points from its model data.
    if (const auto* distribution = dynamic_cast<const IDistribution*>(subspec.get());
        distribution && distribution->point_count() == 0)
        fail(50043);
    for (unsigned j = i; j < n; ++j) {
        own_flags[j] = 0;
        own_lower(j) = subspec->param_info(j).lower;
        own_upper(j) = subspec->param_info(j).upper;
    }

    const std::size_t base = values.size();
    values.resize(base + n, true);
    lower.resize(base + n, true);
    upper.resize(base + n, true);
    flags.resize(base + n);
    for (unsigned j = 0; j < n; ++j) {
        values(base + j) = own_values(j);
        lower(base + j) = own_lower(j);
        upper(base + j) = own_upper(j);
        flags[base + j] = own_flags[j];
    }
    if (links)
        links->insert(links->end(), own_links.begin(), own_links.end());
}

std::wstring decode_name(std::wstring_view text)
{
    return text == L"$$" ? std::wstring() : kwfile_decoded(std::wstring(text));
}

void split_key_value(std::wstring_view text, std::wstring& key, std::wstring& value)
{
    const std::size_t equals = text.find(L'=');
    if (equals == std::wstring_view::npos) {
        key.clear();
        value = text;
        return;
    }
    key = text.substr(0, equals);
    value = text.substr(equals + 1);
}
