// The roots of the secular equation of a rank-one update of a diagonal matrix,
// D + ρ·w·wᵀ with ρ > 0: f(λ) = 1 + Σᵢ cᵢ/(δᵢ − λ) = 0 with cᵢ = ρ·wᵢ² > 0 and the δᵢ
// strictly increasing. Root j lies in (δⱼ, δⱼ₊₁), the last one in (δₖ₋₁, δₖ₋₁ + Σcᵢ].
//
// Each root is kept as an offset from its nearer pole, λ = δₒ + τ, so that the
// differences δᵢ − λ = (δᵢ − δₒ) − τ, which the eigenvectors are built from, carry the
// full relative precision even when λ lies next to a pole.
#pragma once

#include <Eigen/Core>

struct SecularRoot {
    Eigen::Index origin;  // o
    double offset;        // τ
};

// Root j of the k = delta.size() roots, by rational interpolation of the poles on either
// side (each part of the sum matched in value and slope by one pole and a constant),
// safeguarded by bisection of a bracket that always holds the root.
SecularRoot secular_root(const Eigen::Ref<const Eigen::VectorXd>& delta, const Eigen::Ref<const Eigen::VectorXd>& c,
                         Eigen::Index j);
