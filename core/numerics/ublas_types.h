// The vector and matrix types of model evaluation and fitting: the x values, the flat
// parameter vector, model values, Jacobians and covariance matrices. Both keep their
// elements contiguously in a std::vector: uBLAS's default storage cannot be resized or
// sized on construction as C++20 (Boost 1.74 calls the removed allocator::construct).
#pragma once

#include <vector>

#include <boost/numeric/ublas/matrix.hpp>
#include <boost/numeric/ublas/vector.hpp>

using DVector = boost::numeric::ublas::vector<double, std::vector<double>>;
using DMatrix = boost::numeric::ublas::matrix<double, boost::numeric::ublas::row_major, std::vector<double>>;
