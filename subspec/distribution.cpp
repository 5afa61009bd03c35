// The distribution component's layout and evaluation. The value is the sum over the N
// points of the inner model evaluated at that point's parameters; the derivatives follow
// by the chain rule from the inner model's Jacobian at each point: a fixed parameter
// collects the inner derivative of every point, a start value (1 − tᵢ) times it and an
// end value tᵢ times it, and weight i is the inner area derivative at point i alone.
#include "subspec/distribution.h"

#include <algorithm>
#include <stdexcept>

#include "subspec/eval_ranges.h"

namespace {

using boost::numeric::ublas::range;

ParamRange whole(const DVector& v)
{
    return ParamRange(v, range(0, v.size()));
}

}  // namespace

Distribution::Distribution(SubSpecPtr inner) : inner_(std::move(inner))
{
    if (!inner_)
        throw std::runtime_error("Unsupported model for distribution");
    inner_param_count_ = inner_->param_count();
    const auto* area = dynamic_cast<const IAAParam*>(inner_.get());
    std::vector<unsigned> areas;
    if (area)
        area->area_params(areas);
    if (!area || areas.size() != 1 || inner_->shown_param_count() != inner_param_count_)
        throw std::runtime_error("Unsupported model for distribution");
    area_index_ = areas.front();
}

void Distribution::setup(unsigned n, const std::vector<unsigned>& varying)
{
    if (n < min_distribution_points || n > max_distribution_points)
        throw std::invalid_argument("The number of distribution points must lie between 2 and 10000");
    if (varying.empty())
        throw std::invalid_argument("A distribution needs a parameter to spread");
    for (unsigned s : varying)
        if (s >= inner_param_count_ || s == area_index_)
            throw std::invalid_argument("A distribution can spread only the inner model's own parameters");

    varying_.clear();
    fixed_.clear();
    descriptors_.clear();
    point_count_ = n;
    varying_inner_ = varying;
    point_deviations_.assign(n, 1.0);
    for (unsigned s = 0; s < inner_param_count_; ++s) {
        if (s == area_index_)
            continue;
        const ParamInfo& info = inner_->param_info(s);
        const auto index = static_cast<unsigned>(descriptors_.size());
        if (std::find(varying.begin(), varying.end(), s) != varying.end()) {
            varying_.emplace_back(s, index);
            descriptors_.push_back(info);
            descriptors_.back().name += L"L";
            descriptors_.push_back(info);
            descriptors_.back().name += L"R";
        } else {
            fixed_.emplace_back(s, index);
            descriptors_.push_back(info);
        }
    }
    shown_count_ = static_cast<unsigned>(descriptors_.size());
    rebuild_point_params();
    // The abscissa and the marks stay, as far as the new layout still has them.
    if (axis_param_ >= static_cast<int>(varying_.size()))
        axis_param_ = -1;
    set_marked_ranges(PointRangeList(marked_ranges_));
}

void Distribution::rebuild_point_params()
{
    // Built aside and swapped in: a failure on the way (memory) leaves the descriptors as
    // they were; the names are made without a stream, which would swallow that failure.
    std::vector<ParamInfo> descriptors(descriptors_.begin(), descriptors_.begin() + shown_count_);
    descriptors.reserve(shown_count_ + point_count_);
    for (unsigned i = 0; i < point_count_; ++i)
        descriptors.push_back({L"I" + std::to_wstring(i), L"%.3f", KindNone, 0.0, unbounded, true});
    descriptors_.swap(descriptors);
}

void Distribution::set_range(std::span<double> slice, unsigned inner_index, double start, double end) const
{
    if (slice.size() != param_count())
        throw std::out_of_range("parameter range does not match the parameter count");
    const auto entry = std::find_if(varying_.begin(), varying_.end(),
                                    [inner_index](const ParamPair& v) { return v.first == inner_index; });
    if (entry == varying_.end())
        throw std::invalid_argument("The parameter is not spread by the distribution");
    slice[entry->second] = start;
    slice[entry->second + 1] = end;
}

double Distribution::grid_position(unsigned i) const
{
    return double(i) / double(point_count_ - 1);
}

std::span<const double> Distribution::slice(const ParamRange& p) const
{
    return range_params(p, param_count());
}

void Distribution::fill_fixed(std::span<const double> p, DVector& inner) const
{
    for (const auto& [s, d] : fixed_)
        inner(s) = p[d];
}

void Distribution::place_point(std::span<const double> p, double t, double area, DVector& inner) const
{
    for (const auto& [s, d] : varying_)
        inner(s) = p[d] + (p[d + 1] - p[d]) * t;
    inner(area_index_) = area;
}

void Distribution::evaluate(const XPoints& x, const ParamRange& p, double* values) const
{
    const std::span<const double> params = slice(p);
    const std::size_t n = range_points(x).size();
    std::fill_n(values, n, 0.0);
    if (n == 0)
        return;
    DVector inner(inner_param_count_);
    std::vector<double> scratch(n);
    fill_fixed(params, inner);
    for (unsigned i = 0; i < point_count_; ++i) {
        place_point(params, grid_position(i), params[shown_count_ + i], inner);
        inner_->evaluate(x, whole(inner), scratch.data());
        for (std::size_t k = 0; k < n; ++k)
            values[k] += scratch[k];
    }
}

void Distribution::evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values,
                                          JacobianRange jacobian) const
{
    const std::span<const double> params = slice(p);
    const std::size_t n = range_points(x).size();
    check_jacobian_block(jacobian, n, param_count());
    std::fill_n(values, n, 0.0);
    if (n == 0)
        return;
    DMatrix& m = jacobian.data().expression();
    const std::size_t stride = m.size2();
    double* const block = std::to_address(m.data().begin()) + jacobian.start1() * stride + jacobian.start2();
    for (std::size_t row = 0; row < n; ++row)
        std::fill_n(block + row * stride, param_count(), 0.0);

    DVector inner(inner_param_count_);
    std::vector<double> scratch(n);
    DMatrix inner_jacobian(n, inner_param_count_);
    const JacobianRange inner_block(inner_jacobian, range(0, n), range(0, inner_param_count_));
    fill_fixed(params, inner);
    for (unsigned i = 0; i < point_count_; ++i) {
        const double t = grid_position(i);
        place_point(params, t, params[shown_count_ + i], inner);
        inner_->evaluate_with_jacobian(x, whole(inner), scratch.data(), inner_block);
        for (std::size_t row = 0; row < n; ++row) {
            values[row] += scratch[row];
            const double* d = &inner_jacobian(row, 0);
            double* out = block + row * stride;
            for (const auto& [s, k] : fixed_)
                out[k] += d[s];
            for (const auto& [s, k] : varying_) {
                out[k] += d[s] * (1.0 - t);
                out[k + 1] += d[s] * t;
            }
            out[shown_count_ + i] = d[area_index_];
        }
    }
}

void Distribution::init_params(const SpectrumAnalysis& analysis, DVector& params, unsigned first,
                               unsigned count) const
{
    const std::span<double> out = init_slice(params, first, count, param_count());
    DVector inner(inner_param_count_);
    inner_->init_params(analysis, inner, 0, inner_param_count_);
    for (const auto& [s, d] : fixed_)
        out[d] = inner(s);
    for (const auto& [s, d] : varying_)
        out[d] = out[d + 1] = inner(s);
    std::fill(out.begin() + shown_count_, out.end(), 1.0 / point_count_);
}

const ParamInfo& Distribution::param_info(unsigned i) const
{
    if (i >= descriptors_.size())
        throw std::runtime_error("parameter index out of range");
    return descriptors_[i];
}

std::wstring Distribution::display_name() const
{
    return L"[D] " + inner_->display_name();
}

void Distribution::param_layout(std::vector<unsigned>& out) const
{
    std::vector<unsigned> inner_order;
    inner_->param_layout(inner_order);
    out.clear();
    for (unsigned e : inner_order) {
        if (e == param_group_marker) {
            if (!out.empty())
                out.push_back(param_group_marker);
            continue;
        }
        const auto same = [e](const ParamPair& v) { return v.first == e; };
        if (const auto v = std::find_if(varying_.begin(), varying_.end(), same); v != varying_.end())
            out.insert(out.end(), {param_group_marker, v->second, v->second + 1, param_group_marker});
        else if (const auto f = std::find_if(fixed_.begin(), fixed_.end(), same); f != fixed_.end())
            out.push_back(f->second);
    }
}

SubSpecPtr Distribution::clone() const
{
    SubSpecPtr inner = inner_->clone();
    // A clone of the inner model is a default object; the data it works from (a
    // measured reference spectrum, a grid size) must come along.
    if (const auto* data = dynamic_cast<const ISubSpecData*>(inner_.get()))
        if (!dynamic_cast<ISubSpecData&>(*inner).load_extra(data->save_extra()))
            throw std::runtime_error("The inner model's data could not be copied");
    auto* copy = new Distribution(std::move(inner));
    SubSpecPtr result(copy);
    if (point_count_ > 0) {
        copy->setup(point_count_, varying_inner_);
        copy->point_deviations_ = point_deviations_;
    }
    return result;
}

void Distribution::area_params(std::vector<unsigned>& out) const
{
    for (unsigned i = 0; i < point_count_; ++i)
        out.push_back(shown_count_ + i);
}

SubSpecPtr make_distribution(SubSpecPtr inner, unsigned n, const std::vector<unsigned>& varying)
{
    auto* d = new Distribution(std::move(inner));
    SubSpecPtr result(d);
    d->setup(n, varying);
    return result;
}
