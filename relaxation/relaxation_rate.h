// Rates of the relaxation models. A rate parameter is the natural logarithm of a rate in
// 1/s; over the isotope's rate factor L ((1/s) per mm/s) it becomes a rate in mm/s.
// Its exponential overflows above about 709 and underflows below about −745, where the
// models are at their fast or static limits; the helpers here keep both ends finite.
#pragma once

#include <cmath>

#include "core/numerics/dual.h"

// The rate's scale as a pair (σ, μ) with rate = μ/σ in mm/s and both at most 1: σ = 1,
// μ = rate while the rate is below 1 mm/s, σ = 1/rate, μ = 1 above. The static limit
// is μ = 0, the fast limit σ = 0, both reached exactly where the exponential would
// leave the range of doubles. `log_rate` is the logarithm of the rate in mm/s.
template <class R>
struct RateScale {
    R sigma, mu;
};

template <class R>
RateScale<R> rate_scale(const R& log_rate)
{
    using std::exp;
    if (log_rate < 0.0)
        return {R(1.0), exp(log_rate)};
    return {exp(-log_rate), R(1.0)};
}

// exp(log_rate) in mm/s for the level chains, held at the fast limit where the
// exponential nears overflow: from e^460 ≈ 1e200 mm/s on, every relaxation spectrum is
// its fast limit to the last bit, so there the rate stays at that value and carries no
// derivative, and products of it with the relative rates stay finite.
template <class R>
R chain_rate(const R& log_rate)
{
    using std::exp;
    constexpr double fast_limit = 460.0;
    return log_rate < fast_limit ? exp(log_rate) : R(std::exp(fast_limit));
}
