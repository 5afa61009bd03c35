// Spectra for fits of simulated data: counts at given velocities with the deviations
// of counting statistics, given exactly or drawn as Poisson deviates of expected counts.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_data.h"
#include "core/numerics/ublas_types.h"

namespace test_support {

// Deviations √max(count, 1): a channel without counts still weighs as one count.
inline SpectrumData spectrum_of(const DVector& x, const DVector& counts)
{
    SpectrumData s;
    s.x_data.assign(x.begin(), x.end());
    s.y_data.assign(counts.begin(), counts.end());
    for (double y : s.y_data)
        s.std_dev_data.push_back(std::sqrt(std::max(y, 1.0)));
    return s;
}

// Poisson counts of the expected values, drawn point by point from the process-wide
// engine (seed it for reproducible spectra).
inline SpectrumData poisson_spectrum(const DVector& x, const DVector& expected)
{
    DVector counts(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        counts(i) = poisson_sample(expected(i));
    return spectrum_of(x, counts);
}

}  // namespace test_support
