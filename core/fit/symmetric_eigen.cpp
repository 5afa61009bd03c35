// The dense symmetric eigen-decomposition; see the header for the method.
#include "core/fit/symmetric_eigen.h"

bool SymmetricEigen::compute(const Eigen::MatrixXd& a)
{
    if (a.rows() == 0) {
        values_.resize(0);
        vectors_.resize(0, 0);
        return true;
    }
    reduction_.compute(a);
    values_ = reduction_.diagonal();
    if (!values_.allFinite() || !reduction_.subdiagonal().allFinite())
        return false;
    tridiagonal_.compute(values_, reduction_.subdiagonal(), vectors_);
    vectors_.applyOnTheLeft(reduction_.matrixQ());
    return true;
}
