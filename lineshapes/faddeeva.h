// The Faddeeva (complex error) function w(z) = exp(-z^2) erfc(-iz), whose real part is
// the Voigt profile. Method: the exponential-series approximation of Abrarov and Quine
// with tau = 15 and 24 terms,
//   w(z) ~ i [ (1 - e^{i tau z}) / (tau z) - 2 tau z sum_n c_n (1 - (-1)^n e^{i tau z}) / (n^2 pi^2 - tau^2 z^2) ],
// each term split into partial fractions. One call costs one exponential, one sine-cosine
// pair and 49 complex divisions (Smith's). Accurate to about 1e-12 for Im z >= 0; below
// the real axis the series diverges, so there w(z) = 2 exp(-z^2) - w(-z).
// The series has removable singularities at z = 0 and at the real z = n pi / 15
// (|n| <= 24): a divisor vanishes there (0/0) and, close by, the partial fractions lose
// their digits by cancellation. Within 5e-3 of such a point w is therefore summed as its
// Taylor series about z + i h (h = 0.01), where the series is well conditioned; the
// derivatives of w follow from w' = -2 z w + 2i/sqrt(pi). A Voigt line whose Lorentz
// width is 0 evaluated at its centre lands on z = 0.
//
// One template serves std::complex<double> (values) and ComplexDual<2> (values with two
// derivatives, for dual_faddeeva_re).
#pragma once

#include "core/numerics/complex_dual.h"

#include <array>
#include <cmath>
#include <complex>

// c_n = exp(-(n pi / 15)^2), n pi / 15 formed as n * 0.20943951023931953 and squared in
// double, the exponential correctly rounded. Literal, so every build reads the same bits
// and nothing waits for a static initialiser. c_0 is not used by the series.
inline constexpr std::array<double, 25> faddeeva_coefficients = {
    1.0,
    0.9570832425995911,
    0.8390712666108275,
    0.6738254512314336,
    0.49567315300385767,
    0.3339971859861319,
    0.20615299242398244,
    0.11655634043247477,
    0.060364497248779285,
    0.02863694577839452,
    0.012444321744005109,
    0.004953534472455629,
    0.001806169785146415,
    0.0006032556256520791,
    0.00018456256319422402,
    5.172318620381234e-05,
    1.3277807001026446e-05,
    3.122244131298134e-06,
    6.725224537387609e-07,
    1.326924290726822e-07,
    2.3981973818259543e-08,
    3.970298222165827e-09,
    6.02089091253257e-10,
    8.36368779189085e-11,
    1.0642270448216512e-11,
};

// The exponential series itself, for Im z >= 0.
template <class Z>
Z faddeeva_series(const Z& z)
{
    using R = typename Z::value_type;
    using std::exp;
    constexpr double tau = 15.0;
    constexpr double pi = 3.141592653589793;
    const R tr = z.real() * tau;
    const R ti = z.imag() * tau;
    const Z t(tr, ti);

    // E = exp(i t), P = 1 + E (odd terms), M = 1 - E (even terms).
    R s, c;
    sin_cos(tr, s, c);
    const R e = exp(-ti);
    const R er = c * e;
    const R ei = s * e;
    const Z p(1.0 + er, ei);
    const Z m(1.0 - er, -ei);

    Z sum = complex_divide(m, t);
    for (int n = 1; n < 24; n += 2) {
        const double odd = n * pi;
        const double even = (n + 1) * pi;
        sum = sum
            + faddeeva_coefficients[n] * (complex_divide(p, Z(odd + tr, ti)) - complex_divide(p, Z(odd - tr, -ti)))
            + faddeeva_coefficients[n + 1] * (complex_divide(m, Z(even + tr, ti)) - complex_divide(m, Z(even - tr, -ti)));
    }
    return Z(-sum.imag(), sum.real());  // i * sum
}

// True within 5e-3 (in z) of a removable singularity of the series: 0 <= Im z and
// z near a real n pi / 15 with |n| <= 24.
inline bool faddeeva_near_singularity(double re, double im)
{
    constexpr double radius = 5e-3;
    constexpr double step = 0.20943951023931953;  // pi / 15
    if (!(im < radius))
        return false;
    const double n = std::nearbyint(re / step);
    return std::fabs(n) <= 24.0 && std::fabs(re - n * step) < radius;
}

// w(z) = sum_k w^(k)(z0) (z - z0)^k / k! about z0 = z + i h. With d_k the k-th term,
// d_1 = w'(z0) (-i h) and, from w^(k+1) = -2 z0 w^(k) - 2 k w^(k-1),
// d_(k+1) = (2 i h z0 d_k + 2 h^2 d_(k-1)) / (k + 1). |z0| <= 5.1, so |d_k| falls
// roughly as 0.1^k / k!: 13 terms reach the rounding level.
template <class Z>
Z faddeeva_taylor(const Z& z)
{
    constexpr double h = 0.01;
    constexpr double two_over_sqrt_pi = 1.1283791670955126;
    const Z z0(z.real(), z.imag() + h);
    Z previous = faddeeva_series(z0);
    Z term = (Z(0.0, two_over_sqrt_pi) - 2.0 * z0 * previous) * Z(0.0, -h);
    Z sum = previous + term;
    const Z z0_factor = Z(0.0, 2.0 * h) * z0;
    for (int k = 1; k < 13; ++k) {
        const Z next = (z0_factor * term + 2.0 * h * h * previous) * (1.0 / (k + 1));
        sum = sum + next;
        previous = term;
        term = next;
    }
    return sum;
}

template <class Z>
Z faddeeva_w(const Z& z)
{
    using R = typename Z::value_type;
    using std::exp;
    if (z.imag() < 0.0) {
        // w(z) = 2 exp(-z^2) - w(-z); exp(-z^2) = exp(y^2 - x^2) (cos 2xy - i sin 2xy).
        const R x = z.real();
        const R y = z.imag();
        R s, c;
        sin_cos(x * y * 2.0, s, c);
        const R e = exp(y * y - x * x) * 2.0;
        return Z(c * e, -(s * e)) - faddeeva_w(Z(-x, -y));
    }
    if (faddeeva_near_singularity(dual_value(z.real()), dual_value(z.imag())))
        return faddeeva_taylor(z);
    return faddeeva_series(z);
}

// Values are compiled once, in the line-shape library.
extern template std::complex<double> faddeeva_w(const std::complex<double>&);

// x := Re w(x + i*y) on dual numbers of length n; y is only read. w is evaluated once on
// ComplexDual<2>, seeded with the real and the imaginary input, and its two partial
// derivatives are chained through the n derivatives of x and y.
void dual_faddeeva_re(double* x, const double* y, unsigned n);

// Re w(x + iy), generic over the real type so a Voigt formula is written once: on
// Dual<N> it chains both arguments' derivatives through one evaluation of w on
// ComplexDual<2>.
inline double faddeeva_re(double x, double y)
{
    return faddeeva_w(std::complex<double>(x, y)).real();
}

template <std::size_t N>
Dual<N> faddeeva_re(Dual<N> x, const Dual<N>& y)
{
    dual_faddeeva_re(x.data(), y.data(), N);
    return x;
}
