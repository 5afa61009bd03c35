// A Savitzky-Golay weight is a polynomial of the order p in use in the offset j,
// weight(j) = Σ_q c_q·j^q, so a filtered value is Σ_q (c_q·m^q)·M_q(k) over the window
// moments M_q(k) = Σ_{j=−m..m} (j/m)^q·y[k+j] (scaled by the half width m, so that no
// moment outgrows the counts by more than the window length). Moving the window by one
// point turns each moment into a binomial combination of the moments up to its order,
// less the value that leaves and plus the value that enters:
//   M_q(k+1) = Σ_{r≤q} C(q,r)·(−1/m)^(q−r)·M_r(k) − (−(m+1)/m)^q·y[k−m] + y[k+m+1],
// which costs O(p²) per point whatever the width. Carried moments gather rounding, and an
// error in a low moment grows in the higher ones like a power of the distance travelled,
// so every m/4 points the moments are summed afresh; that adds a few operations per
// point and keeps the values those of the direct filter to rounding. Narrow windows,
// where the direct filter is as cheap, are filtered directly.
#include "core/spectrum/savitzky_golay_filter.h"

#include <algorithm>
#include <cstddef>

#include "core/spectrum/fir_filter.h"
#include "core/spectrum/savitzky_golay.h"

namespace {

// Below this half width the direct filter costs no more than carrying the moments.
constexpr unsigned direct_half_width_limit = 64;

double padded(std::span<const double> y, std::ptrdiff_t i)
{
    return y[std::size_t(std::clamp<std::ptrdiff_t>(i, 0, std::ptrdiff_t(y.size()) - 1))];
}

}  // namespace

void savitzky_golay_filter(unsigned order, unsigned half_width, unsigned derivative, std::span<const double> y,
                           std::vector<double>& out)
{
    out.resize(y.size());
    if (y.empty())
        return;
    if (half_width < direct_half_width_limit) {
        std::vector<double> kernel;
        savitzky_golay_coefficients(order, half_width, derivative, kernel);
        fir_filter(kernel, y.begin(), y.end(), out.begin());
        return;
    }
    const std::vector<double> c = savitzky_golay_polynomial(order, half_width, derivative);
    if (c.empty()) {
        std::fill(out.begin(), out.end(), 0.0);
        return;
    }

    const std::size_t terms = c.size();
    const double m = half_width;
    const auto h = std::ptrdiff_t(half_width);
    std::vector<double> scaled(terms), leaving(terms), shift(terms * terms, 0.0);
    double m_power = 1.0, leaving_power = 1.0;
    for (std::size_t q = 0; q < terms; ++q) {
        scaled[q] = c[q] * m_power;
        leaving[q] = leaving_power;
        m_power *= m;
        leaving_power *= -(m + 1.0) / m;
        // Row q of the shift: C(q,r)·(−1/m)^(q−r), from r = q down to 0.
        double factor = 1.0;
        for (std::size_t r = q + 1; r-- > 0;) {
            shift[q * terms + r] = factor;
            factor *= -double(r) / (double(q - r + 1) * m);
        }
    }

    std::vector<double> moments(terms), next(terms);
    const std::size_t refresh = std::max<std::size_t>(1, half_width / 4);
    const auto n = std::ptrdiff_t(y.size());
    for (std::ptrdiff_t k = 0; k < n; ++k) {
        if (std::size_t(k) % refresh == 0) {
            std::fill(moments.begin(), moments.end(), 0.0);
            for (std::ptrdiff_t j = -h; j <= h; ++j) {
                const double t = double(j) / m;
                const double v = padded(y, k + j);
                double power = v;
                for (std::size_t q = 0; q < terms; ++q, power *= t)
                    moments[q] += power;
            }
        }
        double sum = 0.0;
        for (std::size_t q = 0; q < terms; ++q)
            sum += scaled[q] * moments[q];
        out[std::size_t(k)] = sum;

        const double old = padded(y, k - h);
        const double entering = padded(y, k + h + 1);
        for (std::size_t q = 0; q < terms; ++q) {
            double v = 0.0;
            for (std::size_t r = 0; r <= q; ++r)
                v += shift[q * terms + r] * moments[r];
            next[q] = v - leaving[q] * old + entering;
        }
        moments.swap(next);
    }
}
