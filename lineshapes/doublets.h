// The quadrupole doublets: two lines symmetric about the isomer shift "δ", line 1 at
// δ − ε and line 2 at δ + ε, of areas I/(1 + R) and I·R/(1 + R) with R = "I₂/I₁", so
// the doublet has area "I". PseudoVoigtDoublet: pseudo-Voigt lines of full widths Γ₁
// and Γ₁·"Γ₂/Γ₁" with one Gauss fraction "α". VoigtDoublet: Voigt lines of one Lorentz
// width "ΓL" and the Gauss widths ΓG₁ and ΓG₁·"ΓG₂/ΓG₁".
#pragma once

#include <array>
#include <span>
#include <vector>

#include "lineshapes/line_shapes.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct Isotope;
struct SpectrumAnalysis;

// What the two share: parameters "I", "I₂/I₁", "δ", "ε" at 0 to 3.
struct Doublet {
    template <class R>
    static Multiplet<R, 2> doublet(const R& area, const R& ratio, const R& shift, const R& quadrupole,
                                   const R& width1, const R& width2)
    {
        const R a = area / (ratio + 1.0);
        return {{shift - quadrupole, shift + quadrupole}, {width1, width2}, {a, a * ratio}};
    }

    // The distance 2·ε of the two lines, with the sign of ε.
    double line_distance_of(const Isotope*, std::span<const double> p) const;

    // I = 1, I₂/I₁ = 1, δ = XSc, ε = 3·Γτ; when the analysis found exactly two lines,
    // δ their mean and ε half their distance.
    static void start_doublet(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p);
};

struct PseudoVoigtDoublet : PseudoVoigtDoubletParams, DefaultArea, LineDistance<PseudoVoigtDoublet>,
                            LineSet<PseudoVoigtDoublet>, SubSpecRange<PseudoVoigtDoublet>, DefaultDVT<1, 2>, Doublet {
    template <class R>
    static Multiplet<R, 2> multiplet(const R& area, const R& ratio, const R& shift, const R& quadrupole,
                                     const R& width, const R& width_ratio)
    {
        return doublet(area, ratio, shift, quadrupole, width, width * width_ratio);
    }

    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& ratio, const R& shift, const R& quadrupole,
              const R& width, const R& width_ratio, const R& alpha) const
    {
        sum_lines(x, out, pseudo_voigt_shapes(multiplet(area, ratio, shift, quadrupole, width, width_ratio), alpha));
    }

    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(multiplet(p[0], p[1], p[2], p[3], p[4], p[5]), out);
    }

    // δ ± (|ε| + 12·max(|Γ₁|, |Γ₂|)).
    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const;
    // Doublet start, Γ₁ = 3·Γτ, Γ₂/Γ₁ = 1, α = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct VoigtDoublet : VoigtDoubletParams, DefaultArea, LineDistance<VoigtDoublet>, LineSet<VoigtDoublet>,
                      SubSpecRange<VoigtDoublet>, DefaultDVT<1, 2>, Doublet {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& ratio, const R& shift, const R& quadrupole,
              const R& lorentz_width, const R& gauss_width, const R& gauss_ratio) const
    {
        const Multiplet<R, 2> m = doublet(area, ratio, shift, quadrupole, lorentz_width, lorentz_width);
        sum_lines(x, out, voigt_shapes(m, std::array<R, 2>{gauss_width, gauss_width * gauss_ratio}));
    }

    // Both lines report the Lorentz width.
    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(doublet(p[0], p[1], p[2], p[3], p[4], p[4]), out);
    }

    // δ ± (|ε| + 12·|ΓL|): the Gauss widths do not enter.
    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const;
    // Doublet start, ΓL = 2·Γτ, ΓG₁ = 0.01, ΓG₂/ΓG₁ = 1.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
