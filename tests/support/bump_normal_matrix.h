// The normal matrix JᵀJ of a smoothed distribution (bump_jacobian.h), scaled to unit
// diagonal as the fit scales it.
#pragma once

#include <Eigen/Core>
#include <cstddef>

#include "tests/support/bump_jacobian.h"

namespace test_support {

inline Eigen::MatrixXd bump_normal_matrix(Eigen::Index channels, Eigen::Index n, double width, double smoothing)
{
    Eigen::MatrixXd j = Eigen::MatrixXd::Zero(channels + n, n);
    fill_bump_jacobian(j, std::size_t(channels), std::size_t(n), width, smoothing);
    const Eigen::MatrixXd a = j.transpose() * j;
    const Eigen::VectorXd d = a.diagonal().cwiseSqrt().cwiseInverse();
    return d.asDiagonal() * a * d.asDiagonal();
}

}  // namespace test_support
