// The six lines of a magnetic sextet, shared by every sextet-type model: their positions
// from the isomer shift δ, the quadrupole shift ε, the hyperfine field H (kOe) and the
// isotope's constants K, α and β (one sign convention for all models), their areas from
// the intensity pattern, the spectral extent, and the table of the transitions'
// magnetic quantum numbers for the models that work from the g-factors directly.
//
// With f₁ = K/2, f₂ = f₁·α, f₃ = f₁·β, lines 1 to 6 lie at
//     (δ + ε) + f₁·H + a₊,  (δ − ε) + f₂·H − a₋,  (δ − ε) + f₃·H + a₋,
//     (δ − ε) − f₃·H − a₋,  (δ − ε) − f₂·H + a₋,  (δ + ε) − f₁·H − a₊,
// a₊ and a₋ being shifts of the line pairs beyond the first-order pattern (0 in the
// three-input form). Linear in H; no absolute value is taken. For ⁵⁷Fe K < 0, so with
// H > 0 line 1 lies at the most negative velocity.
#pragma once

#include <array>
#include <span>

#include "core/spectrum/isotope.h"

struct SpectrumAnalysis;

// Base of the models built on sextet_positions.
struct Sextet {
    template <class R>
    static void sextet_positions(const Isotope& isotope, const R& shift, const R& quadrupole, const R& field,
                                 std::array<R, 6>& out)
    {
        const double f1 = 0.5 * isotope.K;
        const double f2 = f1 * isotope.α;
        const double f3 = f1 * isotope.β;
        const R outer = shift + quadrupole;
        const R inner = shift - quadrupole;
        const R h1 = field * f1;
        const R h2 = field * f2;
        const R h3 = field * f3;
        out = {outer + h1, inner + h2, inner + h3, inner - h3, inner - h2, outer - h1};
    }

    template <class R>
    static void sextet_positions(const Isotope& isotope, const R& shift, const R& quadrupole, const R& field,
                                 const R& outer_shift, const R& inner_shift, std::array<R, 6>& out)
    {
        sextet_positions(isotope, shift, quadrupole, field, out);
        out[0] += outer_shift;
        out[1] -= inner_shift;
        out[2] += inner_shift;
        out[3] -= inner_shift;
        out[4] += inner_shift;
        out[5] -= outer_shift;
    }
};

// Magnetic quantum numbers of the six transitions, the excited level (spin 3/2) first,
// then the ground level (spin 1/2); column j is line j + 1. Line j's shift per unit
// field is (m_e·g_ex − m_g·g_gr)·KN, the negative of its factor in sextet_positions.
inline constexpr double zeeman_line_factors[2][6] = {
    {-1.5, -0.5, 0.5, -0.5, 0.5, 1.5},
    {-0.5, -0.5, -0.5, 0.5, 0.5, 0.5},
};

// The areas of lines 1 to 6 for total area I and the intensity ratios q = I₂/I₁ and
// r = I₃/I₁: w·(1, q, r, r, q, 1) with w = I/(2·(1 + q + r)); they add up to I.
template <class R>
std::array<R, 6> sextet_areas(const R& area, const R& ratio2, const R& ratio3)
{
    const R w = area * 0.5 / ((ratio2 + 1.0) + ratio3);
    const R w2 = w * ratio2;
    const R w3 = w * ratio3;
    return {w, w2, w3, w3, w2, w};
}

// The velocity interval outside which a sextet is negligible: its six positions widened
// on both sides by 12 times the largest of the widths |Γ₁|, |Γ₁·r₂|, |Γ₁·r₃|,
// |Γ₁·r₃·r₄|, |Γ₁·r₂·r₅|, |Γ₁·r₆| (lines 1 to 6). Non-finite inputs give non-finite
// ends.
void sextet_extent(const Isotope& isotope, double shift, double quadrupole, double field, double outer_shift,
                   double inner_shift, double width, double r2, double r3, double r4, double r5, double r6,
                   double& min, double& max);

// The first six starting values of every sextet: I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ,
// ε = 0 and the field. With 5 or more lines found, δ is the middle of the first and the
// last found line and the field their distance over |K|; otherwise δ is the analysis'
// centroid XSc and the field its half-depth width WH2 over |K|.
void start_sextet(const Isotope& isotope, const SpectrumAnalysis& analysis, std::span<double> p);
