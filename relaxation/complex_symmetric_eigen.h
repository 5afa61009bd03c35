// Eigenvalues and eigenvectors of a small complex symmetric (not Hermitian) tridiagonal
// matrix, by the implicit QL method with shifts as for real symmetric matrices, its plane
// rotations complex orthogonal (c² + s² = 1, no conjugates): the eigenvectors come out
// with zᵀ·z = I. Such rotations can break down (f² + g² = 0 with f, g nonzero, near a
// coalescence of eigenvalues); then, or when an eigenvalue does not converge, the
// decomposition is refused and the caller solves another way.
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>

// |re| + |im|: a cheap size for the tests below, within √2 of the modulus.
inline double complex_size(const std::complex<double>& z)
{
    return std::fabs(z.real()) + std::fabs(z.imag());
}

// d: the diagonal (becomes the eigenvalues), e: the off-diagonal in e[0 … n − 2] (e[n − 1]
// is scratch; all of e is overwritten), z: n × n by rows, gets eigenvector k in column k.
inline bool complex_symmetric_eigen(std::size_t n, std::complex<double>* d, std::complex<double>* e,
                                    std::complex<double>* z)
{
    using C = std::complex<double>;
    for (std::size_t i = 0; i < n * n; ++i)
        z[i] = i % (n + 1) == 0 ? C(1.0) : C(0.0);
    e[n - 1] = 0.0;
    for (std::size_t l = 0; l < n; ++l) {
        for (int iteration = 0;; ++iteration) {
            std::size_t m = l;
            for (; m + 1 < n; ++m) {
                const double dd = complex_size(d[m]) + complex_size(d[m + 1]);
                if (complex_size(e[m]) + dd == dd)
                    break;
            }
            if (m == l)
                break;
            if (iteration == 60)
                return false;
            C g = (d[l + 1] - d[l]) / (2.0 * e[l]);
            C r = std::sqrt(g * g + 1.0);
            if (std::real(std::conj(g) * r) < 0.0)
                r = -r;
            g = d[m] - d[l] + e[l] / (g + r);
            C s = 1.0, c = 1.0, p = 0.0;
            bool split = false;
            for (std::size_t i = m; i-- > l;) {
                const C f = s * e[i], b = c * e[i];
                r = std::sqrt(f * f + g * g);
                e[i + 1] = r;
                if (f == 0.0 && g == 0.0) {
                    d[i + 1] -= p;
                    e[m] = 0.0;
                    split = true;
                    break;
                }
                if (!(complex_size(r) > 1e-8 * (complex_size(f) + complex_size(g))))
                    return false;
                s = f / r;
                c = g / r;
                g = d[i + 1] - p;
                r = (d[i] - g) * s + 2.0 * c * b;
                p = s * r;
                d[i + 1] = g + p;
                g = c * r - b;
                for (std::size_t k = 0; k < n; ++k) {
                    const C t = z[k * n + i + 1];
                    z[k * n + i + 1] = s * z[k * n + i] + c * t;
                    z[k * n + i] = c * z[k * n + i] - s * t;
                }
            }
            if (split)
                continue;
            d[l] -= p;
            e[l] = g;
            e[m] = 0.0;
        }
    }
    return true;
}
