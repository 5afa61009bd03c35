// The spiral-like spin structures: along one period of a spatial modulation the field
// of spiral_field.h turns in the plane of the gradient's principal axis c and one
// direction b across it, and changes its size; the spectrum is the average over the
// n = "Points" phases qx = i·2π/n (phase_average.h), each with 1/n of the area "I".
//
// Spiral_Spin_Sextet: at each phase a pseudo-Voigt sextet of field |H| with the
// quadrupole shift "εlat"·(3·cos²ϑ − 1)/2, ϑ the angle of the field to c, and the
// second-order shifts of the line pairs (1 − 7/8·sin²ϑ)·u and (1 − 9/8·sin²ϑ)·u,
// u = 3·"εQ"²·sin²ϑ/(μ·g_ex·|H|) (0 where |H| = 0).
//
// Spiral_Spin_Hamilton: at each phase the eight lines of hyperfine_lines for the field
// |H| at the polar angle ϑ (azimuth 0, η = 0), the gradient "Q" and the beam angle "γ",
// at "δ" plus their positions.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/hyperfine_lines.h"
#include "lineshapes/sextet.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/modulation_graphs.h"
#include "relaxation/phase_average.h"
#include "relaxation/spiral_field.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

// The field of the parameter values p, Hb₀, Hc₀, φ, hb/hc and hc₁ at the given indices
// and hc₃ … hc₁₅ after hc₁.
SpiralField<double> spiral_field_of(std::span<const double> p, std::size_t b0, std::size_t c0, std::size_t phi,
                                    std::size_t ratio, std::size_t first_amplitude);

// The largest |H| any phase and any φ can give: √((|Hb₀| + |r|·Σ|a_k|)² + (|Hc₀| + Σ|a_k|)²).
double spiral_field_bound(double b0, double c0, double ratio, std::span<const double> amplitudes);

struct Spiral_Spin_Sextet : Spiral_Spin_SextetParams, Sextet, DefaultArea, SubSpecRange<Spiral_Spin_Sextet>,
                            PointsData, SubSpecExtraGraph<Spiral_Spin_Sextet>, SpiralAxisNames,
                            DefaultDVT<1, 2, 11> {
    template <class R>
    PhaseAverage<R, 6> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift, const R& eps_lat, const R& eps_q, const R& hb0, const R& hc0,
                               const R& width, const R& width2, const R& width3, const R& alpha, const R& phi,
                               const R& hb_hc, const R& a1, const R& a3, const R& a5, const R& a7, const R& a9,
                               const R& a11, const R& a13, const R& a15) const
    {
        const Isotope& iso = required_isotope(isotope);
        const SpiralField<R> field_at(hb0, hc0, hb_hc, phi, {a1, a3, a5, a7, a9, a11, a13, a15});
        const R second_order = eps_q * eps_q * (3.0 / (iso.KN * iso.g_ex));
        const std::size_t n = static_cast<std::size_t>(std::max(points(), 0));
        return sextet_phase_average(n, area, ratio2, ratio3, width, width2, width3, alpha,
                                    [&](double phase, std::array<R, 6>& positions) {
                                        const FieldComponents<R> f = field_at(two_pi * (phase + 0.5));
                                        const R squared = f.squared();
                                        const R cos2 = axial_cos2(f, squared);
                                        second_order_positions(iso, shift, eps_lat * (cos2 * 1.5 - 0.5),
                                                               magnitude_of(squared), 1.0 - cos2, second_order,
                                                               positions);
                                    });
    }

    // The sextets of shift "δ", quadrupole shift ±|"εlat"| and the largest field any phase
    // can have, with the widths of the three pairs.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ and hc₁ as a sextet starts, Γ₁ = 2·Γτ, width
    // ratios 1, hb/hc = 1, everything else 0: a field of constant size turning in a circle.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The direction profile over n + 1 phases; the histogram of |H|.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};

struct Spiral_Spin_Hamilton : Spiral_Spin_HamiltonParams, Sextet, DefaultArea, SubSpecRange<Spiral_Spin_Hamilton>,
                              PointsData, SubSpecExtraGraph<Spiral_Spin_Hamilton>, SpiralAxisNames,
                              DefaultDVT<1, 2, 11> {
    template <class R>
    PhaseAverage<R, 8> prepare(const Isotope* isotope, const R& area, const R& gamma, const R& shift,
                               const R& quadrupole, const R& hb0, const R& hc0, const R& width, const R& alpha,
                               const R& phi, const R& hb_hc, const R& a1, const R& a3, const R& a5, const R& a7,
                               const R& a9, const R& a11, const R& a13, const R& a15) const
    {
        const Isotope& iso = required_isotope(isotope);
        const SpiralField<R> field_at(hb0, hc0, hb_hc, phi, {a1, a3, a5, a7, a9, a11, a13, a15});
        const R zero(0.0);
        return hamiltonian_phase_average(iso, static_cast<std::size_t>(std::max(points(), 0)), area, gamma, shift,
                                         quadrupole, zero, zero, width, alpha,
                                         [&](double phase, R& field, R& cos_theta, R& sin_theta) {
                                             const FieldComponents<R> f = field_at(two_pi * (phase + 0.5));
                                             field = magnitude_of(f.squared());
                                             cos_theta = R(f.c < 0.0 ? -1.0 : 1.0);
                                             sin_theta = R(0.0);
                                             if (field != 0.0) {
                                                 cos_theta = f.c / field;
                                                 sin_theta = f.b / field;
                                             }
                                         });
    }

    // The eight lines at "δ" for the largest field any phase can have, along and across
    // the principal axis, widened by 12·|Γ|.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, γ = the magic angle, δ and hc₁ as a sextet starts, Γ = 2·Γτ, hb/hc = 1,
    // everything else 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The direction profile over n + 1 phases; the histogram of |H|.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};
