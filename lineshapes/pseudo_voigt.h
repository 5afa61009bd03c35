// The normalised pseudo-Voigt shape a*G(x) + (1 - a)*L(x) in the reduced coordinate
// x = 2(v - x0)/width: a Gauss line G and a Lorentz line L of unit area, both at half
// maximum for x = +-1. Generic over the number type (double or Dual<N>).
#pragma once

#include <cmath>

inline constexpr double pseudo_voigt_ln2 = 0.6931471805599453;
inline constexpr double pseudo_voigt_gauss_norm = 0.46971863934982566;  // sqrt(ln 2 / pi)
inline constexpr double pseudo_voigt_pi = 3.141592653589793;

template <class R>
R pseudo_voigt(const R& x, const R& a)
{
    using std::exp;
    const R gauss = exp(-x * x * pseudo_voigt_ln2) * pseudo_voigt_gauss_norm * a;
    const R lorentz = 1.0 / ((x * x + 1.0) * pseudo_voigt_pi) * (1.0 - a);
    return lorentz + gauss;
}

// s * pseudo_voigt(x, a) for many x with one scale s and one a: the weights of the two
// parts are formed once, so a point costs one square, one exponential and one
// quotient (on Dual<N> half the operations of the plain form).
template <class R>
class ScaledPseudoVoigt {
public:
    ScaledPseudoVoigt(const R& scale, const R& a)
        : gauss_(scale * a * pseudo_voigt_gauss_norm), lorentz_(scale * (1.0 - a) * (1.0 / pseudo_voigt_pi))
    {
    }

    R operator()(const R& x) const
    {
        using std::exp;
        const R x2 = x * x;
        return gauss_ * exp(x2 * -pseudo_voigt_ln2) + lorentz_ / (x2 + 1.0);
    }

private:
    R gauss_, lorentz_;
};
