// Savitzky-Golay filtering of a whole sequence in time that does not grow with the
// window: the smoothing and the slope of the automatic analysis, whose windows widen
// with the point count.
#pragma once

#include <span>
#include <vector>

// out[k] = Σ_j weight(j)·y[clamp(k + j)], j = −half_width … half_width, with the weights
// of savitzky_golay_coefficients and the ends padded with the first and the last value,
// as fir_filter applies them; the same values to rounding. `out` gets one value per
// value of y and must not share its storage.
void savitzky_golay_filter(unsigned order, unsigned half_width, unsigned derivative, std::span<const double> y,
                           std::vector<double>& out);
