// Centred FIR filter: out[k] = Σ_j kernel[j]·y[clamp(k − h + j)], h = (L − 1) div 2,
// indices clamped to the sequence, so the ends are padded with the first and the last
// value. The kernel is applied as a correlation: an antisymmetric derivative kernel
// gives the derivative with its proper sign. The input is read once, front to back,
// through a ring buffer of L values, so any single-pass sequence can be filtered and a
// vector can be filtered in place (every value is read before its slot is written).
#pragma once

#include <cstddef>
#include <iterator>
#include <ranges>
#include <span>
#include <stdexcept>
#include <vector>

#include <boost/iterator/function_output_iterator.hpp>

// The last L values of a sequence, each stored twice so that the window is one
// contiguous run whatever the ring position.
class FirWindow {
public:
    explicit FirWindow(std::span<const double> kernel);
    void push(double value);
    // Σ kernel[j]·window[j], window[0] the oldest value.
    double apply() const;

private:
    std::span<const double> kernel_;
    std::vector<double> ring_;
    std::size_t oldest_ = 0;
};

// Writes exactly one value per input value; an empty kernel writes zeros. Returns the
// output position after the last value written.
template <std::input_iterator In, class Out>
Out fir_filter(std::span<const double> kernel, In first, In last, Out out)
{
    if (first == last)
        return out;
    if (kernel.empty()) {
        for (; first != last; ++first)
            *out++ = 0.0;
        return out;
    }
    const std::size_t h = (kernel.size() - 1) / 2;
    FirWindow window(kernel);
    double value = *first;
    ++first;
    std::size_t read = 1;
    std::size_t written = 0;
    for (std::size_t i = 0; i <= h; ++i)
        window.push(value);
    for (std::size_t i = h + 1; i < kernel.size(); ++i) {
        if (first != last) {
            value = *first;
            ++first;
            ++read;
        }
        window.push(value);
    }
    for (;;) {
        *out++ = window.apply();
        ++written;
        if (first != last) {
            value = *first;
            ++first;
            ++read;
        } else if (written == read) {
            return out;
        }
        window.push(value);
    }
}

// Resizes `out` to the length of `in` and filters; `out` may be `in` itself.
void fir_filter_vector(std::span<const double> kernel, const std::vector<double>& in,
                       std::vector<double>& out);

// The standard deviations of fir_filter's output for independent inputs of deviations
// `sigma`: out[k]² = Σᵢ wᵢ²·sigma[i]², wᵢ the sum of the weights that the clamped window
// of k puts on input i (the padded ends weigh their first or last value repeatedly).
// Resizes `out` to the length of `sigma`; `out` must not be `sigma`.
void fir_filter_deviations(std::span<const double> kernel, const std::vector<double>& sigma,
                           std::vector<double>& out);

// Filters the y coordinates of single-precision points (any type with float members
// x and y) in double precision and stores each result into both coordinates of the
// output point; the caller puts the x coordinates back. `out` may alias `in`.
template <class Point>
void fir_filter_points(std::span<const double> kernel, std::span<const Point> in,
                       std::span<Point> out)
{
    if (out.size() < in.size())
        throw std::out_of_range("fir_filter_points: output shorter than input");
    auto ys = in | std::views::transform([](const Point& p) { return double(p.y); });
    std::size_t k = 0;
    fir_filter(kernel, ys.begin(), ys.end(), boost::make_function_output_iterator([&](double v) {
                   const float f = static_cast<float>(v);
                   out[k].x = f;
                   out[k].y = f;
                   ++k;
               }));
}
