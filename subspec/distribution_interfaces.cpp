// The distribution's answers to the optional interfaces. Most come from the inner model,
// asked with the inner parameters of the first and the last point (the points between
// lie inside for a linear spread) or, for the extra graphs, of the middle of the range
// with the whole weight; the area and its extra variable are the sum of the weights.
#include <algorithm>
#include <limits>
#include <stdexcept>

#include "core/text/c_format.h"
#include "core/text/sum_expression.h"
#include "subspec/distribution.h"

namespace {

using boost::numeric::ublas::range;

ParamRange part(const DVector& v, std::size_t first, std::size_t count)
{
    return ParamRange(v, range(first, first + count));
}

DVector to_dvector(const std::vector<double>& v)
{
    DVector out(v.size());
    std::copy(v.begin(), v.end(), out.begin());
    return out;
}

}  // namespace

// An unset distribution (no points yet) has no area.
std::wstring Distribution::area_expr(unsigned component) const
{
    if (point_count_ == 0)
        return {};
    std::wstring sum;
    make_sum_expression(sum, 0, point_count_ - 1, (c_format(L"[%u:I%%u]") % component).str());
    return L"(" + sum + L")";
}

void Distribution::ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const
{
    if (point_count_ == 0)
        return;
    std::wstring sum;
    make_sum_expression(sum, 0, point_count_ - 1, (c_format(L"[%d:I%%u]") % component).str());
    vars[(c_format(L"[%d:I]") % component).str()] = sum;
}

bool Distribution::set_defaults(const std::wstring& folder)
{
    auto* data = dynamic_cast<ISubSpecData*>(inner_.get());
    return data ? data->set_defaults(folder) : true;
}

std::wstring Distribution::description() const
{
    const auto* desc = dynamic_cast<const ISubSpecDesc*>(inner_.get());
    return desc ? desc->description() : std::wstring();
}

bool Distribution::end_point_params(const ParamRange& p, std::vector<double>& out) const
{
    const std::span<const double> params = slice(p);
    DVector inner(inner_param_count_);
    fill_fixed(params, inner);
    out.resize(2 * inner_param_count_);
    place_point(params, 0.0, 1.0, inner);
    std::copy(inner.begin(), inner.end(), out.begin());
    place_point(params, 1.0, 1.0, inner);
    std::copy(inner.begin(), inner.end(), out.begin() + inner_param_count_);
    return std::any_of(varying_.begin(), varying_.end(),
                       [&](const ParamPair& v) { return params[v.second] != params[v.second + 1]; });
}

// The inner parameters at the first and at the last point, and whether they differ.
struct Distribution::EndPoints {
    DVector inner;
    bool spread = false;
    unsigned n = 0;

    ParamRange first() const { return part(inner, 0, n); }
    ParamRange last() const { return part(inner, n, n); }
};

Distribution::EndPoints Distribution::end_points(const ParamRange& p) const
{
    std::vector<double> ends;
    EndPoints e;
    e.spread = end_point_params(p, ends);
    e.inner = to_dvector(ends);
    e.n = inner_param_count_;
    return e;
}

void Distribution::line_positions(const ParamRange& p, std::vector<std::vector<double>>& groups) const
{
    const auto* lines = dynamic_cast<const ILinePos*>(inner_.get());
    if (!lines)
        return;
    const EndPoints e = end_points(p);
    lines->line_positions(e.first(), groups);
    if (e.spread)
        lines->line_positions(e.last(), groups);
}

void Distribution::extent(const ParamRange& p, double& min, double& max) const
{
    min = std::numeric_limits<double>::infinity();
    max = -min;
    const auto* inner_range = dynamic_cast<const ISubSpecRange*>(inner_.get());
    if (!inner_range)
        return;
    const EndPoints e = end_points(p);
    inner_range->extent(e.first(), min, max);
    if (e.spread) {
        double lo = 0.0, hi = 0.0;
        inner_range->extent(e.last(), lo, hi);
        min = std::min(min, lo);
        max = std::max(max, hi);
    }
}

unsigned Distribution::graph_count() const
{
    const auto* g = dynamic_cast<const IExtraGraph*>(inner_.get());
    return g ? g->graph_count() : 0;
}

void Distribution::graph(unsigned curve, const ParamRange& p, std::vector<double>& x, std::vector<double>& y) const
{
    const auto* g = dynamic_cast<const IExtraGraph*>(inner_.get());
    if (!g)
        return;
    const std::span<const double> params = slice(p);
    DVector inner(inner_param_count_);
    fill_fixed(params, inner);
    double total = 0.0;
    for (unsigned i = 0; i < point_count_; ++i)
        total += params[shown_count_ + i];
    place_point(params, 0.5, total, inner);
    g->graph(curve, part(inner, 0, inner_param_count_), x, y);
}

// The inner model's errors would need the inner covariance, which a distribution does not
// have: the curve is drawn without errors.
void Distribution::graph_with_errors(unsigned curve, const ParamRange& p, const CovarianceRange&,
                                     std::vector<double>& x, std::vector<double>& y,
                                     std::vector<double>& y_errors) const
{
    if (!dynamic_cast<const IExtraGraph*>(inner_.get()))
        return;
    graph(curve, p, x, y);
    y_errors.assign(y.size(), 0.0);
}

void Distribution::axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const
{
    if (const auto* g = dynamic_cast<const IExtraGraph*>(inner_.get()))
        g->axis_names(curve, x_name, y_name);
}

void Distribution::lorentz_lines(const ParamRange& p, std::vector<double>& amplitudes,
                                 std::vector<double>& positions, std::vector<double>& widths) const
{
    const auto* lorentz = dynamic_cast<const ILorenzLine*>(inner_.get());
    if (!lorentz)
        return;
    const std::span<const double> params = slice(p);
    amplitudes.resize(point_count_);
    positions.resize(point_count_);
    widths.resize(point_count_);
    DVector inner(inner_param_count_);
    fill_fixed(params, inner);
    for (unsigned i = 0; i < point_count_; ++i) {
        place_point(params, grid_position(i), params[shown_count_ + i], inner);
        lorentz->lorentz_params(part(inner, 0, inner_param_count_), amplitudes[i], positions[i], widths[i]);
    }
}

bool Distribution::distributed_param(const ParamRange& p, double& first, double& last, std::wstring& name) const
{
    if (axis_param_ < 0) {
        first = 1.0;
        last = point_count_;
        name = L"n";
        return true;
    }
    const std::span<const double> params = slice(p);
    const auto& [s, d] = varying_.at(static_cast<unsigned>(axis_param_));
    first = params[d];
    last = params[d + 1];
    name = inner_->param_info(s).name;
    return true;
}

std::vector<unsigned> Distribution::start_value_params() const
{
    std::vector<unsigned> starts;
    for (const auto& v : varying_)
        starts.push_back(v.second);
    return starts;
}

void Distribution::set_axis_param(int entry)
{
    if (entry < -1 || entry >= static_cast<int>(varying_.size()))
        throw std::out_of_range("No such spread parameter of the distribution");
    axis_param_ = entry;
}

void Distribution::set_marked_ranges(const PointRangeList& ranges)
{
    PointRangeList kept;
    for (const auto& r : ranges)
        if (r.first < r.second && r.second < point_count_)
            kept.push_back(r);
    marked_ranges_.swap(kept);
}

void Distribution::set_point_deviations(unsigned first, const std::vector<double>& values)
{
    if (first > point_count_ || values.size() > point_count_ - first)
        throw std::out_of_range("Point deviations beyond the distribution's points");
    std::copy(values.begin(), values.end(), point_deviations_.begin() + first);
}
