// Complex numbers over dual numbers. ComplexDual<N> is std::complex<Dual<N>>: the real
// part's N + 1 doubles followed by the imaginary part's, with the standard complex
// arithmetic carried out in Dual<N> arithmetic, so that generic complex formulas
// (and std::real, std::imag, std::conj) serve both std::complex<double> and it.
//
// Division is Smith's: divide by the divisor part of larger modulus first, so that no
// intermediate squares the divisor and overflows. It is written out once for any real
// type and used for std::complex<double> too, which then rounds the same with every
// compiler and run-time library instead of following the library's own division.
#pragma once

#include "core/numerics/dual.h"

#include <complex>
#include <cstddef>
#include <limits>

template <class R>
std::complex<R> complex_divide(const std::complex<R>& x, const std::complex<R>& y);

namespace std {
template <std::size_t N>
class complex<Dual<N>> {
public:
    using value_type = Dual<N>;

    // A real dual number converts with an all-zero imaginary part.
    constexpr complex(const Dual<N>& re = Dual<N>(), const Dual<N>& im = Dual<N>()) : re_(re), im_(im) {}

    constexpr Dual<N> real() const { return re_; }
    constexpr Dual<N> imag() const { return im_; }
    constexpr void real(const Dual<N>& x) { re_ = x; }
    constexpr void imag(const Dual<N>& x) { im_ = x; }

    complex& operator=(const Dual<N>& x)
    {
        re_ = x;
        im_ = Dual<N>();
        return *this;
    }
    complex& operator+=(const Dual<N>& x) { re_ += x; return *this; }
    complex& operator-=(const Dual<N>& x) { re_ -= x; return *this; }
    complex& operator*=(const Dual<N>& x) { re_ *= x; im_ *= x; return *this; }
    complex& operator/=(const Dual<N>& x) { re_ /= x; im_ /= x; return *this; }

    complex& operator+=(const complex& y) { re_ += y.re_; im_ += y.im_; return *this; }
    complex& operator-=(const complex& y) { re_ -= y.re_; im_ -= y.im_; return *this; }

    // Both parts from the old value, so y may be *this.
    complex& operator*=(const complex& y)
    {
        Dual<N> re = re_ * y.re_;
        re -= im_ * y.im_;
        Dual<N> im = re_ * y.im_;
        im += im_ * y.re_;
        re_ = re;
        im_ = im;
        return *this;
    }
    complex& operator/=(const complex& y) { return *this = complex_divide(*this, y); }

    // Scaling by a plain constant, part by part.
    friend complex operator*(complex z, double k) { z.re_ *= k; z.im_ *= k; return z; }
    friend complex operator*(double k, complex z) { z.re_ *= k; z.im_ *= k; return z; }

private:
    Dual<N> re_;
    Dual<N> im_;
};
}  // namespace std

template <std::size_t N>
using ComplexDual = std::complex<Dual<N>>;

static_assert(sizeof(ComplexDual<2>) == 6 * sizeof(double));

// x / y by Smith's scaling. A divisor that is zero, or whose scaled denominator is
// zero, gives the quiet NaN in both parts (for Dual<N>: NaN values, zero derivatives).
// Only values are compared; a NaN in the divisor runs through the second branch by
// ordinary arithmetic.
template <class R>
std::complex<R> complex_divide(const std::complex<R>& x, const std::complex<R>& y)
{
    using std::abs;
    const R a = x.real();
    const R b = x.imag();
    const R c = y.real();
    const R d = y.imag();
    if (abs(c) > abs(d)) {
        const R w = d / c;
        const R den = c + w * d;
        if (den != 0.0)
            return {(a + b * w) / den, (b - a * w) / den};
    } else if (d != 0.0) {
        const R w = c / d;
        const R den = d + w * c;
        if (den != 0.0)
            return {(a * w + b) / den, (b * w - a) / den};
    }
    const R nan = std::numeric_limits<R>::quiet_NaN();
    return {nan, nan};
}
