// The propagated covariances of several derived values at once. Each value's standard
// error is √(gᵀ V g) with g its gradient and V the fit's covariance matrix; for many
// values over the same parameters one sweep over the rows of V that any gradient
// touches serves them all (each row is read once and dotted with every gradient), so k
// values over m parameters cost one O(m · Σ nnz) pass instead of k separate O(m²) ones.
#pragma once

#include <vector>

#include "core/numerics/ublas_types.h"

// A gradient by flat parameter index: distinct indices in ascending order with their
// derivatives.
struct SparseGradient {
    std::vector<unsigned> index;
    std::vector<double> value;
};

// M(r, s) = g_rᵀ V g_s for the gradients g; entries of g outside V count as 0, as does
// a V that is not square.
DMatrix covariance_gram(const DMatrix& covariance, const std::vector<SparseGradient>& gradients);
