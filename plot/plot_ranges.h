// The ranges the painter fits into its pane: an interval that takes in only finite
// values (a failed fit or a broken component leaves NaN or ±inf, which must not decide
// the axes), the difference band, and the gap-filling sample positions of the envelope.
#pragma once

#include <cmath>
#include <limits>
#include <span>
#include <vector>

struct ValueRange {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();

    void take(double v)
    {
        if (!std::isfinite(v))
            return;
        if (v < low)
            low = v;
        if (v > high)
            high = v;
    }
    bool empty() const { return !(low <= high); }
};

// The spectrum's vertical range: 0 … 1 for no values; a single value v becomes
// v − 0.005·v … 1.005·v (0 … 1.005 for v = 0).
ValueRange spectrum_y_range(ValueRange r);

// The difference band u, l around the differences d with the largest deviation sigma
// (both finite values only): max(4σ, max d) above, min(−4σ, min d) below, widened by
// 5 % of its height on each side.
struct Band {
    double upper = 0.0;
    double lower = 0.0;
};
Band difference_band(std::span<const double> differences, double sigma_max);

// Positions to add to the sorted x values of the data so that no gap between xmin,
// the values and xmax is wider than `gap`: the inner points of each wider gap, xmin
// before the first value and xmax after the last when they lie outside (both when there
// are no values).
void envelope_gap_positions(std::span<const double> sorted_x, double xmin, double xmax, double gap,
                            std::vector<double>& out);
