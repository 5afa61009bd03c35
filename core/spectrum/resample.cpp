// Linear resampling of a vector onto another grid (see resample.h).
#include "core/spectrum/resample.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

void resample_linear(std::span<const double> src, double s0, double s1, std::span<double> dst,
                     double d0, double d1, double fill)
{
    const double from = std::max(0.0, std::floor(d0));
    const double to = std::min(std::ceil(d1), double(dst.size()));
    if (!(from < to))  // also a NaN bound
        return;
    const double n = double(src.size());
    for (std::size_t i = std::size_t(from), end = std::size_t(to); i < end; ++i) {
        const double o = (double(i) - d0) * (s1 - s0) / (d1 - d0) + s0;
        if (!(o >= 0.0 && o < n)) {
            dst[i] = fill;
        } else if (o >= n - 1.0) {
            dst[i] = src.back();
        } else {
            const double base = std::floor(o);
            const std::size_t k = std::size_t(base);
            dst[i] = src[k] + (src[k + 1] - src[k]) * (o - base);
        }
    }
}

void resample_linear_range(const std::vector<double>& src, std::size_t src_first,
                           std::size_t src_count, double s0, double s1, std::vector<double>& dst,
                           std::size_t dst_first, std::size_t dst_count, double d0, double d1,
                           double fill)
{
    if (src_first > src.size() || src_count > src.size() - src_first || dst_first > dst.size() ||
        dst_count > dst.size() - dst_first)
        throw std::out_of_range("resample_linear_range: range beyond its vector");
    resample_linear(std::span(src).subspan(src_first, src_count), s0, s1,
                    std::span(dst).subspan(dst_first, dst_count), d0, d1, fill);
}
