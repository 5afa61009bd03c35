// Deconvolution of the source line: a model whose main component is a distribution of
// Lorentz singlets (line n of width Γₙ) describes the measured spectrum; the same
// absorber seen with a source line narrower by Γₛ has lines of width Γₙ' = Γₙ − Γₛ. With the source's
// resonant fraction fₛ·χ the transmitted share at x is F = 1 − E(x)/(fₛ·χ), E the
// absorption of the narrowed lines in units of the baseline level; −ln F is the
// absorber's thickness there, scaled so that its largest value is the measured depth
// below N0, and drawn as Poisson counts.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/model/spectrum_model.h"
#include "core/spectrum/poisson.h"

int SpectrumModel::deconvolve_spectrum_values(const DVector& values, double fs_chi, double source_width, double depth,
                                              const std::vector<double>& x, double& largest_e, double& width,
                                              std::vector<double>& out) const
{
    if (components.size() < 2 || !starts_with_baseline())
        return -1;
    std::vector<double> amplitudes, positions, widths;
    bool found = false;
    for (const auto& c : components) {
        const auto* lines = dynamic_cast<const ILorenzLines*>(c->subspec.get());
        if (!lines)
            continue;
        amplitudes.clear();
        positions.clear();
        widths.clear();
        lines->lorentz_lines(c->param_slice(values), amplitudes, positions, widths);
        if (!amplitudes.empty()) {
            found = true;
            break;
        }
    }
    if (!found)
        return -1;
    // The narrowest line decides whether the source line can be taken out of all.
    width = *std::min_element(widths.begin(), widths.end());
    if (source_width >= width)
        return -2;
    const double n0 = baseline_level(values);
    if (!(n0 > 0.0))
        return -1;
    const double k = std::fabs(scale) / n0;

    out.resize(x.size(), 0.0);
    largest_e = 0.0;
    bool failed = false;
    double v_max = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        double sum = 0.0;
        for (std::size_t n = 0; n < amplitudes.size(); ++n) {
            const double narrowed = widths[n] - source_width;
            const double u = (x[i] - positions[n]) * 2.0 / narrowed;
            sum += amplitudes[n] * (widths[n] / narrowed) * (2.0 / narrowed) / (std::numbers::pi * (1.0 + u * u));
        }
        const double e = sum * k;
        const double f = 1.0 - e / fs_chi;
        if (!(f > 0.0)) {
            largest_e = failed ? std::max(largest_e, e) : e;
            failed = true;
            continue;
        }
        out[i] = -std::log(f);
        v_max = std::max(v_max, out[i]);
    }
    if (failed)
        return -3;
    // No absorption anywhere leaves the baseline: every mean is N0 (a 0/0 otherwise).
    const double per_unit = v_max > 0.0 ? depth / v_max : 0.0;
    for (double& v : out)
        v = poisson_sample(n0 - v * per_unit);
    return 0;
}
