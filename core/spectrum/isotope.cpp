#include "core/spectrum/isotope.h"

#include <cwctype>
#include <iterator>
#include <limits>
#include <stdexcept>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

namespace {

// Lists of ids, standards and line counts: every single separator splits, so two in a
// row give an empty token.
std::vector<std::wstring> split_tokens(const std::wstring& text)
{
    std::vector<std::wstring> tokens;
    boost::split(tokens, text, boost::is_any_of(L" \t\r\n"));
    return tokens;
}

// A line count in the manner of wcstoul on a 32-bit platform: leading white space, an
// optional sign (a minus negates modulo 2^32), digits, anything after them ignored.
std::uint32_t parse_line_count(const std::wstring& token)
{
    std::size_t i = 0;
    while (i < token.size() && std::iswspace(token[i]))
        ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == L'+' || token[i] == L'-'))
        negative = token[i++] == L'-';
    if (i == token.size() || token[i] < L'0' || token[i] > L'9')
        throw std::runtime_error("line number is not an integer");
    std::uint64_t n = 0;
    for (; i < token.size() && token[i] >= L'0' && token[i] <= L'9'; ++i) {
        n = n * 10 + static_cast<std::uint64_t>(token[i] - L'0');
        if (n > std::numeric_limits<std::uint32_t>::max()) {  // out of range saturates
            n = std::numeric_limits<std::uint32_t>::max();
            negative = false;
            break;
        }
    }
    auto value = static_cast<std::uint32_t>(n);
    return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

}  // namespace

void Isotope::load(const KeywordList& list, const std::wstring& id)
{
    if (!kwlist_get_double(list, id + L".Γτ", Γτ) || !kwlist_get_double(list, id + L".Eγ", Eγ) ||
        !kwlist_get_double(list, id + L".g_gr", g_gr) || !kwlist_get_double(list, id + L".g_ex", g_ex) ||
        !kwlist_find(list, id + L".name", name))
        throw std::runtime_error("Invalid isotope file format: can't get isotope parameters");

    KN = 0.9450811114935828 / Eγ;
    L = Eγ * 5067730.716156395;
    K = (3 * g_ex - g_gr) * KN;
    const double inverse = 1.0 / (3 * g_ex - g_gr);
    α = (g_ex - g_gr) * inverse;
    β = -(g_gr + g_ex) * inverse;

    std::wstring standards;
    if (!kwlist_find(list, id + L".cm", standards))
        return;
    for (const std::wstring& standard : split_tokens(standards)) {
        const std::wstring prefix = id + L".cm." + standard + L".";
        std::wstring counts;
        if (!kwlist_find(list, prefix + L"lines", counts))
            continue;
        for (const std::wstring& token : split_tokens(counts)) {
            CalibrationVariant variant;
            variant.standard = standard;
            variant.line_count = parse_line_count(token);
            const std::wstring key = prefix + std::to_wstring(variant.line_count) + L".";
            if (!kwlist_find(list, key + L"name", variant.model_name) ||
                !kwlist_find(list, key + L"param", variant.param_text))
                throw std::runtime_error("can't get calibration model");
            if (!kwlist_get_double(list, key + L"distance", variant.distance))
                variant.distance = 0.0;
            variants.push_back(std::move(variant));
        }
    }
}

void IsotopeTable::load(const std::wstring& path)
{
    KeywordList list;
    kwfile_load(path, list);
    std::wstring ids;
    if (!kwlist_find(list, L"Isotopes", ids))
        throw std::runtime_error("Invalid isotope file format: can't get isotopes list");
    for (const std::wstring& id : split_tokens(ids)) {
        Isotope isotope;
        isotope.load(list, id);
        isotopes_.push_back(std::move(isotope));
    }
}

unsigned IsotopeTable::count() const
{
    return static_cast<unsigned>(isotopes_.size());
}

const Isotope& IsotopeTable::at(unsigned index) const
{
    if (index >= isotopes_.size())
        throw std::out_of_range("Isotope index out of range");
    return *std::next(isotopes_.begin(), index);
}

const Isotope* IsotopeTable::find(const std::wstring& name) const
{
    for (const Isotope& isotope : isotopes_)
        if (isotope.name == name)
            return &isotope;
    return nullptr;
}

IsotopeTable& isotope_table()
{
    static IsotopeTable table;
    return table;
}
