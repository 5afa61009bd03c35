// The NMR line of an anharmonic spin modulation: at each of the n = "Points" phases of
// one period the spin angle ϑ of spin_modulation.h places one pseudo-Voigt line of
// Gauss fraction "α" and area "I"/n at the frequency "νis" + "νan"·P,
// P = (3·cos²ϑ − 1)/2, with the width "Γ₀" + "ΔΓ"·sin²ϑ. "ΔΓ" may be negative; the width
// is kept at least min_nmr_width (the lower bound of "Γ₀"), so that no phase gives an
// infinite or a negated line. No isotope enters.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "relaxation/modulation_graphs.h"
#include "relaxation/phase_average.h"
#include "relaxation/spin_modulation.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct Isotope;
struct SpectrumAnalysis;

inline constexpr double min_nmr_width = 0.001;

struct NMR_AnharmonicSpinModulation : NMR_AnharmonicSpinModulationParams, DefaultArea,
                                      SubSpecRange<NMR_AnharmonicSpinModulation>, PointsData,
                                      SubSpecExtraGraph<NMR_AnharmonicSpinModulation>, ModulationAxisNames,
                                      DefaultDVT<1, 24> {
    template <class R>
    PhaseAverage<R, 1> prepare(const R& area, const R& nu_is, const R& nu_an, const R& m, const R& width0,
                               const R& width_change, const R& alpha) const
    {
        const SpinModulation<R> modulation(m);
        const std::size_t n = static_cast<std::size_t>(points());
        const R weight = area * (1.0 / static_cast<double>(n));
        return average_over_phases<1>(n, alpha, [&](double phase, Multiplet<R, 1>& line) {
            R sin2, p2;
            modulation.legendre(phase, sin2, p2);
            const R width = width0 + width_change * sin2;
            line = {{nu_is + nu_an * p2}, {width < min_nmr_width ? R(min_nmr_width) : width}, {weight}};
        });
    }

    // "νis" ∓ |"νan"| ∓ 8·"Γ₀".
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, m = 0, ΔΓ = 0, α = 1; with exactly two lines found, at L₁ and L₂, the lines
    // of the phases span L₁ … L₂ (νis = (2·L₁ + L₂)/3, νan = 2/3·(L₂ − L₁)) and
    // Γ₀ = |L₂ − L₁|/10; otherwise νis = the centroid, νan = 0, Γ₀ = 0.1.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The profile of 200 points; the histogram of |ν| over 50000 phases in 200 bins at
    // their lower edges, summing to 1.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};
