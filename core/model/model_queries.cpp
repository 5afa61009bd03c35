// The model's answers to the plot, the grids, the reports and the fit engine: the
// leading baseline's level and curve, values in percent of that level, line positions,
// the velocity extent, extra graphs, distribution weights, parameter errors through
// their links and the texts that name a link's target. All of them only read the model;
// a missing capability gives the neutral answer stated in the interface.
#include <cmath>
#include <limits>
#include <locale>
#include <stdexcept>

#include <boost/format.hpp>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_analysis.h"

namespace {

// All points of x as the velocities of one call.
XPoints all_points(const DVector& x)
{
    return XPoints(x, boost::numeric::ublas::range(0, x.size()));
}

template <class Interface>
const Interface* capability(const SubModel& c)
{
    return dynamic_cast<const Interface*>(c.subspec.get());
}

}  // namespace

// ---- IModelWithBaseline ----

void SpectrumModel::to_percent_of_level(const DVector& x, const DVector& params, DVector& values) const
{
    if (!starts_with_baseline())
        return;
    if (values.size() != x.size())
        throw std::out_of_range("Values and velocities differ in number");
    const double level = baseline_level(params);
    if (level == 0.0) {
        std::fill(values.begin(), values.end(), 0.0);
        return;
    }
    DVector curve;
    baseline_values(x, params, curve);
    for (std::size_t i = 0; i < values.size(); ++i)
        values(i) = (values(i) - curve(i) + level) * 100.0 / level;
}

double SpectrumModel::baseline_level(const DVector& params) const
{
    if (!starts_with_baseline())
        return 0.0;
    const SubModel& b = *components.front();
    return capability<IBaseLine>(b)->level(b.param_slice(params));
}

double SpectrumModel::baseline_level_error(const DMatrix& covariance) const
{
    if (!starts_with_baseline())
        return 0.0;
    const SubModel& b = *components.front();
    return capability<IBaseLine>(b)->level_error(b.covariance_block(covariance));
}

bool SpectrumModel::baseline_values(const DVector& x, const DVector& params, DVector& out) const
{
    if (!starts_with_baseline())
        return false;
    const SubModel& b = *components.front();
    DVector curve(x.size());
    if (!x.empty())
        b.subspec->evaluate(all_points(x), b.param_slice(params), &curve(0));
    out.swap(curve);
    return true;
}

bool SpectrumModel::is_level_param(unsigned index) const
{
    return index == 0 && starts_with_baseline();
}

// ---- ILinePosModel, IModelWithRange ----

void SpectrumModel::line_positions(unsigned component, const DVector& params,
                                   std::vector<std::vector<double>>& groups) const
{
    const SubModel& c = *components.at(component);
    if (const auto* lines = capability<ILinePos>(c))
        lines->line_positions(c.param_slice(params), groups);
}

void SpectrumModel::velocity_range(const DVector& params, double& low, double& high) const
{
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (const auto& c : components) {
        const auto* range = capability<ISubSpecRange>(*c);
        if (!range)
            continue;
        double lo = 0.0, hi = 0.0;
        range->extent(c->param_slice(params), lo, hi);
        if (hi > lo) {
            low = std::min(low, lo);
            high = std::max(high, hi);
        }
    }
}

// ---- IDistParams ----
//
// The weights of distribution components become smoothness rows of the fit.

SubModel* SpectrumModel::distribution_at(unsigned n) const
{
    for (const auto& c : components)
        if (c->distribution() && n-- == 0)
            return c.get();
    return nullptr;
}

void SpectrumModel::scaled_point_params(const SpectrumAnalysis& analysis, std::vector<DistPointParams>& out) const
{
    const double c = std::max(std::fabs(analysis.N0), std::fabs(analysis.N0 + analysis.depth));
    if (c == 0.0)
        return;
    const std::size_t first_new = out.size();
    point_params(out);
    const double factor = 1.0 / std::sqrt(c);
    for (std::size_t k = first_new; k < out.size(); ++k)
        for (double& deviation : out[k].deviations)
            deviation *= factor;
}

void SpectrumModel::point_params(std::vector<DistPointParams>& out) const
{
    for (const auto& c : components)
        if (const IDistribution* d = c->distribution())
            out.push_back({static_cast<std::int32_t>(c->first + c->shown_count), d->point_deviations()});
}

bool SpectrumModel::distributed_param(unsigned n, const DVector& params, double& first, double& last,
                                      std::wstring& name) const
{
    const SubModel* c = distribution_at(n);
    return c && c->distribution()->distributed_param(c->param_slice(params), first, last, name);
}

unsigned SpectrumModel::component_index(unsigned n) const
{
    const SubModel* c = distribution_at(n);
    return c ? c->index : 0;
}

void SpectrumModel::marked_ranges(unsigned n, PointRangeList& out) const
{
    if (const SubModel* c = distribution_at(n))
        out = c->distribution()->marked_ranges();
}

bool SpectrumModel::distribution_point_param(unsigned n, unsigned i, unsigned& index) const
{
    const SubModel* c = distribution_at(n);
    if (!c)
        return false;
    std::vector<int> areas;
    c->append_area_params(areas);
    if (i >= areas.size())
        return false;
    index = static_cast<unsigned>(areas[i]);
    return true;
}

// ---- IModelWithEG ----

unsigned SpectrumModel::graph_count(unsigned i) const
{
    const IExtraGraph* g = i < components.size() ? capability<IExtraGraph>(*components[i]) : nullptr;
    return g ? g->graph_count() : 0;
}

void SpectrumModel::graph_with_errors(unsigned i, unsigned curve, const DVector& params, const DMatrix& covariance,
                                      std::vector<double>& x, std::vector<double>& y,
                                      std::vector<double>& y_errors) const
{
    if (i >= components.size())
        return;
    const SubModel& c = *components[i];
    if (const auto* g = capability<IExtraGraph>(c))
        g->graph_with_errors(curve, c.param_slice(params), c.covariance_block(covariance), x, y, y_errors);
}

void SpectrumModel::graph(unsigned i, unsigned curve, const DVector& params, std::vector<double>& x,
                          std::vector<double>& y) const
{
    if (i >= components.size())
        return;
    const SubModel& c = *components[i];
    if (const auto* g = capability<IExtraGraph>(c))
        g->graph(curve, c.param_slice(params), x, y);
}

void SpectrumModel::axis_names(unsigned i, unsigned curve, std::wstring& x_name, std::wstring& y_name) const
{
    if (i >= components.size())
        return;
    if (const auto* g = capability<IExtraGraph>(*components[i]))
        g->axis_names(curve, x_name, y_name);
}

// ---- Links and areas ----

std::wstring SpectrumModel::describe_link(const LinkSpec& spec) const
{
    if (spec.kind == LinkToParam) {
        const SubModel& target = *components.at(spec.target_component);
        if (spec.target_param >= target.count)
            throw std::out_of_range("Parameter index out of range");
        return (boost::wformat(L"[%u]", std::locale::classic()) % spec.target_component).str() +
               target.subspec->param_info(spec.target_param).name;
    }
    if (spec.kind == LinkToExpr) {
        const NamedExpr& e = expressions.at(spec.target_component);
        return e.name.empty() ? (boost::wformat(L"<E%u>", std::locale::classic()) % spec.target_component).str()
                              : e.name;
    }
    return {};
}

std::wstring SpectrumModel::link_source_text(const SubModel& component, unsigned j) const
{
    const ParamLink& link = component.links.at(j);
    if (link.kind == LinkToParam && link.target_component == component.index)
        return component.subspec->param_info(link.target_param).name;
    return describe_link({link.target_component, link.target_param, link.kind, component.index, j, link.factor});
}

double SpectrumModel::param_std_error(const SubModel& component, unsigned j, const DVector& values,
                                      const DMatrix& covariance) const
{
    const ParamLink& link = component.links.at(j);
    auto deviation = [&](std::size_t d) {
        if (d >= covariance.size1() || d >= covariance.size2())
            throw std::out_of_range("Covariance matrix smaller than the model");
        return std::sqrt(covariance(d, d));
    };
    if (link.kind == LinkToParam) {
        std::size_t target;
        if (!link_target_index(link, target))
            throw std::out_of_range("Link to a parameter that does not exist");
        return deviation(target) * std::fabs(link.factor);
    }
    if (link.kind == LinkToExpr) {
        const IExpr* e = link_expression(link);
        if (!e)
            return std::numeric_limits<double>::quiet_NaN();
        double error = 0.0;
        e->value_with_variance(values, covariance, error);
        return std::fabs(link.factor) * error;
    }
    return deviation(component.first + j);
}

void SpectrumModel::area_param_indices(std::vector<int>& out) const
{
    for (const auto& c : components)
        c->append_area_params(out);
}
