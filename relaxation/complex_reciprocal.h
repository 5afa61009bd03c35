// The reciprocal of a complex number (times a real) over any real type (double or
// Dual<N>), the one division the relaxation line shapes make per level or state and point.
#pragma once

#include <cmath>
#include <complex>
#include <limits>

#include "core/numerics/dual.h"

// k/z for a real k by Smith's scaling, with one division for the ratio and one for the
// scale (complex_divide divides twice by the scale); z zero or NaN gives NaN.
template <class R>
std::complex<R> complex_reciprocal(const std::complex<R>& z, const R& k = R(1.0))
{
    using std::abs;
    const R& c = z.real();
    const R& d = z.imag();
    if (abs(c) > abs(d)) {
        const R w = d / c;
        const R r = k / (c + w * d);
        return {r, -(w * r)};
    }
    if (d != 0.0) {
        const R w = c / d;
        const R r = k / (d + w * c);
        return {w * r, -r};
    }
    const R nan = std::numeric_limits<double>::quiet_NaN();
    return {nan, nan};
}
