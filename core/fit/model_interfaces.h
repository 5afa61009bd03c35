// The interfaces through which the fit engine, the views and the document compute and
// query a model. Callers that hold only an IModel reach the others by dynamic cast; a
// null result means the model lacks that capability.
//
// None of them has a virtual destructor: a model is created, copied and destroyed as
// its concrete type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/ublas_types.h"

struct SpectrumAnalysis;

// Entry e: the gradient of user expression e at the current values, by flat parameter
// index. IDepVars::apply_links fills it; the Jacobian evaluation carries expression
// links into the parameters the expressions use with it.
using ExprGradients = std::vector<DVector>;

// Point ranges (first, last) marked on a distribution's graph.
using PointRangeList = std::vector<std::pair<unsigned, unsigned>>;

// The model function: a sum of components over the flat parameter vector. Every
// parameter vector passed in is the full vector, linked values already recomputed by
// IDepVars::apply_links. Outputs are overwritten, never accumulated into; the caller
// sizes them (one value per point, Jacobians points × param_count()). An exception a
// component raises reaches the caller unchanged, also from a parallel evaluation.
class IModel {
public:
    virtual unsigned param_count() const = 0;
    // The component on top of the baselines before it (what the plot draws for it).
    virtual void evaluate_component(unsigned component, const DVector& x, const DVector& params,
                                    DVector& out) const = 0;
    // Values and Jacobian on points first .. first + count − 1 of x, with links carried
    // into the Jacobian by the chain rule (a dependent parameter's column is 0). Serial:
    // the fit calls it concurrently, once per block of points.
    virtual void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count,
                                              const DVector& params, const ExprGradients& gradients,
                                              DVector& out, DMatrix& jacobian) const = 0;
    // Values on points first .. first + count − 1 of x.
    virtual void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                          DVector& out) const = 0;
    virtual bool has_components() const = 0;
    // True when the scale is not below 0 (or not a number): choose the emission reading.
    virtual bool is_emission() const = 0;
    virtual unsigned component_count() const = 0;
    // Makes the varying parameter that owns `param` of distribution component
    // `component` its abscissa; true when the abscissa changed.
    virtual bool set_distribution_abscissa(unsigned component, unsigned param) = 0;
    // Replaces the marked point ranges of distribution number `distribution`.
    virtual void set_distribution_marks(unsigned distribution, const PointRangeList& marks) = 0;

protected:
    ~IModel() = default;
};

// Links: parameters computed from other parameters or user expressions.
class IDepVars {
public:
    // Resized to param_count() and zeroed; 1 at every linked parameter.
    virtual void dependent_mask(std::vector<int>& mask) const = 0;
    // Recomputes every linked value in `values`; with `gradients`, also the gradient of
    // every expression a link uses.
    virtual void apply_links(DVector& values, ExprGradients* gradients) const = 0;

protected:
    ~IDepVars() = default;
};

// The excluded x-ranges: the fit leaves out every point with from ≤ x < to.
class IModelWithXRanges {
public:
    virtual unsigned xrange_count() const = 0;
    // index < xrange_count().
    virtual void get_xrange(unsigned index, double& from, double& to) const = 0;

protected:
    ~IModelWithXRanges() = default;
};

// The leading baseline: the first component, when it is a baseline. Without one every
// query gives its neutral answer (0, false, values unchanged).
class IModelWithBaseline {
public:
    // Each value v becomes (v − b + N0)·100/N0, b the leading baseline's curve at the
    // same velocity and N0 its level: the baseline's shape is removed and the level
    // reads 100. N0 = 0 makes every value 0. `values` has one entry per velocity.
    virtual void to_percent_of_level(const DVector& x, const DVector& params, DVector& values) const = 0;
    virtual double baseline_level(const DVector& params) const = 0;
    // From the covariance block of the leading baseline's parameters.
    virtual double baseline_level_error(const DMatrix& covariance) const = 0;
    // The leading baseline's curve at every velocity; false, `out` untouched, without one.
    virtual bool baseline_values(const DVector& x, const DVector& params, DVector& out) const = 0;
    // True only for the level parameter (flat index 0) of a leading baseline.
    virtual bool is_level_param(unsigned index) const = 0;

protected:
    ~IModelWithBaseline() = default;
};

// Line positions (mm/s) of one component, one group per multiplet; nothing for a
// component without a line list. A component index beyond the model throws
// std::out_of_range.
class ILinePosModel {
public:
    virtual void line_positions(unsigned component, const DVector& params,
                                std::vector<std::vector<double>>& groups) const = 0;

protected:
    ~ILinePosModel() = default;
};

// The velocity interval that holds every component's lines: (+∞, −∞) when no
// component knows its extent.
class IModelWithRange {
public:
    virtual void velocity_range(const DVector& params, double& low, double& high) const = 0;

protected:
    ~IModelWithRange() = default;
};

// The extra curves of component i (0 or nothing when it has none or does not exist).
class IModelWithEG {
public:
    virtual unsigned graph_count(unsigned i) const = 0;
    virtual void graph_with_errors(unsigned i, unsigned curve, const DVector& params, const DMatrix& covariance,
                                   std::vector<double>& x, std::vector<double>& y,
                                   std::vector<double>& y_errors) const = 0;
    virtual void graph(unsigned i, unsigned curve, const DVector& params, std::vector<double>& x,
                       std::vector<double>& y) const = 0;
    virtual void axis_names(unsigned i, unsigned curve, std::wstring& x_name, std::wstring& y_name) const = 0;

protected:
    ~IModelWithEG() = default;
};

// The document's answer to which parameters a fit varies.
class ILockInfo {
public:
    // True when the parameter is free, its component not locked and it is not linked.
    virtual bool is_varied(unsigned index) const = 0;

protected:
    ~ILockInfo() = default;
};

// One distribution component's weights as the fit's smoothness rows see them.
struct DistPointParams {
    std::int32_t first_weight = 0;   // flat index of the first weight
    std::vector<double> deviations;  // one per weight: the σ of its smoothness row
};

// The distribution components, numbered from 0 in model order.
class IDistParams {
public:
    // point_params with every deviation divided by √max(|N0|, |N0 + depth|) of the
    // analysis; nothing appended when that is 0.
    virtual void scaled_point_params(const SpectrumAnalysis& analysis,
                                     std::vector<DistPointParams>& out) const = 0;
    // Appends one entry per distribution, in model order.
    virtual void point_params(std::vector<DistPointParams>& out) const = 0;
    // The abscissa of distribution n: its first and last value and its name; false
    // when there is no distribution n.
    virtual bool distributed_param(unsigned n, const DVector& params, double& first, double& last,
                                   std::wstring& name) const = 0;
    // The component index of distribution n; 0 when there is none.
    virtual unsigned component_index(unsigned n) const = 0;
    // out = a copy of the marked point ranges of distribution n; untouched when there
    // is none.
    virtual void marked_ranges(unsigned n, PointRangeList& out) const = 0;

protected:
    ~IDistParams() = default;
};
