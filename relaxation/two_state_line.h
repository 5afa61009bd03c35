// The closed-form shape of a line that jumps at random between the positions e_A and e_B
// (Blume's two-state solution for a Lorentzian line): with the half jump h = (e_A − e_B)/2,
// the centre c = (e_A + e_B)/2, the half width w, the correlation time τ = 1/(Ω_AB + Ω_BA)
// in mm/s⁻¹ and the population difference D = p_A − p_B, at the velocity v,
//     B = c − v,  F = (1 + 2wτ)·B + D·h,  G = (w² − B² + h²)·τ + w,
//     T = w·((B − D·h)·τ·F + (1 + wτ)·G) / (F² + G²),
// which integrates over v to π·w for every τ and D. τ enters as σ/μ (relaxation_rate.h);
// F and G are carried multiplied by μ, so that no square overflows however slow the jumps
// (τ up to infinity, the static limit) or fast (τ = 0, one Lorentzian at c + D·h).
#pragma once

#include "relaxation/relaxation_rate.h"

template <class R>
R two_state_line(double v, const R& h, const R& c, const R& w, const RateScale<R>& tau, const R& d)
{
    const R b = c - v;
    const R dh = d * h;
    const R f = (tau.mu + 2.0 * w * tau.sigma) * b + tau.mu * dh;
    const R g = (w * w - b * b + h * h) * tau.sigma + w * tau.mu;
    return w * ((b - dh) * tau.sigma * f + (tau.mu + w * tau.sigma) * g) / (f * f + g * g);
}

// The correlation time of two states from ln(Ω_AB), the ratio ρ = Ω_BA/Ω_AB and the
// isotope's rate factor: the total rate is Ω_AB·(1 + ρ)/L in mm/s.
template <class R>
RateScale<R> two_state_time(const R& log_rate_ab, const R& ratio, double rate_factor)
{
    using std::log;
    return rate_scale(R(log_rate_ab + log(ratio + 1.0) - std::log(rate_factor)));
}
