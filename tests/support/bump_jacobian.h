// The Jacobian of a smoothed distribution: each of the m columns a Gaussian bump over the
// channels, neighbours overlapping, so that the spectrum of JᵀJ falls over many decades;
// then one row per weight with its second difference times `smoothing`. For any matrix
// type with (row, column) access, given as (channels + m) × m zeros.
#pragma once

#include <cmath>
#include <cstddef>

namespace test_support {

template <class Matrix>
void fill_bump_jacobian(Matrix& j, std::size_t channels, std::size_t m, double width, double smoothing)
{
    for (std::size_t r = 0; r < channels; ++r)
        for (std::size_t c = 0; c < m; ++c) {
            const double t = (double(r) / double(channels - 1) - double(c) / double(m - 1)) / width;
            j(r, c) = std::exp(-0.5 * t * t);
        }
    for (std::size_t c = 0; c < m; ++c) {
        j(channels + c, c) = -2 * smoothing;
        if (c > 0)
            j(channels + c, c - 1) = smoothing;
        if (c + 1 < m)
            j(channels + c, c + 1) = smoothing;
    }
}

}  // namespace test_support
