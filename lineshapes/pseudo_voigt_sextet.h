// The general magnetic sextet: six pseudo-Voigt lines with one Gauss fraction "α", the
// symmetric intensity pattern of sextet_areas, a width for each line and the pair shifts
// "a₊", "a₋" (sextet_positions, five-input form). Each width ratio refers to a width
// already defined: Γ₂ = Γ₁·"Γ₂/Γ₁", Γ₃ = Γ₁·"Γ₃/Γ₁", Γ₄ = Γ₃·"Γ₄/Γ₃", Γ₅ = Γ₂·"Γ₅/Γ₂",
// Γ₆ = Γ₁·"Γ₆/Γ₁". It is the sextet of the velocity calibration: it reports the distance
// of its outer lines and takes starting values from the lines the analysis found.
#pragma once

#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/line_shapes.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

struct PseudoVoigtSextet : PseudoVoigtSextetParams, DefaultArea, LineDistance<PseudoVoigtSextet>,
                           LineSet<PseudoVoigtSextet>, ICalibrationInit, SubSpecRange<PseudoVoigtSextet>,
                           DefaultDVT<1, 2, 11>, Sextet {
    template <class R>
    static Multiplet<R, 6> multiplet(const Isotope& isotope, const R& area, const R& ratio2, const R& ratio3,
                                     const R& shift, const R& quadrupole, const R& field, const R& outer_shift,
                                     const R& inner_shift, const R& width, const R& r2, const R& r3, const R& r4,
                                     const R& r5, const R& r6)
    {
        const R w2 = width * r2;
        const R w3 = width * r3;
        Multiplet<R, 6> m{{}, {width, w2, w3, w3 * r4, w2 * r5, width * r6}, sextet_areas(area, ratio2, ratio3)};
        sextet_positions(isotope, shift, quadrupole, field, outer_shift, inner_shift, m.position);
        return m;
    }

    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& outer_shift,
              const R& inner_shift, const R& width, const R& r2, const R& r3, const R& r4, const R& r5, const R& r6,
              const R& alpha) const
    {
        const Multiplet<R, 6> m = multiplet(required_isotope(isotope), area, ratio2, ratio3, shift, quadrupole, field,
                                            outer_shift, inner_shift, width, r2, r3, r4, r5, r6);
        sum_lines(x, out, pseudo_voigt_shapes(m, alpha));
    }

    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(multiplet(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9],
                               p[10], p[11], p[12], p[13]),
                     out);
    }

    // Position of line 6 minus position of line 1, −K·Hn − 2·a₊: positive for ⁵⁷Fe
    // (K < 0) with a positive field, as the calibration's known distances are.
    double line_distance_of(const Isotope* isotope, std::span<const double> p) const;
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // start_sextet, a₊ = a₋ = 0, Γ₁ = 3·Γτ, width ratios 1, α = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // With the found lines q₁ … q_n in the analysis' order: 2 lines are lines 3 and 4,
    // 4 lines have lines 2 and 5 outermost, 6 lines are the whole sextet (δ, ε and Hn
    // from lines 1, 2, 5 and 6); other counts keep δ, ε and Hn. Γ₁ becomes the width of
    // the first found line when that is above 0.
    void init_from_peaks(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                         unsigned count) const override;
};
