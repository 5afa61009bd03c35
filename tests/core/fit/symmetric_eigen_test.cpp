// The symmetric eigen-decomposition (blocked reduction, divide and conquer): on tables of
// matrices it must reconstruct A = V·diag(λ)·Vᵀ with orthonormal V, and give the
// eigenvalues of the construction (A = Q·diag(λ)·Qᵀ with a random orthogonal Q), of
// Eigen's implicit-QR solver, or of the closed form of a Toeplitz tridiagonal matrix.
#include "core/fit/symmetric_eigen.h"
#include "core/fit/tridiagonal_eigen.h"

#include <gtest/gtest.h>

#include <Eigen/Eigenvalues>
#include <Eigen/QR>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "tests/support/bump_normal_matrix.h"

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

MatrixXd random_orthogonal(Eigen::Index n, std::mt19937& rng)
{
    std::normal_distribution<double> g;
    const MatrixXd m = MatrixXd::NullaryExpr(n, n, [&] { return g(rng); });
    return Eigen::HouseholderQR<MatrixXd>(m).householderQ();
}

// Q·diag(λ)·Qᵀ with a random orthogonal Q.
MatrixXd with_spectrum(const VectorXd& lambda, unsigned seed)
{
    std::mt19937 rng(seed);
    const MatrixXd q = random_orthogonal(lambda.size(), rng);
    return q * lambda.asDiagonal() * q.transpose();
}

MatrixXd random_symmetric(Eigen::Index n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const MatrixXd m = MatrixXd::NullaryExpr(n, n, [&] { return u(rng); });
    return m + m.transpose();
}

// JᵀJ of a rows × n Jacobian: rank min(rows, n), the rest of the spectrum zero.
MatrixXd gram(Eigen::Index rows, Eigen::Index n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const MatrixXd j = MatrixXd::NullaryExpr(rows, n, [&] { return u(rng); });
    return j.transpose() * j;
}

// The symmetric tridiagonal matrix of Wilkinson's W⁺: diagonal |i − m|, off-diagonal 1,
// whose largest eigenvalues come in pairs that agree to many digits.
MatrixXd wilkinson(Eigen::Index n)
{
    MatrixXd a = MatrixXd::Zero(n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
        a(i, i) = std::fabs(double(i) - double(n - 1) / 2);
        if (i + 1 < n)
            a(i, i + 1) = a(i + 1, i) = 1.0;
    }
    return a;
}

VectorXd repeated(Eigen::Index n, Eigen::Index distinct)
{
    VectorXd lambda(n);
    for (Eigen::Index i = 0; i < n; ++i)
        lambda(i) = 1.0 + double(i % distinct);
    return lambda;
}

VectorXd graded(Eigen::Index n, double decades)
{
    VectorXd lambda(n);
    for (Eigen::Index i = 0; i < n; ++i)
        lambda(i) = std::pow(10.0, -decades * double(i) / double(n - 1));
    return lambda;
}

struct Case {
    std::string name;
    std::function<MatrixXd()> matrix;
    VectorXd spectrum;  // the construction's eigenvalues, when known
};

std::vector<Case> cases()
{
    VectorXd one(1), pair(2), indefinite(4);
    one << 3.5;
    pair << 1.0, 3.0;
    indefinite << -2.0, -1e-9, 0.5, 4.0;
    VectorXd graded_100 = graded(100, 15), repeated_120 = repeated(120, 4), clustered(60);
    for (Eigen::Index i = 0; i < 60; ++i)
        clustered(i) = i < 30 ? 1.0 + 1e-13 * double(i) : 2.0 + 1e-9 * double(i);
    return {
        {"one entry", [one] { return MatrixXd(one.asDiagonal()); }, one},
        {"two by two", [] { return (MatrixXd(2, 2) << 2.0, 1.0, 1.0, 2.0).finished(); }, pair},
        {"zero", [] { return MatrixXd::Zero(5, 5); }, VectorXd::Zero(5)},
        {"identity", [] { return MatrixXd::Identity(64, 64); }, VectorXd::Ones(64)},
        {"indefinite", [indefinite] { return with_spectrum(indefinite, 1); }, indefinite},
        {"random 7", [] { return random_symmetric(7, 2); }, {}},
        // one past a panel of the reduction
        {"random 33", [] { return random_symmetric(33, 9); }, {}},
        {"random 300", [] { return random_symmetric(300, 3); }, {}},
        {"graded over 15 decades", [graded_100] { return with_spectrum(graded_100, 4); }, graded_100},
        {"four values repeated 30 times", [repeated_120] { return with_spectrum(repeated_120, 5); }, repeated_120},
        {"two tight clusters", [clustered] { return with_spectrum(clustered, 6); }, clustered},
        {"rank 30 of 200", [] { return gram(30, 200, 7); }, {}},
        {"Wilkinson 21", [] { return wilkinson(21); }, {}},
        {"Wilkinson 201", [] { return wilkinson(201); }, {}},
        {"split tridiagonal", [] { MatrixXd a = wilkinson(40); a(19, 20) = a(20, 19) = 0.0; return a; }, {}},
        {"smoothed distribution of 1000 over 512 channels",
         [] { return test_support::bump_normal_matrix(512, 1000, 0.02, 0.01); }, {}},
    };
}

class Decomposition : public testing::TestWithParam<Case> {};

TEST_P(Decomposition, ReconstructsWithOrthonormalVectorsAndAgreesOnTheEigenvalues)
{
    const MatrixXd a = GetParam().matrix();
    const Eigen::Index n = a.rows();
    SymmetricEigen solver;
    ASSERT_TRUE(solver.compute(a));
    const VectorXd& lambda = solver.eigenvalues();
    const MatrixXd& v = solver.eigenvectors();
    ASSERT_EQ(lambda.size(), n);
    ASSERT_EQ(v.rows(), n);
    ASSERT_EQ(v.cols(), n);

    const Eigen::SelfAdjointEigenSolver<MatrixXd> reference(a, Eigen::EigenvaluesOnly);
    const double norm = std::max(reference.eigenvalues().cwiseAbs().maxCoeff(), 1e-300);
    const double tolerance = 1e-12;
    for (Eigen::Index i = 0; i + 1 < n; ++i)
        EXPECT_LE(lambda(i), lambda(i + 1)) << i;
    EXPECT_LE((v * lambda.asDiagonal() * v.transpose() - a).cwiseAbs().maxCoeff(), tolerance * norm);
    EXPECT_LE((v.transpose() * v - MatrixXd::Identity(n, n)).cwiseAbs().maxCoeff(), tolerance);
    EXPECT_LE((lambda - reference.eigenvalues()).cwiseAbs().maxCoeff(), tolerance * norm);
    const VectorXd& spectrum = GetParam().spectrum;
    if (spectrum.size() > 0) {
        VectorXd sorted = spectrum;
        std::sort(sorted.data(), sorted.data() + n);
        EXPECT_LE((lambda - sorted).cwiseAbs().maxCoeff(), tolerance * norm);
    }
}

INSTANTIATE_TEST_SUITE_P(Matrices, Decomposition, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

// tridiag(b, a, b) of order n: λₖ = a + 2b·cos(kπ/(n + 1)), with eigenvector components
// proportional to sin(ikπ/(n + 1)), each to rounding over its distance to the nearest
// other eigenvalue.
TEST(TridiagonalEigen, ToeplitzMatrixHasItsClosedForm)
{
    for (const Eigen::Index n : {1, 2, 3, 17, 64, 250}) {
        const double a = 2.0, b = -1.0;
        VectorXd d = VectorXd::Constant(n, a);
        const VectorXd e = VectorXd::Constant(n - 1, b);
        MatrixXd z;
        TridiagonalEigen solver;
        solver.compute(d, e, z);
        const auto exact = [&](Eigen::Index k) {
            return a + 2 * b * std::cos(double(k) * std::numbers::pi / double(n + 1));
        };
        for (Eigen::Index k = 1; k <= n; ++k) {
            // increasing: with b < 0, the k-th smallest has cos(kπ/(n + 1)) largest
            const double theta = double(k) * std::numbers::pi / double(n + 1);
            EXPECT_NEAR(d(k - 1), exact(k), 1e-14) << n << ", " << k;
            double gap = 4.0;
            if (k > 1)
                gap = std::min(gap, exact(k) - exact(k - 1));
            if (k < n)
                gap = std::min(gap, exact(k + 1) - exact(k));
            VectorXd expected(n);
            for (Eigen::Index i = 0; i < n; ++i)
                expected(i) = std::sin(double(i + 1) * theta);
            expected.normalize();
            const double sign = expected.dot(z.col(k - 1)) < 0 ? -1.0 : 1.0;
            EXPECT_LE((sign * z.col(k - 1) - expected).cwiseAbs().maxCoeff(), 4e-15 / gap) << n << ", " << k;
        }
    }
}

// A second call with another size reuses the solver.
TEST(SymmetricEigen, SolverIsReusedAcrossSizes)
{
    SymmetricEigen solver;
    for (const Eigen::Index n : {40, 3, 90, 1}) {
        const MatrixXd a = random_symmetric(n, unsigned(n));
        ASSERT_TRUE(solver.compute(a));
        const MatrixXd& v = solver.eigenvectors();
        EXPECT_LE((v * solver.eigenvalues().asDiagonal() * v.transpose() - a).cwiseAbs().maxCoeff(), 1e-12 * 2 * n);
    }
}

TEST(SymmetricEigen, RefusesNonFiniteEntries)
{
    MatrixXd a = MatrixXd::Identity(4, 4);
    a(2, 1) = a(1, 2) = std::numeric_limits<double>::quiet_NaN();
    SymmetricEigen solver;
    EXPECT_FALSE(solver.compute(a));
}

}  // namespace
