// The normalised pseudo-Voigt shape a*G(x) + (1 - a)*L(x) in the reduced coordinate
// x = 2(v - x0)/width: a Gauss line G and a Lorentz line L of unit area, both at half
// maximum for x = +-1. Generic over the number type (double or Dual<N>).
#pragma once

#include <cmath>

template <class R>
R pseudo_voigt(const R& x, const R& a)
{
    using std::exp;
    constexpr double ln2 = 0.6931471805599453;
    constexpr double gauss_norm = 0.46971863934982566;  // sqrt(ln 2 / pi)
    constexpr double pi = 3.141592653589793;
    const R gauss = exp(-x * x * ln2) * gauss_norm * a;
    const R lorentz = 1.0 / ((x * x + 1.0) * pi) * (1.0 - a);
    return lorentz + gauss;
}
