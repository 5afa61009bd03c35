// The NMR line of a spiral-like spin structure: the frequency vector of spiral_field.h,
// whose b component also carries the c offset "νc₀" scaled by "νb/νc", places at each of
// the n = "Points" phases qx = i·2π/n one pseudo-Voigt line of Gauss fraction "α" at
// |ν| with the width "Γ₀" + "ΔΓ"·cos²ϑ, ϑ the angle of ν to the c axis. Each phase
// weighs the phase step 2π/n, so the spectrum's area is 2π·"I", and the reported area
// says so. The width is kept at least min_nmr_width, as for the anharmonic NMR line.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "relaxation/anharmonic_sextets.h"
#include "relaxation/modulation_graphs.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/phase_average.h"
#include "relaxation/spiral_field.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct Isotope;
struct SpectrumAnalysis;

// "2π·[component:I]": the area of a line set weighed by the phase step.
class PeriodArea : public DefaultArea {
public:
    std::wstring area_expr(unsigned component) const override;
};

struct NMR_Spiral_Spin : NMR_Spiral_SpinParams, PeriodArea, SubSpecRange<NMR_Spiral_Spin>, PointsData,
                         SubSpecExtraGraph<NMR_Spiral_Spin>, SpiralAxisNames, DefaultDVT<11> {
    template <class R>
    PhaseAverage<R, 1> prepare(const R& area, const R& nu_b0, const R& nu_c0, const R& width0,
                               const R& width_change, const R& alpha, const R& phi, const R& ratio, const R& a1,
                               const R& a3, const R& a5, const R& a7, const R& a9, const R& a11, const R& a13,
                               const R& a15) const
    {
        const SpiralField<R> field_at(nu_b0 + ratio * nu_c0, nu_c0, ratio, phi, {a1, a3, a5, a7, a9, a11, a13, a15});
        const std::size_t n = static_cast<std::size_t>(std::max(points(), 0));
        const R weight = area * (two_pi / static_cast<double>(n));
        return average_over_phases<1>(n, alpha, [&](double phase, Multiplet<R, 1>& line) {
            const FieldComponents<R> f = field_at(two_pi * (phase + 0.5));
            const R squared = f.squared();
            const R width = width0 + width_change * axial_cos2(f, squared);
            line = {{magnitude_of(squared)}, {width < min_nmr_width ? R(min_nmr_width) : width}, {weight}};
        });
    }

    // The smallest and the largest |ν| of 100 phases, widened by 8 times the largest
    // width and 0.1.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, Γ₀ = 0.1, νb/νc = 1, νc₁ the middle of exactly two found lines, else the
    // centroid; everything else 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The direction profile over n + 1 phases; the histogram of |ν|.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};
