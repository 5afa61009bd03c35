// The closed-form shape of a line that jumps at random between the positions e_A and e_B
// (Blume's two-state solution for a Lorentzian line): with the half jump h = (e_A − e_B)/2,
// the centre c = (e_A + e_B)/2, the half width w, the correlation time τ = 1/(Ω_AB + Ω_BA)
// in mm/s⁻¹ and the population difference D = p_A − p_B, at the velocity v,
//     B = c − v,  F = (1 + 2wτ)·B + D·h,  G = (w² − B² + h²)·τ + w,
//     T = w·((B − D·h)·τ·F + (1 + wτ)·G) / (F² + G²),
// which integrates over v to π·w for every τ and D. τ enters as σ/μ (relaxation_rate.h);
// F and G are carried multiplied by μ, so that no square overflows however slow the jumps
// (τ up to infinity, the static limit) or fast (τ = 0, one Lorentzian at c + D·h).
// The quantities are Blume's; the names here are those of the half jump (h), the centre
// (c), the half width (w) and the population difference (d).
#pragma once

#include "relaxation/relaxation_rate.h"

// One line prepared at its h, c, w, τ and D; called with v it gives T times `amplitude`
// (the caller's scale, folded into the final factor w). What does not
// depend on v is formed once: with b = c − v,
//     F = A·b + μ·D·h,  G = G₀ − σ·b²,  T = w·(σ·(b − D·h)·F + E·G) / (F² + G²),
// A = μ + 2wσ, G₀ = (w² + h²)·σ + w·μ, E = μ + w·σ (F and G carried multiplied by μ).
template <class R>
class TwoStateLine {
public:
    TwoStateLine(const R& h, const R& c, const R& w, const RateScale<R>& tau, const R& d, const R& amplitude = R(1.0))
        : c_(c), dh_(d * h), sigma_(tau.sigma), a_(tau.mu + 2.0 * w * tau.sigma), f0_(tau.mu * dh_),
          g0_((w * w + h * h) * tau.sigma + w * tau.mu), e_(tau.mu + w * tau.sigma), w_(w * amplitude)
    {
    }

    R operator()(double v) const
    {
        const R b = c_ - v;
        const R f = a_ * b + f0_;
        const R g = g0_ - sigma_ * (b * b);
        return w_ * ((b - dh_) * sigma_ * f + e_ * g) / (f * f + g * g);
    }

private:
    R c_, dh_, sigma_, a_, f0_, g0_, e_, w_;
};

// The correlation time of two states from ln(Ω_AB), the ratio ρ = Ω_BA/Ω_AB and the
// isotope's rate factor: the total rate is Ω_AB·(1 + ρ)/L in mm/s.
template <class R>
RateScale<R> two_state_time(const R& log_rate_ab, const R& ratio, double rate_factor)
{
    using std::log;
    return rate_scale(R(log_rate_ab + log(ratio + 1.0) - std::log(rate_factor)));
}
