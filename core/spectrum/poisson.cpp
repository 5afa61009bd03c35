// Poisson sampling: below a mean of 12 by multiplying uniform deviates until their
// product drops to e^(−mean); from 12 on by rejection from a Lorentzian comparison
// function, accepted with probability 0.9·(1 + y²)·P(r)/P(mean) (ratio of Poisson
// probabilities through lnΓ). Uniform deviates take 53 random bits from two draws.
#include "core/spectrum/poisson.h"

#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// Uniform in [0, 1) with 53 random bits: 27 bits of one draw and 26 of the next.
double uniform_53(std::mt19937& engine)
{
    const double a = double(engine() >> 5);
    const double b = double(engine() >> 6);
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

}  // namespace

std::mt19937& random_engine()
{
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

int poisson_sample(double mean)
{
    if (mean <= 0.0)
        return 0;
    if (!(mean <= double(INT_MAX)))
        throw std::range_error("Poisson sampling needs a finite mean within the range of int");
    std::mt19937& engine = random_engine();
    if (mean < 12.0) {
        const double limit = std::exp(-mean);
        int count = 0;
        for (double product = uniform_53(engine); product > limit; product *= uniform_53(engine))
            ++count;
        return count;
    }
    const double g = std::sqrt(2.0 * mean);
    const double log_mean = std::log(mean);
    const double log_p_mean = mean * log_mean - std::lgamma(mean + 1.0);
    for (;;) {
        const double y = std::tan(std::numbers::pi * uniform_53(engine));
        const double r = std::floor(g * y + mean);
        if (!(r >= 0.0 && r <= double(INT_MAX)))
            continue;
        const double t = 0.9 * (1.0 + y * y) * std::exp(r * log_mean - std::lgamma(r + 1.0) - log_p_mean);
        if (uniform_53(engine) <= t)
            return int(r);
    }
}
