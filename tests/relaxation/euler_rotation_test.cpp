// The Euler rotation against the product of the three elementary rotations, its
// orthonormality, and its derivatives on dual numbers against central differences;
// dot3 against the plain sum.
#include <gtest/gtest.h>

#include <cmath>

#include "core/numerics/dual.h"
#include "relaxation/euler_rotation.h"

namespace {

Matrix3<double> product(const Matrix3<double>& a, const Matrix3<double>& b)
{
    Matrix3<double> c{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                c[i][j] += a[i][k] * b[k][j];
    return c;
}

Matrix3<double> rz(double t)
{
    return {{{std::cos(t), -std::sin(t), 0.0}, {std::sin(t), std::cos(t), 0.0}, {0.0, 0.0, 1.0}}};
}

Matrix3<double> rx(double t)
{
    return {{{1.0, 0.0, 0.0}, {0.0, std::cos(t), -std::sin(t)}, {0.0, std::sin(t), std::cos(t)}}};
}

const double angles[][3] = {{0.0, 0.0, 0.0}, {0.3, 1.1, -0.7}, {2.5, -0.4, 1.9}, {-1.2, 3.0, 0.05}};

TEST(EulerRotation, IsTheProductOfElementaryRotationsAndOrthonormal)
{
    for (const auto& a : angles) {
        const Matrix3<double> r = euler_rotation(a[0], a[1], a[2]);
        const Matrix3<double> expected = product(product(rz(a[0]), rx(a[1])), rz(a[2]));
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(r[i][j], expected[i][j], 1e-15);
                EXPECT_NEAR(dot3(r[i], r[j]), i == j ? 1.0 : 0.0, 1e-15);
            }
        }
    }
}

TEST(EulerRotation, DerivativesMatchCentralDifferences)
{
    for (const auto& a : angles) {
        const Matrix3<Dual<3>> r = euler_rotation(Dual<3>::seed(a[0], 0), Dual<3>::seed(a[1], 1),
                                                  Dual<3>::seed(a[2], 2));
        for (int k = 0; k < 3; ++k) {
            const double h = 1e-6;
            double up[3] = {a[0], a[1], a[2]}, down[3] = {a[0], a[1], a[2]};
            up[k] += h;
            down[k] -= h;
            const Matrix3<double> ru = euler_rotation(up[0], up[1], up[2]);
            const Matrix3<double> rd = euler_rotation(down[0], down[1], down[2]);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    EXPECT_NEAR(r[i][j][k + 1], (ru[i][j] - rd[i][j]) / (2.0 * h), 1e-9) << i << j << k;
        }
    }
}

TEST(Dot3, SumsTheProducts)
{
    EXPECT_EQ(dot3(Vector3<double>{1.0, 2.0, 3.0}, Vector3<double>{-4.0, 0.5, 2.0}), -4.0 + 1.0 + 6.0);
}

}  // namespace
