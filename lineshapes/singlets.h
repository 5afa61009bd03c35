// The single-line models: one absorption line of area "I" at "δ", a Lorentz line
// (LorenzLine), a pseudo-Voigt line of full width "Γ" and Gauss fraction "α"
// (PseudoVoigtLine) and a Voigt line, Lorentz width "ΓL" convolved with Gauss width "ΓG"
// (VoigtLine). Shapes in lineshapes/line_shapes.h.
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

// What the three share: parameters "I", "δ" and a (Lorentz) width at 0, 1 and 2.
struct SingleLine {
    // One informative line {δ, width, I}.
    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        out.push_back(informative_line(p[1], p[2], p[0]));
    }

    // δ ± 12·|width|.
    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const;
};

struct LorenzLine : LorenzLineParams, DefaultArea, LineSet<LorenzLine>, SubSpecRange<LorenzLine>, DefaultDVT<1>,
                    ILorenzLine, SingleLine {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& shift, const R& width) const
    {
        sum_lines(x, out, std::array{LorentzShape<R>(area, shift, width)});
    }

    // 1, XSc, 3·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // Peak amplitude 2·I/(π·Γ), position δ, width Γ.
    void lorentz_params(const ParamRange& p, double& amplitude, double& position, double& width) const override;
};

struct PseudoVoigtLine : PseudoVoigtLineParams, DefaultArea, LineSet<PseudoVoigtLine>, SubSpecRange<PseudoVoigtLine>,
                         DefaultDVT<1>, SingleLine {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& shift, const R& width, const R& alpha) const
    {
        sum_lines(x, out, std::array{PseudoVoigtShape<R>(area, shift, width, alpha)});
    }

    // 1, XSc, 3·Γτ, α = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct VoigtLine : VoigtLineParams, DefaultArea, LineSet<VoigtLine>, SubSpecRange<VoigtLine>, DefaultDVT<1>, SingleLine {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& shift, const R& lorentz_width,
              const R& gauss_width) const
    {
        sum_lines(x, out, std::array{VoigtShape<R>(area, shift, lorentz_width, gauss_width)});
    }

    // 1, XSc, ΓL = 2·Γτ, ΓG = 0.01.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
