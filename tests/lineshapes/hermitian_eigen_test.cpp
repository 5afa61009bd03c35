// The Jacobi eigen-solver: closed-form 2 x 2 cases, diagonal and trivial sizes, what it
// reads and writes of the input, random Hermitian 4 x 4 matrices against the
// definition (V unitary, V·A·Vᴴ = diag(w)), derivatives of eigenvalues and of the
// phase-free eigenvector moduli against central differences, the size checks, and
// failures (non-finite input, no convergence) reported as NaN and false.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "core/numerics/complex_dual.h"
#include "lineshapes/hermitian_eigen.h"

namespace {

using Complex = std::complex<double>;
using Matrix2 = ComplexSquare<double, 2>;
using Matrix4 = ComplexSquare<double, 4>;

const double root2 = std::sqrt(2.0);
const double nan = std::numeric_limits<double>::quiet_NaN();

Matrix2 matrix2(Complex a00, Complex a01, Complex a10, Complex a11)
{
    Matrix2 a(2, 2);
    a(0, 0) = a00;
    a(0, 1) = a01;
    a(1, 0) = a10;
    a(1, 1) = a11;
    return a;
}

void expect_complex_near(Complex actual, Complex expected, double tolerance = 1e-14)
{
    EXPECT_NEAR(actual.real(), expected.real(), tolerance);
    EXPECT_NEAR(actual.imag(), expected.imag(), tolerance);
}

struct TwoByTwoCase {
    const char* name;
    Complex a00, a01, a11;
    std::array<double, 2> w;
    std::array<Complex, 4> v;  // rows of V
};

const TwoByTwoCase two_by_two_cases[] = {
    {"RealSymmetric", 1.0, 2.0, 1.0, {-1.0, 3.0}, {1 / root2, -1 / root2, 1 / root2, 1 / root2}},
    {"ComplexEqualDiagonal", 1.0, {1.0, 1.0}, 1.0, {1 - root2, 1 + root2},
     {1 / root2, Complex(-0.5, -0.5), Complex(0.5, -0.5), 1 / root2}},
    // Index 0 receives the larger eigenvalue exactly when d0 > d1.
    {"LargerFirst", 3.0, 1.0, 1.0, {2 + root2, 2 - root2}, {}},
    {"SmallerFirst", 1.0, 1.0, 3.0, {2 - root2, 2 + root2}, {}},
};

TEST(JacobiHermitian, TwoByTwoClosedForms)
{
    for (const TwoByTwoCase& c : two_by_two_cases) {
        SCOPED_TRACE(c.name);
        Matrix2 a = matrix2(c.a00, c.a01, std::conj(c.a01), c.a11);
        EigenValues<double, 2> w;
        Matrix2 v;
        ASSERT_TRUE(jacobi_hermitian(a, w, v));
        EXPECT_NEAR(w(0), c.w[0], 1e-14);
        EXPECT_NEAR(w(1), c.w[1], 1e-14);
        if (c.v[0] != Complex()) {
            for (int k = 0; k < 4; ++k)
                expect_complex_near(v(k / 2, k % 2), c.v[k]);
        }
        EXPECT_EQ(a(0, 1), Complex());  // one rotation leaves nothing off the diagonal
    }
}

TEST(JacobiHermitian, ReadsOnlyTheUpperTriangleAndTheRealDiagonal)
{
    Matrix2 a = matrix2({1, 5}, 2.0, {99, 99}, {1, -7});
    Matrix2 plain = matrix2(1.0, 2.0, 2.0, 1.0);
    EigenValues<double, 2> w, w_plain;
    Matrix2 v, v_plain;
    ASSERT_TRUE(jacobi_hermitian(a, w, v));
    ASSERT_TRUE(jacobi_hermitian(plain, w_plain, v_plain));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(w(i), w_plain(i));
        for (int j = 0; j < 2; ++j)
            EXPECT_EQ(v(i, j), v_plain(i, j));
    }
    EXPECT_EQ(a(0, 0), Complex(1, 5));
    EXPECT_EQ(a(1, 1), Complex(1, -7));
    EXPECT_EQ(a(1, 0), Complex(99, 99));
    EXPECT_EQ(a(0, 1), Complex());
}

TEST(JacobiHermitian, DiagonalAndTrivialMatricesNeedNoRotation)
{
    for (std::size_t n = 0; n <= 4; ++n) {
        SCOPED_TRACE(n);
        Matrix4 a(n, n);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                a(i, j) = i == j ? Complex(3.0 - double(i) * double(i), 0.5) : Complex();
        const Matrix4 before = a;
        EigenValues<double, 4> w;
        Matrix4 v;
        ASSERT_TRUE(jacobi_hermitian(a, w, v));
        ASSERT_EQ(w.size(), n);
        ASSERT_EQ(v.size1(), n);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(w(i), 3.0 - double(i) * double(i));  // the basis order is kept
            for (std::size_t j = 0; j < n; ++j) {
                EXPECT_EQ(v(i, j), i == j ? Complex(1.0) : Complex());
                EXPECT_EQ(a(i, j), before(i, j));
            }
        }
    }
}

// A random Hermitian matrix with elements in [-1, 1], both triangles filled.
Matrix4 random_hermitian(std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Matrix4 a(4, 4);
    for (int i = 0; i < 4; ++i) {
        a(i, i) = u(rng);
        for (int j = i + 1; j < 4; ++j) {
            a(i, j) = Complex(u(rng), u(rng));
            a(j, i) = std::conj(a(i, j));
        }
    }
    return a;
}

// V unitary and V·A·Vᴴ = diag(w) for the full matrix A, whose elements are at most
// `scale` in magnitude.
void expect_diagonalises(const Matrix4& full, const EigenValues<double, 4>& w, const Matrix4& v, double scale)
{
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) {
            Complex unit, diagonal;
            for (int j = 0; j < 4; ++j) {
                unit += v(i, j) * std::conj(v(k, j));
                for (int l = 0; l < 4; ++l)
                    diagonal += v(i, j) * (full(j, l) / scale) * std::conj(v(k, l));
            }
            expect_complex_near(unit, i == k ? 1.0 : 0.0, 1e-14);
            expect_complex_near(diagonal, i == k ? w(i) / scale : 0.0, 1e-13);
        }
    }
}

TEST(JacobiHermitian, RandomFourByFourSatisfyTheDefinition)
{
    std::mt19937 rng(20261210);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(trial);
        const Matrix4 full = random_hermitian(rng);
        Matrix4 a = full;
        EigenValues<double, 4> w;
        Matrix4 v;
        ASSERT_TRUE(jacobi_hermitian(a, w, v));
        expect_diagonalises(full, w, v, 1.0);
    }
}

// Elements whose squares overflow or underflow a double: the eigen-decomposition is
// that of the matrix scaled to elements about 1, scaled back.
TEST(JacobiHermitian, HugeAndTinyMatricesAreSolvedToRelativePrecision)
{
    std::mt19937 rng(41);
    for (double scale : {0x1p600, 0x1p1000, 1e160, 0x1p-600, 1e-300}) {
        SCOPED_TRACE(scale);
        for (int trial = 0; trial < 20; ++trial) {
            Matrix4 full = random_hermitian(rng);
            for (Complex& e : full.data())
                e *= scale;
            Matrix4 a = full;
            EigenValues<double, 4> w;
            Matrix4 v;
            ASSERT_TRUE(jacobi_hermitian(a, w, v));
            expect_diagonalises(full, w, v, scale);
            // Its upper triangle holds the remainders, in the matrix's own units.
            for (int p = 0; p < 4; ++p)
                for (int q = p + 1; q < 4; ++q)
                    EXPECT_LE(std::abs(a(p, q)), 1e-15 * scale);
        }
    }
}

// 2 x 2 matrices [[a, b], [conj b, c]] far from 1, against the closed form in long
// double, whose range takes their squares: the eigenvalue larger in magnitude is
// (a + c)/2 ± hypot((a − c)/2, |b|), the other det / it.
TEST(JacobiHermitian, TwoByTwoFarFromOne)
{
    struct Case {
        const char* name;
        double a;
        Complex b;
        double c;
    };
    const Case cases[] = {
        {"HugeDiagonalDominant", 1e160, 1e150, 1.0},  // the eigenvalues 1e160 and −1e140
        {"HugeComplex", 1e300, {0.0, 1e300}, -1e300},
        {"HugeEqualDiagonal", 1e200, {3e199, -4e199}, 1e200},
        {"TinyOffDiagonal", 0.0, 1e-200, 0.0},
        {"TinyMixed", 3e-170, {1e-171, 2e-170}, -1e-170},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        using L = long double;
        const L mean = (L(c.a) + L(c.c)) / 2;
        const L b2 = L(c.b.real()) * L(c.b.real()) + L(c.b.imag()) * L(c.b.imag());
        const L radius = std::sqrt((L(c.a) - L(c.c)) * (L(c.a) - L(c.c)) / 4 + b2);
        const L big = mean >= 0 ? mean + radius : mean - radius;
        const L small = (L(c.a) * L(c.c) - b2) / big;
        const double expected[2] = {double(std::min(big, small)), double(std::max(big, small))};

        Matrix2 a = matrix2(c.a, c.b, std::conj(c.b), c.c);
        EigenValues<double, 2> w;
        Matrix2 v;
        ASSERT_TRUE(jacobi_hermitian(a, w, v));
        const double found[2] = {std::min(w(0), w(1)), std::max(w(0), w(1))};
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(found[k], expected[k], 1e-13 * std::fabs(expected[k])) << k;
    }
}

// Finite elements whose eigenvalue is beyond the largest double: no result, said so.
TEST(JacobiHermitian, EigenvalueBeyondTheDoublesGivesNaNAndFalse)
{
    Matrix4 a(4, 4);
    for (Complex& e : a.data())
        e = 1e308;
    EigenValues<double, 4> w;
    Matrix4 v;
    EXPECT_FALSE(jacobi_hermitian(a, w, v));  // 4e308 is not a double
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(std::isnan(w(i)));
}

TEST(JacobiHermitian, ThreeByThreeIsRefusedBeyondTheCapacityAndSolvedWithin)
{
    std::mt19937 rng(7);
    Matrix4 a(3, 3);
    const Matrix4 full = random_hermitian(rng);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a(i, j) = full(i, j);

    EigenValues<double, 2> w2(2);
    w2(0) = 7.0;
    Matrix2 v2(2, 2);
    v2(1, 1) = 7.0;
    EXPECT_THROW(jacobi_hermitian(a, w2, v2), boost::numeric::ublas::bad_size);
    EXPECT_EQ(w2(0), 7.0);  // nothing written
    EXPECT_EQ(v2(1, 1), Complex(7.0));

    EigenValues<double, 4> w;
    Matrix4 v;
    ASSERT_TRUE(jacobi_hermitian(a, w, v));
    ASSERT_EQ(w.size(), 3u);
    double trace = 0.0;
    for (int i = 0; i < 3; ++i)
        trace += full(i, i).real() - w(i);
    EXPECT_NEAR(trace, 0.0, 1e-14);
}

TEST(JacobiHermitian, NonSquareMatrixIsRefused)
{
    Matrix4 a(2, 3);
    EigenValues<double, 4> w;
    Matrix4 v;
    EXPECT_THROW(jacobi_hermitian(a, w, v), boost::numeric::ublas::bad_size);
}

bool all_nan(const EigenValues<double, 4>& w, const Matrix4& v)
{
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (!std::isnan(w(i)))
            return false;
        for (std::size_t j = 0; j < w.size(); ++j)
            if (!std::isnan(v(i, j).real()) || !std::isnan(v(i, j).imag()))
                return false;
    }
    return true;
}

// A non-finite element has no eigen-decomposition: every result is NaN and the call
// says so, whether it stands on the diagonal or off it.
TEST(JacobiHermitian, NonFiniteElementsGiveNaNAndFalse)
{
    struct Case {
        const char* name;
        int i, j;
        Complex value;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"NaNOffDiagonal", 0, 2, {nan, 0.0}},
        {"NaNImaginaryPart", 1, 3, {0.5, nan}},
        {"NaNOnDiagonal", 2, 2, {nan, 0.0}},
        {"InfinityOffDiagonal", 0, 1, {inf, 0.0}},
        {"InfinityOnDiagonal", 3, 3, {-inf, 0.0}},
    };
    std::mt19937 rng(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix4 a = random_hermitian(rng);
        a(c.i, c.j) = c.value;
        EigenValues<double, 4> w;
        Matrix4 v;
        EXPECT_FALSE(jacobi_hermitian(a, w, v));
        EXPECT_TRUE(all_nan(w, v));
    }
}

TEST(JacobiHermitian, NoConvergenceWithinTheSweepsGivesNaNAndFalse)
{
    std::mt19937 rng(11);
    const Matrix4 full = random_hermitian(rng);
    Matrix4 a = full;
    EigenValues<double, 4> w;
    Matrix4 v;
    EXPECT_FALSE(jacobi_hermitian(a, w, v, 1));  // one sweep never finishes a dense 4 x 4
    EXPECT_TRUE(all_nan(w, v));

    a = full;
    EXPECT_TRUE(jacobi_hermitian(a, w, v, 10));
    EXPECT_FALSE(std::isnan(w(0)));
}

// A(t) = A0 + t1·B1 + t2·B2 + t3·B3 with random Hermitian A0 and B.
using D3 = Dual<3>;
using DualMatrix4 = ComplexSquare<D3, 4>;

struct Family {
    Matrix4 a0, b[3];

    Matrix4 at(const std::array<double, 3>& t) const
    {
        Matrix4 a = a0;
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    a(i, j) += t[k] * b[k](i, j);
        return a;
    }

    DualMatrix4 seeded() const
    {
        DualMatrix4 a(4, 4);
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                D3 re(a0(i, j).real()), im(a0(i, j).imag());
                for (int k = 0; k < 3; ++k) {
                    re[k + 1] = b[k](i, j).real();
                    im[k + 1] = b[k](i, j).imag();
                }
                a(i, j) = ComplexDual<3>(re, im);
            }
        }
        return a;
    }
};

// Eigenvalues in increasing order, each with |row|² of its eigenvector row: quantities
// free of the eigenvectors' arbitrary phases.
template <class R>
struct Sorted {
    std::array<R, 4> values;
    std::array<std::array<R, 4>, 4> moduli;
};

template <class R, class M>
Sorted<R> solve_sorted(M a)
{
    EigenValues<R, 4> w;
    ComplexSquare<R, 4> v;
    EXPECT_TRUE(jacobi_hermitian(a, w, v));
    std::array<int, 4> order;
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int x, int y) { return w(x) < w(y); });
    Sorted<R> s;
    for (int k = 0; k < 4; ++k) {
        s.values[k] = w(order[k]);
        for (int j = 0; j < 4; ++j) {
            const auto c = v(order[k], j);
            s.moduli[k][j] = c.real() * c.real() + c.imag() * c.imag();
        }
    }
    return s;
}

TEST(JacobiHermitian, DerivativesMatchCentralDifferences)
{
    std::mt19937 rng(42);
    int checked = 0;
    for (int trial = 0; trial < 50; ++trial) {
        SCOPED_TRACE(trial);
        Family f{random_hermitian(rng), {random_hermitian(rng), random_hermitian(rng), random_hermitian(rng)}};
        const Sorted<D3> dual = solve_sorted<D3>(f.seeded());
        const Sorted<double> plain = solve_sorted<double>(f.a0);
        double gap = std::numeric_limits<double>::max();
        for (int k = 0; k < 3; ++k)
            gap = std::min(gap, plain.values[k + 1] - plain.values[k]);
        if (gap < 0.05)
            continue;  // near a degeneracy the derivatives are ill-conditioned
        ++checked;
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(dual.values[k][0], plain.values[k], 1e-13);
        const double h = 1e-6;
        for (int p = 0; p < 3; ++p) {
            std::array<double, 3> up{}, down{};
            up[p] = h;
            down[p] = -h;
            const Sorted<double> s_up = solve_sorted<double>(f.at(up)), s_down = solve_sorted<double>(f.at(down));
            for (int k = 0; k < 4; ++k) {
                EXPECT_NEAR(dual.values[k][p + 1], (s_up.values[k] - s_down.values[k]) / (2 * h), 1e-7);
                for (int j = 0; j < 4; ++j)
                    EXPECT_NEAR(dual.moduli[k][j][p + 1], (s_up.moduli[k][j] - s_down.moduli[k][j]) / (2 * h),
                                1e-6 / gap);
            }
        }
    }
    EXPECT_GT(checked, 25);
}

// With exactly zero off-diagonal values no rotation happens, whatever their
// derivatives: the eigenvalues carry the diagonal's derivatives and V none.
// A family scaled by 2^700 has eigenvalues and their derivatives 2^700 times those of
// the family itself, and the same eigenvector moduli and derivatives.
TEST(JacobiHermitian, DerivativesOfAHugeMatrixScale)
{
    std::mt19937 rng(43);
    const double scale = 0x1p700;
    for (int trial = 0; trial < 10; ++trial) {
        SCOPED_TRACE(trial);
        Family f{random_hermitian(rng), {random_hermitian(rng), random_hermitian(rng), random_hermitian(rng)}};
        const Sorted<D3> unit = solve_sorted<D3>(f.seeded());
        for (Matrix4* m : {&f.a0, &f.b[0], &f.b[1], &f.b[2]})
            for (Complex& e : m->data())
                e *= scale;
        const Sorted<D3> huge = solve_sorted<D3>(f.seeded());
        for (int k = 0; k < 4; ++k) {
            for (int d = 0; d < 4; ++d) {
                EXPECT_NEAR(huge.values[k][d] / scale, unit.values[k][d], 1e-12) << k << " " << d;
                for (int j = 0; j < 4; ++j)
                    EXPECT_NEAR(huge.moduli[k][j][d], unit.moduli[k][j][d], 1e-12) << k << " " << j << " " << d;
            }
        }
    }
}

TEST(JacobiHermitian, DiagonalValuesWithOffDiagonalDerivatives)
{
    ComplexSquare<D3, 2> a(2, 2);
    a(0, 0) = ComplexDual<3>(D3::seed(1.0, 0));
    a(1, 1) = ComplexDual<3>(D3::seed(-2.0, 1));
    a(0, 1) = ComplexDual<3>(D3::seed(0.0, 2), D3::seed(0.0, 2));
    EigenValues<D3, 2> w;
    ComplexSquare<D3, 2> v;
    ASSERT_TRUE(jacobi_hermitian(a, w, v));
    EXPECT_EQ(w(0)[0], 1.0);
    EXPECT_EQ(w(1)[0], -2.0);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(w(0)[k], k == 1 ? 1.0 : 0.0);
        EXPECT_EQ(w(1)[k], k == 2 ? 1.0 : 0.0);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                EXPECT_EQ(v(i, j).real()[k] + std::fabs(v(i, j).imag()[k]), 0.0);
    }
}

TEST(JacobiHermitian, DualFailureGivesNaNValuesWithZeroDerivatives)
{
    ComplexSquare<D3, 2> a(2, 2);
    a(0, 0) = ComplexDual<3>(D3::seed(1.0, 0));
    a(1, 1) = ComplexDual<3>(D3::seed(nan, 1));
    a(0, 1) = ComplexDual<3>(D3::seed(0.5, 2));
    EigenValues<D3, 2> w;
    ComplexSquare<D3, 2> v;
    EXPECT_FALSE(jacobi_hermitian(a, w, v));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::isnan(w(i)[0]));
        EXPECT_TRUE(std::isnan(v(i, 0).real()[0]));
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(w(i)[k], 0.0);
    }
}

}  // namespace
