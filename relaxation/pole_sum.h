// Weighted lines that are sums of complex Lorentzians, on doubles or dual numbers:
//     Σⱼ Wⱼ·Re Σₖ [cₖ·rₖ + bₖ·rₖ²],  rₖ = 1/(λₖ − i·v)  (k over line j's poles),
// with the centres λₖ on doubles and bₖ carrying derivatives only (its value is zero: a
// pole's shift enters to first order, see chain_poles.h). Summed by blocks of points:
// first every pole's reciprocals at the block, by the squared modulus of the distance
// scaled by a power of two fixed per pole (no branch, so that the points go in parallel,
// and no overflow however far the pole), then the value, and each derivative as the
// chain rule through the coefficients (DualChainRule, which skips the products whose
// derivative is zero). The weights stay apart from the coefficients, so that a
// parameter that only weights lines (an area, an intensity ratio) costs one product per
// line and point.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <span>
#include <type_traits>

#include "core/numerics/dual.h"

template <class R, std::size_t Poles, std::size_t Lines>
class PoleSum {
    static constexpr bool dual = !std::is_same_v<R, double>;
    static constexpr std::size_t rows = 4 * Poles + Lines;  // per pole Re r, Im r, Re r², Im r²; per line its sum
    static constexpr std::size_t points = 16;

public:
    // Starts a line; the poles added after it belong to it.
    void add_line(const R& weight)
    {
        first_[lines_] = poles_;
        weight_[lines_] = dual_value(weight);
        if constexpr (dual) {
            line_row_[lines_] = rule_row_++;
            rule_.push_intermediate(weight);
        }
        ++lines_;
        first_[lines_] = poles_;
    }

    void add_pole(const std::complex<double>& centre, const std::complex<R>& c, const std::complex<R>& b)
    {
        int exponent = 0;
        std::frexp(centre.real(), &exponent);
        const double scale = std::ldexp(1.0, -exponent);
        real_[poles_] = centre.real() * scale;
        imag_[poles_] = centre.imag() * scale;
        scale_[poles_] = scale;
        value_[2 * poles_] = dual_value(c.real());
        value_[2 * poles_ + 1] = -dual_value(c.imag());
        if constexpr (dual) {
            const double w = weight_[lines_ - 1];
            pole_row_[poles_] = rule_row_;
            rule_row_ += 4;
            rule_.push_intermediate(c.real() * w);
            rule_.push_intermediate(c.imag() * -w);
            rule_.push_intermediate(b.real() * w);
            rule_.push_intermediate(b.imag() * -w);
        }
        first_[lines_] = ++poles_;
    }

    bool empty() const { return lines_ == 0; }

    // Writes the sum at every point of x to out.
    void operator()(std::span<const double> x, R* out) const
    {
        for (std::size_t first = 0; first < x.size(); first += points) {
            const std::size_t count = std::min(points, x.size() - first);
            double v[points], value[points] = {};
            for (std::size_t p = 0; p < points; ++p)
                v[p] = x[first + std::min(p, count - 1)];
            [[maybe_unused]] double partial[dual ? rows : 1][points];
            for (std::size_t j = 0; j < lines_; ++j) {
                double line[points] = {};
                for (std::size_t k = first_[j]; k < first_[j + 1]; ++k) {
                    const double a = real_[k], b = imag_[k], s = scale_[k], c0 = value_[2 * k], c1 = value_[2 * k + 1];
                    double re[points], im[points];
                    for (std::size_t p = 0; p < points; ++p) {
                        const double d = b - v[p] * s;
                        const double w = s / (a * a + d * d);
                        re[p] = a * w;
                        im[p] = -d * w;
                        line[p] += c0 * re[p] + c1 * im[p];
                    }
                    if constexpr (dual) {
                        double* row = partial[pole_row_[k]];
                        for (std::size_t p = 0; p < points; ++p) {
                            row[p] = re[p];
                            row[points + p] = im[p];
                            row[2 * points + p] = re[p] * re[p] - im[p] * im[p];
                            row[3 * points + p] = 2.0 * re[p] * im[p];
                        }
                    }
                }
                for (std::size_t p = 0; p < points; ++p)
                    value[p] += weight_[j] * line[p];
                if constexpr (dual)
                    std::copy_n(line, points, partial[line_row_[j]]);
            }
            for (std::size_t p = 0; p < count; ++p)
                reinterpret_cast<double*>(out + first + p)[0] = value[p];
            if constexpr (dual)
                rule_.apply(partial, count, out + first);
        }
    }

private:
    std::size_t poles_ = 0, lines_ = 0;
    std::array<std::size_t, Lines + 1> first_{};                // line j's poles: first_[j] … first_[j + 1] − 1
    std::array<double, Poles> real_, imag_, scale_;              // the centre times the scale, a power of two
    std::array<double, 2 * Poles> value_;                        // Re c and −Im c
    std::array<double, Lines> weight_;
    struct NoRule {};
    std::size_t rule_row_ = 0;
    std::array<std::size_t, dual ? Poles : 1> pole_row_;
    std::array<std::size_t, dual ? Lines : 1> line_row_;
    std::conditional_t<dual, DualChainRule<rows, (sizeof(R) / sizeof(double) - 1)>, NoRule> rule_;
};
