// Householder reduction of a symmetric matrix to tridiagonal form, A = Q·T·Qᵀ, in panels
// of columns as in LAPACK's dsytrd: within a panel each reflector is applied to the
// trailing matrix only through the vectors it needs next (the panel's reflectors V and
// the matching W, A − V·Wᵀ − W·Vᵀ), and the trailing matrix takes the whole panel at
// once as one symmetric rank-2k product. Half the work stays in matrix-vector products
// with the trailing matrix, the other half becomes a matrix product, where the reduction
// one reflector at a time does all of it as matrix-vector work.
#pragma once

#include <Eigen/Core>
#include <Eigen/Householder>

class TridiagonalReduction {
public:
    using Reflectors = Eigen::HouseholderSequence<Eigen::MatrixXd, Eigen::VectorXd>;

    // From a's lower triangle.
    void compute(const Eigen::MatrixXd& a);
    const Eigen::VectorXd& diagonal() const { return diagonal_; }
    const Eigen::VectorXd& subdiagonal() const { return subdiagonal_; }
    // Q, as the product of the reflectors: apply it with applyOnTheLeft.
    Reflectors matrixQ() const;

private:
    void reduce_panel(Eigen::Index first, Eigen::Index columns);

    Eigen::MatrixXd packed_;  // the reflectors' vectors below the subdiagonal
    Eigen::VectorXd coefficients_, diagonal_, subdiagonal_;
    Eigen::MatrixXd w_, both_, swapped_;  // W, then [V W] and [W V] for the update
    Eigen::VectorXd products_;
};
