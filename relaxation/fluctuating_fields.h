// Isotropic fluctuating hyperfine interactions in the strong-collision form: at the rate c
// (mm/s) the interaction jumps to a state drawn with the static weights wⱼ, whatever it
// was. With aⱼ = (Γ/2 + c) + i·(eⱼ − v) and S = Σ wⱼ/aⱼ the line shape is
// (I/π)·Re[S/(1 − c·S)]. Since Σ wⱼ = 1, 1 − c·S = Σ wⱼ·bⱼ/aⱼ with bⱼ = Γ/2 + i·(eⱼ − v),
// a sum of terms with positive real parts: formed that way it does not cancel when c
// dwarfs the width. Numerator and denominator are scaled by the rate's (σ, μ): with
// qⱼ = 1/(σ·bⱼ + μ) the value is (I/π)·Re[Σ wⱼ·qⱼ / Σ wⱼ·bⱼ·qⱼ], which reaches the static
// (μ = 0) and the fast limit (σ = 0, one Lorentzian at Σ wⱼ·eⱼ) exactly.
//   FluctuatingEFG: the two lines δ + ε (weight 1 − 1/(1 + I₂/I₁)) and δ − ε.
//   FluctuatingMMF: the six lines of a sextet with the weights 1, I₂/I₁, I₃/I₁, I₃/I₁,
//     I₂/I₁, 1 over 2·(1 + I₂/I₁ + I₃/I₁).
#pragma once

#include <array>
#include <cmath>
#include <complex>
#include <span>
#include <vector>

#include "core/numerics/complex_dual.h"
#include "core/spectrum/isotope.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "relaxation/complex_reciprocal.h"
#include "relaxation/relaxation_rate.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

template <class R, std::size_t L>
void fluctuating_lines(std::span<const double> x, R* out, const R& area, const std::array<R, L>& position,
                       const std::array<R, L>& weight, const R& log_rate, const R& width, double rate_factor)
{
    using C = std::complex<R>;
    constexpr double inv_pi = 0.3183098861837907;
    const RateScale<R> rate = rate_scale(R(log_rate - std::log(rate_factor)));
    const R half_width = width * 0.5;
    const R height = area * inv_pi;
    const R real = half_width * rate.sigma + rate.mu;  // Re(σ·bⱼ + μ), the same for every state
    std::array<R, L> scaled_position;
    for (std::size_t j = 0; j < L; ++j)
        scaled_position[j] = position[j] * rate.sigma;
    for (std::size_t i = 0; i < x.size(); ++i) {
        // Σ wⱼ·bⱼ·qⱼ = (Γ/2)·Σ wⱼ·qⱼ + i·Σ (eⱼ − v)·wⱼ·qⱼ, the second sum formed as
        // Σ eⱼ·wⱼ·qⱼ − v·Σ wⱼ·qⱼ. Its real part is a sum of terms ≥ 0 (nothing cancels at
        // fast rates); the moment form only rounds at |v| where a term is |eⱼ − v|.
        const R scaled_v = rate.sigma * x[i];
        C numerator, moment;
        for (std::size_t j = 0; j < L; ++j) {
            const C q = complex_reciprocal(C(real, scaled_position[j] - scaled_v), weight[j]);
            numerator += q;
            moment += q * position[j];
        }
        const C offset = moment - numerator * x[i];
        const C denominator(half_width * numerator.real() - offset.imag(),
                            half_width * numerator.imag() + offset.real());
        out[i] = height * complex_divide(numerator, denominator).real();
    }
}

struct FluctuatingEFG : FluctuatingEFGParams, DefaultArea, LineSet<FluctuatingEFG>, SubSpecRange<FluctuatingEFG>,
                        DefaultDVT<1, 2, 12> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio,
              const R& shift, const R& quadrupole, const R& log_rate, const R& width) const
    {
        const R lower = 1.0 / (ratio + 1.0);
        fluctuating_lines<R, 2>(x, out, area, {shift + quadrupole, shift - quadrupole}, {1.0 - lower, lower},
                                log_rate, width, required_isotope(isotope).L);
    }

    // δ + ε, then δ − ε.
    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        out.push_back(position_line<R>(p[2] + p[3]));
        out.push_back(position_line<R>(p[2] - p[3]));
    }

    // δ ± (|ε| + 12·|Γ|).
    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 1, δ = XSc, ε = 3·Γτ, ln(Ω) = 0, Γ = 2·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct FluctuatingMMF : FluctuatingMMFParams, Sextet, DefaultArea, LineSet<FluctuatingMMF>,
                        SubSpecRange<FluctuatingMMF>, DefaultDVT<1, 2, 11, 12> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& log_rate,
              const R& width) const
    {
        const Isotope& iso = required_isotope(isotope);
        std::array<R, 6> positions;
        sextet_positions(iso, shift, quadrupole, field, positions);
        fluctuating_lines(x, out, area, positions, sextet_areas(R(1.0), ratio2, ratio3), log_rate, width, iso.L);
    }

    // The six static positions, in the order of sextet_positions.
    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        std::array<R, 6> positions;
        sextet_positions(required_isotope(isotope), p[3], p[4], p[5], positions);
        for (const R& position : positions)
            out.push_back(position_line(position));
    }

    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // The sextet start (start_sextet), ln(Ω) = 0, Γ = 2·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
