// The reciprocal of a complex number over any real type (double or Dual<N>), the one
// division the relaxation line shapes make per level or state and point.
#pragma once

#include <cmath>
#include <complex>
#include <limits>

#include "core/numerics/dual.h"

// 1/z by Smith's scaling with one division for the ratio and one for the scale (the
// quotient 1/z of complex_divide divides twice by the scale); zero or NaN gives NaN.
template <class R>
std::complex<R> complex_reciprocal(const std::complex<R>& z)
{
    using std::abs;
    const R& c = z.real();
    const R& d = z.imag();
    if (abs(c) > abs(d)) {
        const R w = d / c;
        const R r = 1.0 / (c + w * d);
        return {r, -(w * r)};
    }
    if (d != 0.0) {
        const R w = c / d;
        const R r = 1.0 / (d + w * c);
        return {w * r, -r};
    }
    const R nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan};
}
