// A compiled user expression over the model's flat parameter vector (compiled by
// Expr::create, core/model/expr.h).
//
// An expression is evaluated on dual numbers with one derivative per distinct
// parameter it references, which gives its gradient and, with the fit's covariance
// matrix V, its propagated standard error √(gᵀ V g). Compiled expressions are
// immutable and shared: any number of threads may evaluate one at once.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "core/numerics/ublas_types.h"

class IExpr {
public:
    virtual ~IExpr() = default;

    // The value; error := √(gᵀ V g), V the covariance matrix by flat index.
    virtual double value_with_variance(const DVector& params, const DMatrix& covariance, double& error) const = 0;
    // The value; gradient := ∂value/∂p, resized to the size of params, zero at every
    // parameter the expression does not reference.
    virtual double value_and_gradient(const DVector& params, DVector& gradient) const = 0;
    virtual double value(const DVector& params) const = 0;
    // The value of an expression that may also use variables ("$" names, in the order
    // given to the compiler) with their own standard deviations; error includes them,
    // the variables independent of each other and of the parameters.
    virtual double value_with_variance_ext(const DVector& params, const DMatrix& covariance,
                                           const DVector& variables, const DVector& variable_deviations,
                                           double& error) const = 0;
    // Inserts the flat index of every parameter the expression references.
    virtual void used_params(std::set<unsigned>& out) const = 0;
    // The text it was compiled from, before user-expression names were expanded.
    virtual std::wstring text() const = 0;
};

using ExprPtr = std::shared_ptr<const IExpr>;
