// Eigenvalues and eigenvectors of a small complex Hermitian matrix by the cyclic Jacobi
// method with complex plane rotations: each rotation zeroes one off-diagonal element and
// moves the diagonal by ±δ; sweeps visit every pair until the off-diagonal norm is
// negligible. The first three sweeps rotate only elements above a fraction of that norm,
// later sweeps every non-zero one, and from sweep 5 on an element negligible beside its
// two diagonal entries is dropped. The eigenvalue estimates of a sweep are rebuilt from
// its start values and the accumulated corrections, which keeps their rounding small.
// A matrix with entries so large that their squares could overflow, or so small that
// they would underflow, is first scaled by a power of two (exact), so that its largest
// entry lies in [1/2, 1); its eigenvalues are scaled back at the end. The rotations are
// homogeneous in the entries, so the scale changes nothing but the stop test, which
// then holds relative to the largest entry.
//
// Written once over the real type R (double, or Dual<N>, whose derivatives every step
// carries into the eigenvalues and eigenvectors) and over the capacity of the bounded
// storage, so nothing is allocated. Every decision reads values only: derivatives never
// change the course of a run.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>
#include <type_traits>

#include <boost/numeric/ublas/exception.hpp>
#include <boost/numeric/ublas/matrix.hpp>
#include <boost/numeric/ublas/vector.hpp>

#include "core/numerics/dual.h"

template <class R, std::size_t Capacity>
using EigenValues = boost::numeric::ublas::bounded_vector<R, Capacity>;
template <class R, std::size_t Capacity>
using ComplexSquare = boost::numeric::ublas::bounded_matrix<std::complex<R>, Capacity, Capacity>;

// Diagonalises the n x n Hermitian matrix a (n = its row count) whose diagonal real
// parts and strict upper triangle are read; the lower triangle and the imaginary parts
// of the diagonal are implied and never touched. On return w[k] is the k-th eigenvalue
// (in no particular order) and row k of v the complex conjugate of its unit
// eigenvector, so that v·a·vᴴ = diag(w); the upper triangle of a is left holding
// negligible remainders.
//
// Returns false, with every element of w and v NaN (zero derivatives), when an element
// it reads is not finite, when an eigenvalue is too large for a double, or when
// max_sweeps sweeps do not converge (Hermitian matrices converge quadratically, in a
// few sweeps); a caller that computes from w and v gets NaN results without checking.
// Throws boost::numeric::ublas::bad_size ("bad size") before writing anything when a
// is not square or n exceeds the capacity.
template <class R, std::size_t Capacity, class Matrix>
bool jacobi_hermitian(Matrix& a, EigenValues<R, Capacity>& w, ComplexSquare<R, Capacity>& v, int max_sweeps = 50)
{
    using C = std::complex<R>;
    using std::sqrt;
    constexpr double negligible = 0x1p-103;  // absolute bound of the off-diagonal norm
    const auto value = [](const R& x) -> double {
        if constexpr (std::is_same_v<R, double>)
            return x;
        else
            return x[0];
    };
    const auto norm2 = [](const C& c) { return c.real() * c.real() + c.imag() * c.imag(); };
    const auto finite = [](double x) { return std::abs(x) <= std::numeric_limits<double>::max(); };

    const std::size_t n = a.size1();
    if (n > Capacity || a.size2() != n)
        throw boost::numeric::ublas::bad_size();

    w.resize(n, false);
    v.resize(n, n, false);
    EigenValues<R, Capacity> d(n), z(n);
    bool inputs_finite = true;
    for (std::size_t i = 0; i < n; ++i) {
        d(i) = std::real(a(i, i));
        z(i) = R(0.0);
        w(i) = d(i);
        inputs_finite = inputs_finite && finite(value(d(i)));
        for (std::size_t j = 0; j < n; ++j) {
            v(i, j) = i == j ? C(R(1.0)) : C();
            if (i < j)
                inputs_finite = inputs_finite && finite(value(a(i, j).real())) && finite(value(a(i, j).imag()));
        }
    }

    const auto fail = [&] {
        const R nan = std::numeric_limits<R>::quiet_NaN();
        for (std::size_t i = 0; i < n; ++i) {
            w(i) = nan;
            for (std::size_t j = 0; j < n; ++j)
                v(i, j) = C(nan, nan);
        }
        return false;
    };
    if (!inputs_finite)
        return fail();
    if (n <= 1)
        return true;

    // 2^exponent: the factor taken out of the entries, 1 unless they are that large or
    // that small.
    double largest = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        largest = std::max(largest, std::abs(value(d(i))));
        for (std::size_t j = i + 1; j < n; ++j)
            largest = std::max({largest, std::abs(value(a(i, j).real())), std::abs(value(a(i, j).imag()))});
    }
    const bool extreme = largest > 0x1p256 || (largest > 0.0 && largest < 0x1p-256);
    const int exponent = extreme ? std::ilogb(largest) + 1 : 0;
    const auto rescale = [&](double factor) {
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                a(i, j) = C(a(i, j).real() * factor, a(i, j).imag() * factor);
    };
    if (exponent != 0) {
        const double down = std::ldexp(1.0, -exponent);
        for (std::size_t i = 0; i < n; ++i) {
            d(i) = d(i) * down;
            w(i) = d(i);
        }
        rescale(down);
    }
    const auto converged = [&] {
        if (exponent != 0) {
            const double up = std::ldexp(1.0, exponent);
            for (std::size_t i = 0; i < n; ++i)
                w(i) = w(i) * up;
            rescale(up);
        }
        for (std::size_t i = 0; i < n; ++i)
            if (!finite(value(w(i))))
                return fail();
        return true;
    };

    const double n2 = double(n) * double(n);
    const double red = 0.04 / (n2 * n2);
    for (int sweep = 1;; ++sweep) {
        R off(0.0);
        for (std::size_t q = 1; q < n; ++q)
            for (std::size_t p = 0; p < q; ++p)
                off += norm2(a(p, q));
        if (!finite(value(off)))
            return fail();
        if (value(off) <= negligible)
            return converged();
        if (sweep > max_sweeps)
            return fail();
        const R thresh = sweep <= 3 ? off * red : R(0.0);

        for (std::size_t q = 1; q < n; ++q) {
            for (std::size_t p = 0; p < q; ++p) {
                const C apq = a(p, q);
                const R g = norm2(apq);
                if (sweep > 4) {
                    const double dp = value(d(p)), dq = value(d(q));
                    if (value(g) < negligible * (dp * dp + dq * dq)) {
                        a(p, q) = C();
                        continue;
                    }
                }
                if (!(value(g) > value(thresh)))
                    continue;

                // t: the root of smaller magnitude of g·t² + 2h·t − 1 = 0; 1/ρ is the
                // rotation's cosine and s·|a(p,q)| its sine.
                const R h = (d(p) - d(q)) * 0.5;
                R r = sqrt(h * h + g);
                if (!(value(h) > 0.0))
                    r = -r;
                const R t = 1.0 / (h + r);
                const R delta = t * g;
                const R rho = sqrt(1.0 + delta * t);
                const R s = t / rho;
                const R tau = delta / (1.0 + rho);

                z(p) += delta;
                z(q) -= delta;
                d(p) = w(p) + z(p);
                d(q) = w(q) + z(q);

                // Rows and columns p and q of the other indices, as stored in the upper
                // triangle: (x,p) and (x,q) above p, (p,x) and (x,q) between, (p,x) and
                // (q,x) beyond q.
                for (std::size_t x = 0; x < p; ++x) {
                    const C y = a(x, p), u = a(x, q);
                    a(x, p) = y + s * (u * std::conj(apq) - tau * y);
                    a(x, q) = u - s * (tau * u + apq * y);
                }
                for (std::size_t x = p + 1; x < q; ++x) {
                    const C y = a(p, x), u = a(x, q);
                    a(p, x) = y + s * (apq * std::conj(u) - tau * y);
                    a(x, q) = u - s * (tau * u + apq * std::conj(y));
                }
                for (std::size_t x = q + 1; x < n; ++x) {
                    const C y = a(p, x), u = a(q, x);
                    a(p, x) = y + s * (apq * u - tau * y);
                    a(q, x) = u - s * (tau * u + std::conj(apq) * y);
                }
                a(p, q) = C();

                for (std::size_t j = 0; j < n; ++j) {
                    const C vp = v(p, j), vq = v(q, j);
                    v(p, j) = vp + s * (apq * vq - tau * vp);
                    v(q, j) = vq - s * (tau * vq + std::conj(apq) * vp);
                }
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            w(i) = d(i);
            z(i) = R(0.0);
        }
    }
}
