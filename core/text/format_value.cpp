// Decimal-place arithmetic of a value with its error: the error's leading decimal place
// d = floor(log10(error)), one place further when the error's first digit is at most 3,
// both numbers rounded in units of 10^d (halves away from zero) and printed through
// Boost.Format under the "C" locale.
#include "core/text/format_value.h"

#include <cmath>
#include <locale>

#include <boost/format.hpp>

#include "core/text/number_text.h"
#include "core/text/script_chars.h"

namespace {

// printf semantics under the "C" locale; a malformed format prints what it can instead
// of throwing, since formatting for display never fails.
boost::wformat c_format(std::wstring_view format)
{
    boost::wformat f(std::wstring(format), std::locale::classic());
    f.exceptions(boost::io::no_error_bits);
    return f;
}

double power_of_ten(double exponent) { return std::exp(exponent * std::log(10.0)); }

// The printf precision and conversion of a format "%[width].<precision><conversion>...".
struct Precision {
    int digits = 0;
    wchar_t conversion = 0;
};

Precision format_precision(std::wstring_view format)
{
    Precision result;
    if (format.empty() || format[0] != L'%') return result;
    size_t i = 1;
    while (i < format.size() && format[i] >= L'0' && format[i] <= L'9') ++i;
    if (i == format.size() || format[i] != L'.') return result;
    for (++i; i < format.size() && format[i] >= L'0' && format[i] <= L'9'; ++i)
        result.digits = result.digits * 10 + (format[i] - L'0');
    if (i < format.size()) result.conversion = format[i];
    return result;
}

} // namespace

std::wstring format_superscript_exponent(std::wstring_view format, double x)
{
    std::wstring s = (c_format(format) % x).str();
    const size_t e = s.find(L'e');
    if (e == std::wstring::npos) return s;
    if (e + 1 < s.size() && s[e + 1] == L'+') s.erase(e + 1, 1);
    if (s.size() - e > 2 && s[e + 1] == L'0') s.erase(e + 1, 1);
    if (s.size() - e > 3 && s[e + 1] == L'-' && s[e + 2] == L'0') s.erase(e + 2, 1);
    s.erase(e, 1);
    for (size_t i = e; i < s.size(); ++i) s[i] = superscript_of(s[i]);
    s.insert(e, L"\u00d710");
    return s;
}

std::wstring format_value_with_error(double value, double error, std::wstring_view format,
                                     bool keep_format_precision)
{
    // Infinities and NaNs have no decimal place to cut at.
    if (!std::isfinite(value) || !std::isfinite(error) || error <= 0 || std::fabs(value) > 1000000 * error)
        return format_superscript_exponent(format, value);

    double d = std::floor(std::log10(error));
    double u = power_of_ten(d);
    double r = std::round(error / u);
    if (r <= 3) {
        d -= 1;
        u = power_of_ten(d);
        r = std::round(error / u);
    }

    if (keep_format_precision) {
        const Precision p = format_precision(format);
        if (p.digits > 0 && p.conversion == L'f' && d > -p.digits) {
            r *= power_of_ten(d + p.digits);
            d = -p.digits;
            u = power_of_ten(d);
        } else if (p.digits > 0 && p.conversion == L'e' && value != 0) {
            // A zero value has no leading digit to count the format's digits from.
            const double g = std::floor(std::log10(std::fabs(value))) - p.digits;
            if (g < d) {
                u = power_of_ten(g);
                r *= power_of_ten(d - g);
                d = g;
            }
        }
    }

    const double q = std::round(value / u);
    if (d >= -4 && d < 0) {
        const int decimals = static_cast<int>(-d);
        const std::wstring pair = (c_format(L"%%.%df\u00b1%%.%df") % decimals % decimals).str();
        return (c_format(pair) % fix_negative_zero(q * u) % (r * u)).str();
    }
    if (d >= 0 && d <= 4)
        return (c_format(L"%.0f\u00b1%.0f") % fix_negative_zero(std::round(q * u)) % std::round(r * u)).str();

    std::wstring text = (c_format(L"(%.0f\u00b1%.0f)") % fix_negative_zero(q) % r).str() + L"\u00d710";
    if (d < 0) text += L'\u207b';
    for (wchar_t c : (c_format(L"%.0f") % std::fabs(d)).str()) text += superscript_of(c);
    return text;
}
