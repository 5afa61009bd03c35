#include "relaxation/density_wave.h"

#include <algorithm>
#include <cmath>

#include "core/spectrum/spectrum_analysis.h"

namespace {

constexpr std::size_t field_offset = 7, first_harmonic = 10, phase = 18, first_charge = 19;

double signed_field(std::span<const double> p, double qx)
{
    const OddHarmonics h(qx);
    double field = p[field_offset];
    for (std::size_t j = 0; j < odd_harmonic_count; ++j)
        field += p[first_harmonic + j] * h.sin[j];
    return field;
}

// √(gᵀ·V·g) over H₀ and the eight harmonics, g = (1, sin qx, sin 3qx, …, sin 15qx).
double field_error(const CovarianceRange& covariance, double qx)
{
    const OddHarmonics h(qx);
    std::array<std::size_t, 9> index{field_offset};
    std::array<double, 9> g{1.0};
    for (std::size_t j = 0; j < odd_harmonic_count; ++j) {
        index[j + 1] = first_harmonic + j;
        g[j + 1] = h.sin[j];
    }
    double sum = 0.0;
    for (std::size_t a = 0; a < 9; ++a)
        for (std::size_t b = 0; b < 9; ++b)
            sum += g[a] * g[b] * covariance(index[a], index[b]);
    return sum < 0.0 ? 0.0 : std::sqrt(sum);
}

}  // namespace

void SDW_CDW_Sextet::extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
{
    double field = std::fabs(p[field_offset]);
    for (std::size_t j = 0; j < odd_harmonic_count; ++j)
        field += std::fabs(p[first_harmonic + j]);
    double widen = (std::fabs(p[4]) + std::fabs(p[6])) * field;
    for (std::size_t j = 0; j < 4; ++j)
        widen += std::fabs(p[first_charge + j]);
    sextet_extent(required_isotope(isotope), p[3], p[5], field, 0.0, 0.0, p[8], 1.0, 1.0, 1.0, 1.0, 1.0, min, max);
    min -= widen;
    max += widen;
}

void SDW_CDW_Sextet::init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
{
    const Isotope& iso = required_isotope(isotope);
    std::array<double, 6> sextet;
    start_sextet(iso, analysis, sextet);
    std::fill(p.begin(), p.end(), 0.0);
    std::copy_n(sextet.begin(), 4, p.begin());
    p[8] = 2.0 * iso.Γτ;
    p[first_harmonic] = sextet[5];
}

void SDW_CDW_Sextet::extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                                 std::vector<double>& y_errors, const CovarianceRange* covariance, const Isotope*,
                                 std::span<const double> p) const
{
    if (curve == histogram_curve) {
        period_histogram([&](double qx) { return std::fabs(signed_field(p, qx)); }, x, y, y_errors);
        return;
    }
    if (curve != charge_density_curve && curve != profile_curve)
        return;
    const std::size_t n = static_cast<std::size_t>(std::max(points(), 1));
    std::array<double, 4> charge;
    std::copy_n(p.begin() + first_charge, 4, charge.begin());
    double sin_phi, cos_phi;
    sin_cos(p[phase] * 0.017453292519943295, sin_phi, cos_phi);
    const bool errors = curve == profile_curve && covariance;
    x.resize(n + 1);
    y.resize(n + 1);
    y_errors.resize(errors ? n + 1 : 0);
    for (std::size_t i = 0; i < n; ++i) {
        x[i] = period_angle(i, n);
        y[i] = curve == profile_curve ? signed_field(p, x[i]) : charge_density_shift(charge, sin_phi, cos_phi, x[i]);
        if (errors)
            y_errors[i] = field_error(*covariance, x[i]);
    }
    // The period's end repeats its start.
    x[n] = two_pi;
    y[n] = y[0];
    if (errors)
        y_errors[n] = y_errors[0];
}

void SDW_CDW_Sextet::graph_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const
{
    if (curve == charge_density_curve) {
        x_name = L"CDW_qx";
        y_name = L"CDW_delta";
    } else if (curve == profile_curve) {
        x_name = L"SDW_qx";
        y_name = L"SDW_H";
    } else if (curve == histogram_curve) {
        x_name = L"SDW_H";
        y_name = L"SDW_p(H)";
    }
}
