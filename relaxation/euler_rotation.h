// The rotation of the z-x-z Euler angles and the dot product of two three-component
// vectors, generic over the number type.
#pragma once

#include <array>

#include "core/numerics/dual.h"

template <class R>
using Vector3 = std::array<R, 3>;

// Rows of a 3 × 3 matrix.
template <class R>
using Matrix3 = std::array<Vector3<R>, 3>;

// a₀·b₀ + (a₁·b₁ + a₂·b₂).
template <class R>
R dot3(const Vector3<R>& a, const Vector3<R>& b)
{
    return a[0] * b[0] + (a[1] * b[1] + a[2] * b[2]);
}

// Rz(α)·Rx(β)·Rz(γ), the angles in radians; Rz(φ) turns the x axis towards the y axis.
template <class R>
Matrix3<R> euler_rotation(const R& alpha, const R& beta, const R& gamma)
{
    R sa, ca, sb, cb, sc, cc;
    sin_cos(alpha, sa, ca);
    sin_cos(beta, sb, cb);
    sin_cos(gamma, sc, cc);
    const R cb_sc = cb * sc;
    const R cb_cc = cb * cc;
    return {{
        {ca * cc - sa * cb_sc, -(ca * sc) - sa * cb_cc, sa * sb},
        {sa * cc + ca * cb_sc, ca * cb_cc - sa * sc, -(ca * sb)},
        {sb * sc, sb * cc, cb},
    }};
}
