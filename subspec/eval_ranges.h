// The ranges of an evaluation call as plain spans, after checking that they lie inside
// their vectors and fit the component: uBLAS checks these only in debug builds, and a
// range beyond its vector would read or write foreign memory.
#pragma once

#include <cstddef>
#include <span>

#include "subspec/subspec.h"

// Throw std::out_of_range.
std::span<const double> range_points(const XPoints& x);
std::span<const double> range_params(const ParamRange& p, std::size_t count);
void check_jacobian_block(const JacobianRange& jacobian, std::size_t rows, std::size_t columns);
// The first element of a checked Jacobian block; its rows lie `stride` doubles apart.
double* jacobian_block_data(JacobianRange& jacobian, std::size_t& stride);
void check_covariance_block(const CovarianceRange& covariance, std::size_t n);
// Elements first .. first + count - 1 of params, for the starting values of a component
// with `expected` parameters.
std::span<double> init_slice(DVector& params, unsigned first, unsigned count, unsigned expected);
