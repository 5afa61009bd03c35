#include "relaxation/many_state_relaxation.h"

#include <cmath>

#include "core/spectrum/spectrum_analysis.h"
#include "core/text/c_format.h"
#include "subspec/subspec_impl.h"

void init_many_state(const Isotope& isotope, const SpectrumAnalysis& analysis, std::span<double> p)
{
    const std::size_t widths = p.size() - 3;
    p[0] = 1.0;
    p[1] = 2.0 / 3.0;
    p[2] = 1.0 / 3.0;
    p[3] = analysis.XSc;
    p[4] = 0.0;
    p[5] = std::fabs(0.5 * analysis.WH2 / ((1.5 * isotope.g_ex - 0.5 * isotope.g_gr) * isotope.KN));
    for (std::size_t k = 6; k < widths; ++k)
        p[k] = 0.0;
    p[widths] = 3.0 * isotope.Γτ;
    p[widths + 1] = 1.0;
    p[widths + 2] = 1.0;
}

void many_state_extent(const Isotope& isotope, std::span<const double> p, std::size_t widths, double& min,
                       double& max)
{
    sextet_extent(isotope, p[3], p[4], p[5], 0.0, 0.0, p[widths], p[widths + 1], p[widths + 2], 1.0, 1.0, 1.0, min,
                  max);
}

void add_level_vars(unsigned component, int levels, std::wstring mean, std::map<std::wstring, std::wstring>& vars)
{
    vars[(c_format(L"[%d:Sz_avg]") % component).str()] = std::move(mean);
    vars[(c_format(L"[%d:S]") % component).str()] = (c_format(L"%.1f") % (0.5 * (levels - 1))).str();
}

void ManyStateRelaxSextet::ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const
{
    // Level m = −S + k weighs p^k. Flat sums: a nested form would be as deep as the
    // level count, beyond what the expression parser accepts. The weight 1 of k = 0 and
    // p of k = 1 are written without a power, which the language takes as 0 and without
    // slope at p = 0.
    const int n = levels();
    const double s = 0.5 * (n - 1);
    const std::wstring p = (c_format(L"[%d:p]") % component).str();
    std::wstring numerator, denominator;
    for (int k = 0; k < n; ++k) {
        const std::wstring power = k == 0 ? std::wstring() : k == 1 ? p : p + L"^" + std::to_wstring(k);
        if (k > 0) {
            numerator += L"+";
            denominator += L"+";
        }
        numerator += (c_format(L"%.1f") % (k - s)).str();
        if (k > 0)
            numerator += L"*" + power;
        denominator += k == 0 ? std::wstring(L"1") : power;
    }
    add_level_vars(component, n, L"(" + numerator + L")/(" + denominator + L")", vars);
}

void ManyStateSPRelaxSextet::ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const
{
    // exp(x·(α·x + h)) over its value at x = ±1 without the field term: exp(α·(x² − 1) + h·x),
    // every exponent at most |h| whatever α. Eight significant digits keep the text of
    // 10000 levels within the expression length bound.
    const int n = levels();
    const double s = 0.5 * (n - 1);
    std::wstring numerator, denominator;
    for (int i = 0; i < n; ++i) {
        const double m = s - i;
        const double x = m / s;
        const double depth = (x - 1.0) * (x + 1.0) + 0.0;  // x² − 1, never written as -0
        const std::wstring weight =
            (c_format(L"exp([%d:α]*%.8g+[%d:h]*%.8g)") % component % depth % component % x).str();
        if (i > 0) {
            numerator += L"+";
            denominator += L"+";
        }
        numerator += (c_format(L"%.1f*") % m).str() + weight;
        denominator += weight;
    }
    add_level_vars(component, n, L"(" + numerator + L")/(" + denominator + L")", vars);
}
