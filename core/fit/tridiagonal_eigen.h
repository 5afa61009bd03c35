// Eigenvalues and eigenvectors of a symmetric tridiagonal matrix by divide and conquer
// (Cuppen's method). The matrix is torn in two by a rank-one change at its middle
// subdiagonal entry β: T = diag(T₁, T₂) + |β|·u·uᵀ. The halves are solved the same way,
// down to single entries; then T = Q·(Λ + ρ·z·zᵀ)·Qᵀ with Q = diag(Q₁, Q₂), and the
// eigen-decomposition of the diagonal plus rank-one matrix follows from the roots of its
// secular equation. Before that, deflation takes out the eigenpairs that are already
// exact to rounding (a negligible component of z, or two eigenvalues so close that a
// rotation zeroes one of their components), which in practice leaves a small part of
// each merge to the secular equation. The eigenvectors of the remaining part come from a
// z recomputed from the computed roots (Gu and Eisenstat), so they are orthogonal to
// rounding however close the roots are; they are multiplied by Q as one product, which
// skips the zero blocks of Q.
#pragma once

#include <Eigen/Core>
#include <vector>

#include "core/fit/secular_equation.h"

class TridiagonalEigen {
public:
    // d (n) and e (n − 1) in, d the eigenvalues in increasing order and z (n × n) the
    // orthonormal eigenvectors in its columns out. The entries must be finite.
    void compute(Eigen::VectorXd& d, const Eigen::VectorXd& e, Eigen::MatrixXd& z);

private:
    void solve(Eigen::Index first, Eigen::Index size, Eigen::MatrixXd& z);
    void merge(Eigen::Index first, Eigen::Index top, Eigen::Index size, double beta, Eigen::MatrixXd& z);
    void deflate(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index size, double rho);
    void update_eigenvectors(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index top, Eigen::Index size, double rho);
    void sort_eigenpairs(Eigen::Block<Eigen::MatrixXd> q, Eigen::Index first, Eigen::Index size);

    Eigen::VectorXd d_, e_;
    // Per merge, indexed by the merged block's columns: the values, z, and which halves
    // of the rows a column of Q is nonzero in (1 top, 2 bottom, 3 both).
    Eigen::VectorXd values_, w_;
    std::vector<int> rows_;
    std::vector<Eigen::Index> order_, kept_, deflated_, grouped_, sorted_;
    // The kept part: poles, ρ·zᵢ², recomputed z, roots; all eigenvalues.
    Eigen::VectorXd delta_, weight_, z_hat_, eigenvalues_;
    std::vector<SecularRoot> roots_;
    // The kept and deflated columns of Q, the secular eigenvectors (their product goes
    // straight into the block), a column for the sorting.
    Eigen::MatrixXd columns_, secular_;
    Eigen::VectorXd spare_;
    std::vector<bool> placed_;
};
