// Bounds of the varied parameters: classification, clamping of the start values and the
// pass that shortens or pins a step at the bounds.
#include "core/fit/fit_bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double pin_distance = 1e-5;  // closer than this to the bound: pinned
constexpr double min_step_scale = 1e-5;
constexpr double tiny_step = 1e-20;
constexpr double step_fraction = 0.99;

bool is_outside(const ParamBound& b, double w)
{
    switch (b.kind) {
    case BoundBoth: return std::fabs((w - b.centre) * b.scale) > 1.0;
    case BoundLower: return w < b.centre;
    case BoundUpper: return w > b.centre;
    default: return false;
    }
}

double distance_to_bound(const ParamBound& b, double v)
{
    return b.kind == BoundBoth ? std::fabs(std::fabs((v - b.centre) * b.scale) - 1.0) : std::fabs(v - b.centre);
}

// The fraction of the step s from v that reaches the bound, cut to 0.99 of it when the
// bound lies within the step.
double fraction_to_bound(const ParamBound& b, double v, double s)
{
    if (std::fabs(s) < tiny_step)
        return 1.0;
    double q = 1.0;
    switch (b.kind) {
    case BoundBoth:
        q = s < 0.0 ? (v - (b.centre - b.half_width)) / s : ((b.centre + b.half_width) - v) / s;
        break;
    case BoundLower: q = (v - b.centre) / s; break;
    case BoundUpper: q = (b.centre - v) / s; break;
    default: break;
    }
    q = std::fabs(q);
    return q < 1.0 ? step_fraction * q : q;
}

}  // namespace

void make_param_bounds(std::size_t n, const std::vector<unsigned>& varied, const DVector& lower,
                       const DVector& upper, std::vector<ParamBound>& out)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const bool use_bounds = lower.size() == n && upper.size() == n;
    out.assign(varied.size(), ParamBound{});
    for (std::size_t j = 0; j < varied.size(); ++j) {
        const double l = use_bounds ? lower(varied[j]) : -inf;
        const double u = use_bounds ? upper(varied[j]) : inf;
        ParamBound& b = out[j];
        if (!(u > l))
            continue;
        if (std::isfinite(l) && std::isfinite(u)) {
            b.kind = BoundBoth;
            b.centre = (l + u) / 2;
            b.scale = 2 / (u - l);
            b.half_width = (u - l) / 2;
        } else if (std::isfinite(l) && u == inf) {
            b.kind = BoundLower;
            b.centre = l;
        } else if (l == -inf && std::isfinite(u)) {
            b.kind = BoundUpper;
            b.centre = u;
        }
    }
}

void clamp_to_bounds(const std::vector<ParamBound>& bounds, DVector& v)
{
    for (std::size_t j = 0; j < bounds.size(); ++j) {
        const ParamBound& b = bounds[j];
        switch (b.kind) {
        case BoundBoth: {
            const double t = (v(j) - b.centre) * b.scale;
            if (t < -1.0)
                v(j) = b.centre - b.half_width;
            else if (t > 1.0)
                v(j) = b.centre + b.half_width;
            break;
        }
        case BoundLower: v(j) = std::max(b.centre, v(j)); break;
        case BoundUpper: v(j) = std::min(b.centre, v(j)); break;
        default: break;
        }
    }
}

double limit_step(const std::vector<ParamBound>& bounds, const DVector& v, DVector& h,
                  const std::vector<unsigned>& previous_pins, std::vector<unsigned>& new_pins)
{
    double alpha = 1.0;
    for (unsigned j = 0; j < bounds.size(); ++j) {
        const ParamBound& b = bounds[j];
        const double s = h(j) * alpha;
        if (!is_outside(b, v(j) + s))
            continue;
        if (std::binary_search(previous_pins.begin(), previous_pins.end(), j)) {
            h(j) = 0.0;
            continue;
        }
        if (distance_to_bound(b, v(j)) < pin_distance) {
            new_pins.push_back(j);
            continue;
        }
        const double a = fraction_to_bound(b, v(j), s) * alpha;
        if (a < min_step_scale)
            new_pins.push_back(j);
        else
            alpha = a;
    }
    return alpha;
}
