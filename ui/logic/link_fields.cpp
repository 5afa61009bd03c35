#include "ui/logic/link_fields.h"

#include <cmath>
#include <cwchar>
#include <limits>

#include "wingui/logic/dialog_numbers.h"

namespace {

bool unedited(const RoundedField& field, std::wstring_view text) { return text == field.shown; }

} // namespace

RoundedField factor_field(double factor) { return {factor, format_field_double(factor, 3)}; }

std::optional<double> read_factor(const RoundedField& field, std::wstring_view text)
{
    if (unedited(field, text)) return field.value;
    const std::optional<double> value = read_field_double(text);
    if (!value || !std::isfinite(*value) || (*value == 0.0 && std::signbit(*value))) return {};
    return value;
}

RoundedField bound_field(double bound)
{
    if (std::isinf(bound)) return {bound, bound < 0 ? L"-inf" : L"inf"};
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.3f", bound);
    return {bound, buffer};
}

std::optional<double> read_bound(const RoundedField& field, std::wstring_view text)
{
    if (unedited(field, text)) return field.value;
    // wcstod reads "inf" and "-inf" in any case itself; NaN is no bound.
    const std::optional<double> value = read_field_double(text);
    if (!value || std::isnan(*value)) return {};
    return value;
}
