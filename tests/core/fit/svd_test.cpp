// The symmetric decompositions of the fit against a general singular value
// decomposition (ALGLIB's) of the same scaled matrix: steps, pseudo-inverses, the
// directions with their relative singular values, and which directions are cut.
#include "core/fit/svd.h"

#include <gtest/gtest.h>
#include <linalg.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/support/bump_jacobian.h"

namespace {

constexpr double cutoff = 1e-10;

// The pseudo-inverse of a square matrix by the general SVD: B = a + shift·I scaled to
// S = D·B·D, S = U·diag(w)·Vᵀ, singular values below cutoff·w₀ dropped.
struct ReferenceSvd {
    ReferenceSvd(const DMatrix& a, double shift) : m(a.size1()), scale(m)
    {
        for (std::size_t j = 0; j < m; ++j) {
            const double b = a(j, j) + shift;
            scale[j] = b > 0.0 && std::isfinite(b) ? 1.0 / std::sqrt(b) : 1.0;
        }
        alglib::real_2d_array s;
        s.setlength(alglib::ae_int_t(m), alglib::ae_int_t(m));
        for (std::size_t i = 0; i < m; ++i)
            for (std::size_t j = 0; j < m; ++j)
                s[i][j] = scale[i] * (a(i, j) + (i == j ? shift : 0.0)) * scale[j];
        EXPECT_TRUE(alglib::rmatrixsvd(s, alglib::ae_int_t(m), alglib::ae_int_t(m), 2, 2, 2, w, u, vt));
    }

    double inverted(std::size_t k) const { return w[k] > 0.0 && !(w[0] * cutoff > w[k]) ? 1.0 / w[k] : 0.0; }

    // D·pinv(S)·D·b
    DVector solve(const DVector& b) const
    {
        DVector x(m, 0.0);
        for (std::size_t k = 0; k < m; ++k) {
            double t = 0.0;
            for (std::size_t j = 0; j < m; ++j)
                t += u[j][k] * scale[j] * b(j);
            for (std::size_t i = 0; i < m; ++i)
                x(i) += vt[k][i] * inverted(k) * t;
        }
        for (std::size_t i = 0; i < m; ++i)
            x(i) *= scale[i];
        return x;
    }

    // pinv(S), unscaled
    double scaled_pinv(std::size_t i, std::size_t j) const
    {
        double s = 0.0;
        for (std::size_t k = 0; k < m; ++k)
            s += vt[k][i] * inverted(k) * u[j][k];
        return s;
    }

    // w₀ over the smallest kept singular value: how much rounding the results may carry.
    double kept_condition() const
    {
        std::size_t last = 0;
        while (last + 1 < m && inverted(last + 1) != 0.0)
            ++last;
        return w[0] > 0.0 ? w[0] / w[last] : 1.0;
    }

    std::size_t m;
    std::vector<double> scale;
    alglib::real_1d_array w;
    alglib::real_2d_array u, vt;
};

DMatrix gram(const DMatrix& j)
{
    return prod(trans(j), j);
}

// rows × m entries uniform in [−1, 1), column c times scales[c].
DMatrix random_jacobian(std::size_t rows, std::size_t m, std::mt19937& rng, const std::vector<double>& scales = {})
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    DMatrix j(rows, m);
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < m; ++c)
            j(r, c) = u(rng) * (scales.empty() ? 1.0 : scales[c]);
    return j;
}

// Unit diagonal: a 2 × 2 block [[1, 1 − ε], [1 − ε, 1]] (eigenvalues 2 − ε and ε) and
// the identity of size − 2, so that the smallest singular value is ε/(2 − ε) of the
// largest.
DMatrix near_cutoff(double epsilon, std::size_t size = 6)
{
    DMatrix a = boost::numeric::ublas::identity_matrix<double>(size);
    a(0, 1) = a(1, 0) = 1.0 - epsilon;
    return a;
}

// The Jacobian of a smoothed distribution (bump_jacobian.h).
DMatrix bumps(std::size_t channels, std::size_t m, double width, double smoothing)
{
    DMatrix j(channels + m, m, 0.0);
    test_support::fill_bump_jacobian(j, channels, m, width, smoothing);
    return j;
}

struct Case {
    std::string name;
    std::function<DMatrix()> matrix;
    std::size_t cut;  // directions cut without damping
};

std::vector<Case> cases()
{
    return {
        {"well conditioned", [] { std::mt19937 rng(1); return gram(random_jacobian(20, 5, rng)); }, 0},
        {"units twelve decades apart",
         [] {
             std::mt19937 rng(2);
             return gram(random_jacobian(30, 6, rng, {1e-6, 1e-3, 1.0, 1e2, 1e4, 1e6}));
         },
         0},
        {"rank 3 of 8", [] { std::mt19937 rng(3); return gram(random_jacobian(3, 8, rng)); }, 5},
        {"two equal columns",
         [] {
             std::mt19937 rng(4);
             DMatrix j = random_jacobian(20, 5, rng);
             for (std::size_t r = 0; r < 20; ++r)
                 j(r, 3) = j(r, 1);
             return gram(j);
         },
         1},
        {"a pinned parameter",
         [] {
             std::mt19937 rng(6);
             DMatrix j = random_jacobian(20, 5, rng);
             for (std::size_t r = 0; r < 20; ++r)
                 j(r, 2) = 0.0;
             return gram(j);
         },
         1},
        {"just above the cutoff", [] { return near_cutoff(8e-10); }, 0},
        {"just below the cutoff", [] { return near_cutoff(6e-11); }, 1},
        // Kept (5e-10 of the largest) but below 1e-10 of the Frobenius norm, about 20:
        // too close for the factorisation's test, so the eigen-decomposition decides.
        {"kept below the factorisation's margin", [] { return near_cutoff(1e-9, 400); }, 0},
        {"distribution of 60 over 80 channels", [] { return gram(bumps(80, 60, 0.02, 0.0)); }, 0},
        {"smoothed distribution of 120 over 100 channels", [] { return gram(bumps(100, 120, 0.03, 0.1)); }, 0},
        // Not a normal matrix: scaled, its eigenvalues are 2.5, 1 and −0.5.
        {"indefinite",
         [] {
             DMatrix a = boost::numeric::ublas::identity_matrix<double>(3);
             a(0, 0) = a(1, 1) = 2.0;
             a(0, 1) = a(1, 0) = 3.0;
             return a;
         },
         0},
        {"rank 40 of 90", [] { std::mt19937 rng(8); return gram(random_jacobian(40, 90, rng)); }, 50},
    };
}

double max_abs_diagonal(const DMatrix& a)
{
    double d = 0.0;
    for (std::size_t i = 0; i < a.size1(); ++i)
        d = std::max(d, std::fabs(a(i, i)));
    return d;
}

// No singular value within a factor 2 of the cutoff, where rounding could decide.
void expect_clear_of_the_cutoff(const ReferenceSvd& ref)
{
    for (std::size_t k = 0; k < ref.m; ++k) {
        const double relative = ref.w[k] / ref.w[0];
        EXPECT_FALSE(relative > 0.5 * cutoff && relative < 2 * cutoff) << k << ": " << relative;
    }
}

// p = D·pinv(S)·D entrywise, to the rounding the condition of the kept part allows.
void expect_scaled_pinv(const ReferenceSvd& ref, const DMatrix& p)
{
    const std::size_t m = ref.m;
    ASSERT_EQ(p.size1(), m);
    ASSERT_EQ(p.size2(), m);
    double largest = 0.0;
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < m; ++j)
            largest = std::max(largest, std::fabs(ref.scaled_pinv(i, j)));
    const double tolerance = 1e-13 * double(m) * ref.kept_condition() * largest;
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < m; ++j) {
            const double expected = i == j ? std::max(0.0, ref.scaled_pinv(i, i)) : ref.scaled_pinv(i, j);
            EXPECT_NEAR(p(i, j) / (ref.scale[i] * ref.scale[j]), expected, tolerance) << i << "," << j;
        }
}

class AgainstGeneralSvd : public testing::TestWithParam<Case> {};

TEST_P(AgainstGeneralSvd, PseudoInverseDirectionsAndCutsAgree)
{
    const DMatrix a = GetParam().matrix();
    const std::size_t m = a.size1();
    const ReferenceSvd ref(a, 0.0);
    expect_clear_of_the_cutoff(ref);
    DMatrix p, d;
    SvdWorkspace ws;
    ASSERT_TRUE(svd_pseudo_inverse(a, p, &d, ws));
    ASSERT_EQ(d.size1(), m);
    ASSERT_EQ(d.size2(), m + 1);

    std::size_t cut = 0;
    for (std::size_t k = 0; k < m; ++k) {
        const double relative = ref.inverted(k) != 0.0 ? ref.w[k] / ref.w[0] : 0.0;
        cut += relative == 0.0;
        EXPECT_NEAR(d(k, m), relative, 1e-13 * double(m)) << k;
        EXPECT_EQ(d(k, m) == 0.0, relative == 0.0) << k;
        // A direction is defined (up to its sign) where its singular value stands apart.
        const double gap = std::min(k > 0 ? ref.w[k - 1] - ref.w[k] : ref.w[0], k + 1 < m ? ref.w[k] - ref.w[k + 1] : ref.w[k]);
        if (gap > 1e-6 * ref.w[0]) {
            double dot = 0.0;
            for (std::size_t j = 0; j < m; ++j)
                dot += d(k, j) * ref.vt[k][j];
            EXPECT_NEAR(std::fabs(dot), 1.0, 1e-9) << k;
        }
    }
    EXPECT_EQ(cut, GetParam().cut);
    expect_scaled_pinv(ref, p);
}

// Without directions a pseudo-inverse where nothing is cut comes from a Cholesky
// factorisation: the same matrix to rounding, and the same cuts where one is cut.
TEST_P(AgainstGeneralSvd, PseudoInverseWithoutDirectionsAgrees)
{
    const DMatrix a = GetParam().matrix();
    const ReferenceSvd ref(a, 0.0);
    DMatrix with_directions, without, d;
    SvdWorkspace ws;
    ASSERT_TRUE(svd_pseudo_inverse(a, with_directions, &d, ws));
    ASSERT_TRUE(svd_pseudo_inverse(a, without, nullptr, ws));
    expect_scaled_pinv(ref, without);
    const std::size_t m = a.size1();
    for (std::size_t i = 0; i < m; ++i)
        EXPECT_EQ(without(i, i) == 0.0, with_directions(i, i) == 0.0) << i;
}


TEST_P(AgainstGeneralSvd, StepsAgreeForAnyDamping)
{
    const DMatrix a = GetParam().matrix();
    const std::size_t m = a.size1();
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    DVector b(m);
    for (double& e : b.data())
        e = u(rng) * std::sqrt(std::max(a(0, 0), 1e-300));
    SvdWorkspace ws;
    for (const double relative_shift : {0.0, 1e-5, 1.0, 1e6}) {
        const double shift = relative_shift * max_abs_diagonal(a);
        const ReferenceSvd ref(a, shift);
        expect_clear_of_the_cutoff(ref);
        const DVector expected = ref.solve(b);
        DVector x;
        ASSERT_TRUE(svd_solve(a, shift, b, x, ws)) << shift;
        ASSERT_EQ(x.size(), m);
        // In the scaled parameters, where the rounding is the same for every component.
        double norm = 0.0;
        for (std::size_t i = 0; i < m; ++i)
            norm = std::max(norm, std::fabs(expected(i) / ref.scale[i]));
        const double tolerance = 1e-13 * double(m) * ref.kept_condition() * std::max(norm, 1e-300);
        for (std::size_t i = 0; i < m; ++i)
            EXPECT_NEAR(x(i) / ref.scale[i], expected(i) / ref.scale[i], tolerance) << "shift " << shift << ", " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Matrices, AgainstGeneralSvd, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });

// A step along an undetermined direction is dropped whichever way the solve goes: with
// the cut direction's component in b, and without.
TEST(SymmetricSolve, CutDirectionGetsNoStep)
{
    const DMatrix a = near_cutoff(6e-11);
    SvdWorkspace ws;
    DVector x;
    const double c = 1 / std::sqrt(2.0);
    DVector b(6, 0.0);
    b(0) = c;
    b(1) = -c;  // the eigenvector of ε
    ASSERT_TRUE(svd_solve(a, 0.0, b, x, ws));
    for (double e : x)
        EXPECT_LT(std::fabs(e), 1e-6);
    b(1) = c;  // the eigenvector of 2 − ε: x = b / (2 − ε)
    ASSERT_TRUE(svd_solve(a, 0.0, b, x, ws));
    EXPECT_NEAR(x(0), c / 2, 1e-6);
    EXPECT_NEAR(x(1), c / 2, 1e-6);
}

}  // namespace
