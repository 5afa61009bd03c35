// Savitzky-Golay kernels by the normal equations G·c = e_s, G[i][k] = Σ_{j=-m..m} j^(i+k).
// The power sums outgrow 64 bits for wide windows (Σ j^8 passes 2^64 near m = 160), so
// they are formed exactly in arbitrary-precision integers from the recurrence
// (m+1)^(e+1) − 1 = Σ_{k=0..e} C(e+1, k)·S_k, S_k = Σ_{j=1..m} j^k, and rounded once.
// G is then factorised by LU decomposition with partial pivoting.
#include "core/spectrum/savitzky_golay.h"

#include <algorithm>

// uBLAS's debug self-checks copy into its default storage, which does not compile
// under C++20; keep them off in every build type.
#ifndef BOOST_UBLAS_NDEBUG
#define BOOST_UBLAS_NDEBUG
#endif
#include <boost/multiprecision/cpp_int.hpp>
#include <boost/numeric/ublas/lu.hpp>
#include <boost/numeric/ublas/matrix.hpp>
#include <boost/numeric/ublas/vector.hpp>

namespace {

using boost::multiprecision::cpp_int;

// Σ_{j=-m..m} j^e for e = 0 … max_exponent, with 0⁰ = 1.
std::vector<double> symmetric_power_sums(unsigned m, unsigned max_exponent)
{
    std::vector<cpp_int> s(max_exponent + 1);  // S_e = Σ_{j=1..m} j^e
    std::vector<double> sums(max_exponent + 1);
    const cpp_int m1 = cpp_int(m) + 1;
    cpp_int m1_power = m1;  // (m+1)^(e+1)
    for (unsigned e = 0; e <= max_exponent; ++e) {
        cpp_int rest = m1_power - 1;
        cpp_int binomial = 1;  // C(e+1, k)
        for (unsigned k = 0; k < e; ++k) {
            rest -= binomial * s[k];
            binomial = binomial * (e + 1 - k) / (k + 1);
        }
        s[e] = rest / (e + 1);
        m1_power *= m1;
        if (e == 0)
            sums[e] = 2.0 * m + 1.0;
        else if (e % 2 == 0)
            sums[e] = static_cast<double>(2 * s[e]);
        else
            sums[e] = 0.0;
    }
    return sums;
}

}  // namespace

std::vector<double> savitzky_golay_polynomial(unsigned order, unsigned half_width, unsigned derivative)
{
    namespace ublas = boost::numeric::ublas;
    // std::vector storage: uBLAS's own unbounded_array calls allocator members that
    // C++20 removed.
    using Matrix = ublas::matrix<double, ublas::row_major, std::vector<double>>;
    using Vector = ublas::vector<double, std::vector<double>>;
    using Pivots = ublas::permutation_matrix<std::size_t, std::vector<std::size_t>>;
    const unsigned m = half_width;
    const unsigned p = std::min(order, 2 * m);
    if (derivative > p)
        return {};

    const std::vector<double> sums = symmetric_power_sums(m, 2 * p);
    Matrix g(p + 1, p + 1);
    for (unsigned i = 0; i <= p; ++i)
        for (unsigned k = 0; k <= p; ++k)
            g(i, k) = sums[i + k];
    Vector c(p + 1, 0.0);
    c(derivative) = 1.0;
    Pivots pivots(p + 1);
    ublas::lu_factorize(g, pivots);
    ublas::lu_substitute(g, pivots, c);
    return std::vector<double>(c.begin(), c.end());
}

void savitzky_golay_coefficients(unsigned order, unsigned half_width, unsigned derivative,
                                 std::vector<double>& kernel)
{
    const std::vector<double> c = savitzky_golay_polynomial(order, half_width, derivative);
    const unsigned m = half_width;
    kernel.assign(2 * std::size_t(m) + 1, 0.0);
    if (c.empty())
        return;
    for (std::size_t i = 0; i < kernel.size(); ++i) {
        const double j = double(i) - double(m);
        double w = c.back();
        for (std::size_t k = c.size() - 1; k-- > 0;)
            w = w * j + c[k];
        kernel[i] = w;
    }
}
