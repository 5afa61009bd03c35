// Dense complex linear algebra for the relaxation tests: Gaussian elimination with
// partial pivoting, the independent truth that the chain solvers are checked against.
#pragma once

#include <cmath>
#include <complex>
#include <cstddef>
#include <utility>
#include <vector>

using DenseMatrix = std::vector<std::vector<std::complex<double>>>;

// Solves a·x = b; a and b are taken by value and consumed.
inline std::vector<std::complex<double>> dense_solve(DenseMatrix a, std::vector<std::complex<double>> b)
{
    const std::size_t n = b.size();
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t best = k;
        for (std::size_t i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[best][k]))
                best = i;
        std::swap(a[k], a[best]);
        std::swap(b[k], b[best]);
        for (std::size_t i = k + 1; i < n; ++i) {
            const std::complex<double> f = a[i][k] / a[k][k];
            for (std::size_t j = k; j < n; ++j)
                a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    std::vector<std::complex<double>> x(n);
    for (std::size_t k = n; k-- > 0;) {
        std::complex<double> s = b[k];
        for (std::size_t j = k + 1; j < n; ++j)
            s -= a[k][j] * x[j];
        x[k] = s / a[k][k];
    }
    return x;
}

inline double max_relative_difference(const std::vector<std::complex<double>>& a,
                                      const std::vector<std::complex<double>>& b)
{
    double scale = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        scale = std::max(scale, std::abs(b[i]));
        worst = std::max(worst, std::abs(a[i] - b[i]));
    }
    return worst / scale;
}
