// Ring buffer of the centred FIR filter and the deviations of its output (see fir_filter.h).
#include "core/spectrum/fir_filter.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/running_dot.h"

FirWindow::FirWindow(std::span<const double> kernel)
    : kernel_(kernel), ring_(2 * kernel.size(), 0.0)
{
}

void FirWindow::push(double value)
{
    ring_[oldest_] = value;
    ring_[oldest_ + kernel_.size()] = value;
    if (++oldest_ == kernel_.size())
        oldest_ = 0;
}

double FirWindow::apply() const
{
    return running_dot(kernel_.data(), ring_.data() + oldest_, kernel_.size());
}

void fir_filter_vector(std::span<const double> kernel, const std::vector<double>& in,
                       std::vector<double>& out)
{
    out.resize(in.size());
    fir_filter(kernel, in.begin(), in.end(), out.begin());
}

void fir_filter_deviations(std::span<const double> kernel, const std::vector<double>& sigma,
                           std::vector<double>& out)
{
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(sigma.size());
    const std::ptrdiff_t h = kernel.empty() ? 0 : static_cast<std::ptrdiff_t>((kernel.size() - 1) / 2);
    out.assign(sigma.size(), 0.0);
    for (std::ptrdiff_t k = 0; k < n; ++k) {
        // Clamped indices rise with j, so the weights on one input are neighbours.
        double variance = 0.0;
        double weight = 0.0;
        std::ptrdiff_t input = -1;
        for (std::size_t j = 0; j < kernel.size(); ++j) {
            const std::ptrdiff_t i = std::clamp<std::ptrdiff_t>(k - h + static_cast<std::ptrdiff_t>(j), 0, n - 1);
            if (i != input && input >= 0) {
                variance += weight * weight * sigma[input] * sigma[input];
                weight = 0.0;
            }
            input = i;
            weight += kernel[j];
        }
        if (input >= 0)
            variance += weight * weight * sigma[input] * sigma[input];
        out[k] = std::sqrt(variance);
    }
}
