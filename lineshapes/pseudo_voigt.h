// The normalised pseudo-Voigt shape a*G(x) + (1 - a)*L(x) in the reduced coordinate
// x = 2(v - x0)/width: a Gauss line G and a Lorentz line L of unit area, both at half
// maximum for x = +-1. Generic over the number type (double or Dual<N>).
#pragma once

#include <cmath>
#include <concepts>

#include "core/numerics/dual.h"

inline constexpr double pseudo_voigt_ln2 = 0.6931471805599453;
inline constexpr double pseudo_voigt_gauss_norm = 0.46971863934982566;  // sqrt(ln 2 / pi)
inline constexpr double pseudo_voigt_pi = 3.141592653589793;

// exp(y) for the Gauss part. Below -746 the exponential is under half the smallest
// subnormal number and rounds to +0; on doubles and dual numbers that is returned
// (derivatives times 0, as from the call) without the library call: beyond about 33
// half widths from a line, where most points of a spectrum lie, the call would take
// its slow underflow path.
template <class R>
R gauss_exp(const R& y)
{
    if constexpr (requires {
                      { dual_apply(y, 0.0, 0.0) } -> std::same_as<R>;
                      dual_value(y);
                  }) {
        const double f = y < -746.0 ? 0.0 : std::exp(dual_value(y));
        return dual_apply(y, f, f);
    } else {
        using std::exp;
        return exp(y);
    }
}

template <class R>
R pseudo_voigt(const R& x, const R& a)
{
    const R gauss = gauss_exp(-x * x * pseudo_voigt_ln2) * pseudo_voigt_gauss_norm * a;
    const R lorentz = 1.0 / ((x * x + 1.0) * pseudo_voigt_pi) * (1.0 - a);
    return lorentz + gauss;
}

// s * pseudo_voigt(x, a) for many x with one scale s and one a: the weights of the two
// parts are formed once, so a point costs one square, one exponential and one
// quotient (on Dual<N> half the operations of the plain form). Beyond
// gauss_negligible_x2 the Gauss part is below 1e-24 of the line's height, far under the
// rounding of any spectrum it is added to, and is left out: most points of a spectrum
// lie there, and the exponential is the most expensive operation of a point.
inline constexpr double gauss_negligible_x2 = 80.0;  // exp(-80 ln 2) = 8.3e-25

template <class R>
class ScaledPseudoVoigt {
public:
    ScaledPseudoVoigt(const R& scale, const R& a)
        : gauss_(scale * a * pseudo_voigt_gauss_norm), lorentz_(scale * (1.0 - a) * (1.0 / pseudo_voigt_pi))
    {
    }

    R operator()(const R& x) const
    {
        const R x2 = x * x;
        const R lorentz = lorentz_ / (x2 + 1.0);
        if (x2 > gauss_negligible_x2)
            return lorentz;
        return gauss_ * gauss_exp(x2 * -pseudo_voigt_ln2) + lorentz;
    }

private:
    R gauss_, lorentz_;
};
