// The spin and charge density wave: along one period the field is the signed series
// H = "H₀" + Σ h_k·sin(k·qx) over the odd k = 1 … 15, the isomer shift
// "δ₀" + "δ/H"·|H| + Σ δ_2m·sin(2m·qx + "φ") over m = 1 … 4, and the quadrupole shift
// "ε₀" + "ε/H"·|H|; the spectrum is the average of the pseudo-Voigt sextets (all lines of
// width "Γ") at the n = "Points" phases qx = i·2π/n, each with 1/n of the area "I". The
// sign of H swaps the lines of each pair and so changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/sextet.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/modulation_graphs.h"
#include "relaxation/phase_average.h"
#include "relaxation/spiral_field.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

inline constexpr unsigned charge_density_curve = 0;

// The charge-density shift Σ δ_2m·sin(2m·qx + φ) = cos φ·Σ δ_2m·sin(2m·qx) + sin φ·Σ δ_2m·cos(2m·qx).
template <class R>
R charge_density_shift(const std::array<R, 4>& amplitudes, const R& sin_phi, const R& cos_phi, double qx)
{
    R s = amplitudes[0] * std::sin(2.0 * qx), c = amplitudes[0] * std::cos(2.0 * qx);
    for (std::size_t j = 1; j < 4; ++j) {
        const double k = static_cast<double>(2 * j + 2);
        s += amplitudes[j] * std::sin(k * qx);
        c += amplitudes[j] * std::cos(k * qx);
    }
    return s * cos_phi + c * sin_phi;
}

struct SDW_CDW_Sextet : SDW_CDW_SextetParams, Sextet, DefaultArea, SubSpecRange<SDW_CDW_Sextet>, PointsData,
                        SubSpecExtraGraph<SDW_CDW_Sextet>, DefaultDVT<1, 2, 11> {
    template <class R>
    PhaseAverage<R, 6> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift0, const R& shift_per_field, const R& eps0, const R& eps_per_field,
                               const R& h0, const R& width, const R& alpha, const R& h1, const R& h3, const R& h5,
                               const R& h7, const R& h9, const R& h11, const R& h13, const R& h15, const R& phi,
                               const R& d2, const R& d4, const R& d6, const R& d8) const
    {
        const Isotope& iso = required_isotope(isotope);
        const std::array<R, odd_harmonic_count> harmonics{h1, h3, h5, h7, h9, h11, h13, h15};
        const std::array<R, 4> charge{d2, d4, d6, d8};
        R sin_phi, cos_phi;
        sin_cos(to_radians(phi), sin_phi, cos_phi);
        const R one(1.0);
        const std::size_t n = static_cast<std::size_t>(std::max(points(), 0));
        return sextet_phase_average(n, area, ratio2, ratio3, width, one, one, alpha,
                                    [&](double phase, std::array<R, 6>& positions) {
                                        const double qx = two_pi * (phase + 0.5);
                                        const R field = h0 + OddHarmonics::sum(harmonics, OddHarmonics(qx).sin);
                                        const R size = field < 0.0 ? -field : field;
                                        sextet_positions(iso,
                                                         shift0 + shift_per_field * size +
                                                             charge_density_shift(charge, sin_phi, cos_phi, qx),
                                                         eps0 + eps_per_field * size, field, positions);
                                    });
    }

    // The sextet of shift "δ₀", quadrupole shift "ε₀" and the largest |H|, all widths
    // "Γ", widened on both sides by what the charge density wave and the couplings "δ/H"
    // and "ε/H" can move a line at that field.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ₀ and h₁ as a sextet starts, Γ = 2·Γτ, everything
    // else 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // Curve 0 the charge-density shift and 1 the field over n + 1 phases (1 with its
    // standard error when a covariance is given), 2 the histogram of |H|.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
    // "CDW_qx", "CDW_delta"; "SDW_qx", "SDW_H"; "SDW_H", "SDW_p(H)".
    void graph_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const;
};
