// Re-gridding a distribution: a new point count, or a new start or end value of a
// spread parameter, while the shape of the distribution stays. The weights and the point
// deviations are resampled linearly from the old grid onto the new one (resample_linear:
// weight 0 and deviation 1 where the new grid lies outside the old), then the weights
// are rescaled so that their sum equals what the old grid held over the range that is
// still covered.
#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "core/spectrum/resample.h"
#include "subspec/distribution.h"

namespace {

double sum(std::span<const double> v)
{
    return std::accumulate(v.begin(), v.end(), 0.0);
}

// Multiplies the weights so that they add up to `target`; nothing when they add up to 0
// or less.
void rescale(std::span<double> weights, double target)
{
    const double total = sum(weights);
    if (total > 0.0)
        for (double& w : weights)
            w *= target / total;
}

}  // namespace

void Distribution::resize(unsigned n, const ParamRange& p, std::vector<double>& out)
{
    if (n == point_count_)
        return;
    if (n < min_distribution_points || n > max_distribution_points)
        throw std::invalid_argument("The number of distribution points must lie between 2 and 10000");
    const std::span<const double> params = slice(p);
    const std::span<const double> weights = params.subspan(shown_count_);
    const double old_sum = sum(weights);

    std::vector<double> deviations(n);
    resample_linear(point_deviations_, 0.0, point_count_, deviations, 0.0, n, 1.0);
    out.assign(params.begin(), params.end());
    out.resize(shown_count_ + n);
    const std::span<double> new_weights = std::span(out).subspan(shown_count_);
    resample_linear(weights, 0.0, point_count_, new_weights, 0.0, n, 0.0);
    rescale(new_weights, old_sum);

    const unsigned old_count = point_count_;
    point_count_ = n;
    try {
        rebuild_point_params();
    } catch (...) {
        point_count_ = old_count;
        throw;
    }
    point_deviations_ = std::move(deviations);
    // Ranges past the new last point would break the rule that every mark lies on the grid.
    set_marked_ranges(PointRangeList(marked_ranges_));
}

void Distribution::set_end_value(unsigned j, double v, const ParamRange& p, std::vector<double>& out,
                                 std::vector<double>& deviations) const
{
    const std::span<const double> params = slice(p);
    if (j >= params.size())
        throw std::out_of_range("parameter index out of range");
    out.assign(params.begin(), params.end());
    out[j] = v;
    deviations = point_deviations_;

    const std::span<const double> weights = params.subspan(shown_count_);
    const auto [lowest, highest] = std::minmax_element(weights.begin(), weights.end());
    if (*lowest == *highest)
        return;
    const auto entry = std::find_if(varying_.begin(), varying_.end(),
                                    [j](const ParamPair& e) { return e.second == j || e.second + 1 == j; });
    if (entry == varying_.end())
        return;
    const double start = params[entry->second], end = params[entry->second + 1];
    if (start == end)
        return;

    const bool moves_start = entry->second == j;
    const double n = point_count_;
    // The old-grid position of the new start (0: the old start, N: the old end) or of
    // the new end.
    const double from = moves_start ? n - (end - v) * n / (end - start) : 0.0;
    const double to = moves_start ? n : (v - start) * n / (end - start);
    if (!(from < n && to > 0.0))
        throw std::runtime_error("The new value leaves no point of the distribution inside its range");

    for (const auto& [s, d] : varying_) {
        if (d == entry->second)
            continue;
        const double l = params[d], r = params[d + 1];
        if (moves_start)
            out[d] = r - (r - l) * (end - v) / (end - start);
        else
            out[d + 1] = l + (r - l) * (v - start) / (end - start);
    }

    const std::span<double> new_weights = std::span(out).subspan(shown_count_);
    std::fill(new_weights.begin(), new_weights.end(), 0.0);
    std::fill(deviations.begin(), deviations.end(), 1.0);
    resample_linear(weights, from, to, new_weights, 0.0, n, 0.0);
    resample_linear(point_deviations_, from, to, deviations, 0.0, n, 1.0);

    // The old weights on the part of the old grid that the new one still covers.
    if (moves_start && from > 0.0)
        rescale(new_weights, sum(weights.subspan(static_cast<std::size_t>(from))));
    else if (moves_start && from < 0.0)
        rescale(new_weights, sum(weights));
    else if (!moves_start && to < n)
        rescale(new_weights, sum(weights.first(static_cast<std::size_t>(to))));
    else if (!moves_start)
        rescale(new_weights, sum(weights));
}
