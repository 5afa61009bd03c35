// The simple magnetic sextets: six lines at the positions of sextet_positions (three-input
// form) with the symmetric intensity pattern of sextet_areas and one width per line pair
// (lines 1 and 6, 2 and 5, 3 and 4). SimplePseudoVoigtSextet: pseudo-Voigt lines of full
// widths Γ₁, Γ₁·"Γ₂/Γ₁", Γ₁·"Γ₃/Γ₁" with one Gauss fraction "α". SimpleVoigtSextet:
// Voigt lines of one Lorentz width "ΓL" and the Gauss widths ΓG₁, ΓG₁·"ΓG₂/ΓG₁",
// ΓG₁·"ΓG₃/ΓG₁".
#pragma once

#include <array>
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

// The six lines with the widths w₁, w₂, w₃ of the three line pairs.
template <class R>
Multiplet<R, 6> simple_sextet(const Isotope& isotope, const R& area, const R& ratio2, const R& ratio3,
                              const R& shift, const R& quadrupole, const R& field, const R& w1, const R& w2,
                              const R& w3)
{
    Multiplet<R, 6> m{{}, {w1, w2, w3, w3, w2, w1}, sextet_areas(area, ratio2, ratio3)};
    Sextet::sextet_positions(isotope, shift, quadrupole, field, m.position);
    return m;
}

struct SimplePseudoVoigtSextet : SimplePseudoVoigtSextetParams, DefaultArea, LineSet<SimplePseudoVoigtSextet>,
                                 SubSpecRange<SimplePseudoVoigtSextet>, DefaultDVT<1, 2, 11>, Sextet {
    template <class R>
    static Multiplet<R, 6> multiplet(const Isotope& isotope, const R& area, const R& ratio2, const R& ratio3,
                                     const R& shift, const R& quadrupole, const R& field, const R& width,
                                     const R& width2, const R& width3)
    {
        return simple_sextet(isotope, area, ratio2, ratio3, shift, quadrupole, field, width, width * width2,
                             width * width3);
    }

    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& width,
              const R& width2, const R& width3, const R& alpha) const
    {
        const Multiplet<R, 6> m = multiplet(required_isotope(isotope), area, ratio2, ratio3, shift, quadrupole, field,
                                            width, width2, width3);
        sum_lines(x, out, pseudo_voigt_shapes(m, alpha));
    }

    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(multiplet(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]), out);
    }

    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ and Hn from start_sextet, ε = 0, Γ₁ = 3·Γτ,
    // ratios 1, α = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct SimpleVoigtSextet : SimpleVoigtSextetParams, DefaultArea, LineSet<SimpleVoigtSextet>,
                           SubSpecRange<SimpleVoigtSextet>, DefaultDVT<1, 2, 11>, Sextet {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& lorentz_width,
              const R& gauss_width, const R& gauss2, const R& gauss3) const
    {
        const Multiplet<R, 6> m = simple_sextet(required_isotope(isotope), area, ratio2, ratio3, shift, quadrupole,
                                                field, lorentz_width, lorentz_width, lorentz_width);
        const R g2 = gauss_width * gauss2;
        const R g3 = gauss_width * gauss3;
        sum_lines(x, out, voigt_shapes(m, std::array<R, 6>{gauss_width, g2, g3, g3, g2, gauss_width}));
    }

    // Every line reports the Lorentz width.
    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(simple_sextet(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[6], p[6]),
                     out);
    }

    // From ΓL: the Gauss widths do not enter.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // As the pseudo-Voigt sextet, with ΓL = 2·Γτ, ΓG₁ = 0.01 and ratios 1.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
