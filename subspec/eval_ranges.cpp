#include "subspec/eval_ranges.h"

#include <memory>
#include <stdexcept>

namespace {

void check_inside(std::size_t start, std::size_t size, std::size_t limit, const char* what)
{
    if (start > limit || size > limit - start)
        throw std::out_of_range(std::string(what) + " range beyond its vector");
}

}  // namespace

std::span<const double> range_points(const XPoints& x)
{
    const DVector& v = x.data().expression();
    check_inside(x.start(), x.size(), v.size(), "velocity");
    return {std::to_address(v.data().begin()) + x.start(), x.size()};
}

std::span<const double> range_params(const ParamRange& p, std::size_t count)
{
    const DVector& v = p.data().expression();
    check_inside(p.start(), p.size(), v.size(), "parameter");
    if (p.size() != count)
        throw std::out_of_range("parameter range does not match the parameter count");
    return {std::to_address(v.data().begin()) + p.start(), p.size()};
}

void check_jacobian_block(const JacobianRange& jacobian, std::size_t rows, std::size_t columns)
{
    const DMatrix& m = jacobian.data().expression();
    check_inside(jacobian.start1(), jacobian.size1(), m.size1(), "Jacobian row");
    check_inside(jacobian.start2(), jacobian.size2(), m.size2(), "Jacobian column");
    if (jacobian.size1() != rows || jacobian.size2() != columns)
        throw std::out_of_range("Jacobian block does not match the points and parameters");
}

double* jacobian_block_data(JacobianRange& jacobian, std::size_t& stride)
{
    DMatrix& m = jacobian.data().expression();
    stride = m.size2();
    return std::to_address(m.data().begin()) + jacobian.start1() * stride + jacobian.start2();
}

void check_covariance_block(const CovarianceRange& covariance, std::size_t n)
{
    const DMatrix& m = covariance.data().expression();
    check_inside(covariance.start1(), covariance.size1(), m.size1(), "covariance row");
    check_inside(covariance.start2(), covariance.size2(), m.size2(), "covariance column");
    if (covariance.size1() != n || covariance.size2() != n)
        throw std::out_of_range("covariance block does not match the parameter count");
}

std::span<double> init_slice(DVector& params, unsigned first, unsigned count, unsigned expected)
{
    check_inside(first, count, params.size(), "parameter");
    if (count != expected)
        throw std::out_of_range("parameter range does not match the parameter count");
    return {std::to_address(params.data().begin()) + first, count};
}
