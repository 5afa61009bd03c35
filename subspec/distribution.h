// The distribution component: wraps one inner subspectrum that has exactly one area
// parameter and spreads chosen inner parameters linearly over a grid of N points. Point
// i has the value L + (R − L)·i/(N − 1) of every spread parameter (start value "L", end
// value "R", fitted as ordinary parameters) and its own weight "Ii" in place of the
// inner area; the component's value is the sum of the inner model over the points.
// Fitting the weights gives the shape of the distribution of the spread parameters.
//
// Parameters: the inner ones in inner order without the area, each spread one replaced
// by its start and end value, then the N weights, which the grid does not show.
//
// The object keeps no parameter values; evaluations only read it and may run on many
// threads at once. setup, load_extra, resize and the setters change it and run only in
// the user-interface thread while no fit runs.
#pragma once

#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "subspec/subspec.h"

// The point counts a distribution may have: a second difference needs two points, and
// a model file may not make the program allocate without bound.
inline constexpr unsigned min_distribution_points = 2;
inline constexpr unsigned max_distribution_points = 10000;

class Distribution final : public ISubSpec,
                           public ILorenzLines,
                           public IAAParam,
                           public ILinePos,
                           public ISubSpecArea,
                           public ISubSpecData,
                           public ISubSpecDesc,
                           public ISubSpecRange,
                           public IModelExtVars,
                           public IExtraGraph,
                           public IDistribution {
public:
    // Takes a reference to the inner model. Throws std::runtime_error "Unsupported model
    // for distribution" unless it has exactly one area parameter and shows all its
    // parameters (so no distribution of a distribution). No points until setup or
    // load_extra.
    explicit Distribution(SubSpecPtr inner);

    // Lays the parameters out for n points, the inner parameters `varying` spread (the
    // order given is the order stored); every deviation 1. Throws std::invalid_argument
    // for n outside [min_distribution_points, max_distribution_points], an empty list or
    // an index that is no inner parameter or is the area parameter; nothing changes then.
    void setup(unsigned n, const std::vector<unsigned>& varying);

    // Writes `start` and `end` as the start and end value of inner parameter `inner_index`
    // into the component's parameter slice; std::invalid_argument when that parameter is
    // not spread, std::out_of_range when the slice is not param_count() long.
    void set_range(std::span<double> slice, unsigned inner_index, double start, double end) const;

    const ISubSpec& inner() const { return *inner_; }

    // ---- ISubSpec ----

    unsigned param_count() const override { return static_cast<unsigned>(descriptors_.size()); }
    unsigned shown_param_count() const override { return shown_count_; }
    void evaluate(const XPoints& x, const ParamRange& p, double* values) const override;
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                JacobianRange jacobian) const override;
    // The inner model's starting values, each start value equal to its end value, every
    // weight 1/N.
    void init_params(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                     unsigned count) const override;
    // Throws std::runtime_error "parameter index out of range" for i ≥ param_count().
    const ParamInfo& param_info(unsigned i) const override;
    std::wstring display_name() const override;
    void param_layout(std::vector<unsigned>& out) const override;
    // Same points, spread parameters, deviations and inner model data; the abscissa is
    // the point number and nothing is marked.
    SubSpecPtr clone() const override;

    // ---- IAAParam: the N weights ----

    void area_params(std::vector<unsigned>& out) const override;

    // ---- Optional interfaces, answered through the inner model ----

    void line_positions(const ParamRange& p, std::vector<std::vector<double>>& groups) const override;
    // "([c:I0]+[c:I1]+…)".
    std::wstring area_expr(unsigned component) const override;
    bool set_defaults(const std::wstring& folder) override;
    // Rebuilds the distribution from its text; false, nothing changed, for a text that
    // does not read completely, a point count outside the allowed range, no or invalid
    // spread parameters, a deviation that is negative or not finite, or the inner
    // model's refusal of its part.
    bool load_extra(const std::wstring& text) override;
    std::wstring save_extra() const override;
    std::wstring description() const override;
    // The inner extents at the first and the last point; (+∞, −∞) when the inner model
    // has no extent.
    void extent(const ParamRange& p, double& min, double& max) const override;
    // "[c:I]": the sum of the weights.
    void ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const override;
    unsigned graph_count() const override;
    void graph_with_errors(unsigned curve, const ParamRange& p, const CovarianceRange& covariance,
                           std::vector<double>& x, std::vector<double>& y,
                           std::vector<double>& y_errors) const override;
    void graph(unsigned curve, const ParamRange& p, std::vector<double>& x, std::vector<double>& y) const override;
    void axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const override;

    // ---- IDistribution ----

    unsigned point_count() const override { return point_count_; }
    const std::vector<double>& point_deviations() const override { return point_deviations_; }
    void set_point_deviations(unsigned first, const std::vector<double>& values) override;
    std::vector<unsigned> start_value_params() const override;
    int axis_param() const override { return axis_param_; }
    void set_axis_param(int entry) override;
    const PointRangeList& marked_ranges() const override { return marked_ranges_; }
    void set_marked_ranges(const PointRangeList& ranges) override;
    bool distributed_param(const ParamRange& p, double& first, double& last, std::wstring& name) const override;
    bool end_point_params(const ParamRange& p, std::vector<double>& out) const override;
    void lorentz_lines(const ParamRange& p, std::vector<double>& amplitudes, std::vector<double>& positions,
                       std::vector<double>& widths) const override;
    void statistics_rows(unsigned c, unsigned a, unsigned b, const std::wstring& total_area,
                         std::vector<DistStatRow>& out, std::vector<DistStatSum>& sums) const override;
    void resize(unsigned n, const ParamRange& p, std::vector<double>& out) override;
    void set_end_value(unsigned j, double v, const ParamRange& p, std::vector<double>& out,
                       std::vector<double>& deviations) const override;

private:
    // (inner index, descriptor index) of a spread or a fixed inner parameter.
    using ParamPair = std::pair<unsigned, unsigned>;

    // Rewrites the point descriptors "I0" … for the present point count.
    void rebuild_point_params();
    // Grid position of point i, i/(N − 1).
    double grid_position(unsigned i) const;
    // The inner parameters from the component's: fill_fixed copies the fixed ones (once
    // per call), place_point sets the spread ones to L + (R − L)·t and the area.
    void fill_fixed(std::span<const double> p, DVector& inner) const;
    void place_point(std::span<const double> p, double t, double area, DVector& inner) const;
    struct EndPoints;
    EndPoints end_points(const ParamRange& p) const;
    // Checks p against the parameter count and gives its values.
    std::span<const double> slice(const ParamRange& p) const;

    SubSpecPtr inner_;
    unsigned point_count_ = 0;
    unsigned shown_count_ = 0;
    std::vector<unsigned> varying_inner_;  // as the caller gave them; stored in the extra data
    std::vector<ParamPair> varying_;       // start descriptor; the end descriptor follows
    unsigned area_index_ = 0;
    unsigned inner_param_count_ = 0;
    std::vector<ParamPair> fixed_;
    std::vector<ParamInfo> descriptors_;
    std::vector<double> point_deviations_;
    int axis_param_ = -1;
    PointRangeList marked_ranges_;
};

// A new distribution of the inner model over n points with the inner parameters
// `varying` spread, reference count 1. The catalogue's "[D] " entries and the add
// command create distributions with it. Throws as the constructor and setup do.
SubSpecPtr make_distribution(SubSpecPtr inner, unsigned n, const std::vector<unsigned>& varying);
