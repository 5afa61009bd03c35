// The line shapes of the single-line, doublet and sextet models, and the sum of several
// lines. A shape is prepared once per evaluation from a line's area A, position p and
// width(s) (everything that does not depend on the velocity) and then evaluated at each
// velocity v; every shape has area A on the velocity axis. Generic over the number type
// (double, or Dual<N> for values with derivatives):
//   Lorentz:      A·(2/Γ) / (π·(1 + x²)),          x = 2·(v − p)/Γ, Γ the full width
//   pseudo-Voigt: A·(2/Γ)·pseudo_voigt(x, α),      α the Gauss fraction
//   Voigt:        A·(c/ΓG)·Re w(k·(v − p) + i·y),  k = 2·√(ln 2)/ΓG, y = k·ΓL/2,
//                 c = 2·√(ln 2/π), w the Faddeeva function: a Lorentz line of full width
//                 ΓL convolved with a Gauss line of full width ΓG.
//
// On Dual<N> a line depends on the parameters only through its M inputs (area, position,
// widths), and with N > M it is evaluated by preaccumulation: the shape is prepared once
// on Dual<M>, input m seeded as derivative m, so at each point the formula yields the
// value and the M partials ∂f/∂uₘ on M + 1 lanes instead of N + 1, and the chain rule
// Σₘ ∂f/∂uₘ·∂uₘ/∂p lifts them to the N parameter derivatives, with a product only where
// ∂uₘ/∂p is not 0 (an input depends on few parameters). The values are the bits that
// the formula gives on Dual<N> (the value part of dual arithmetic never reads the
// derivatives); the derivatives agree with it to rounding.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "core/numerics/dual.h"
#include "lineshapes/faddeeva.h"
#include "lineshapes/pseudo_voigt.h"
#include "subspec/line_set.h"

template <class R>
class LorentzShape {
public:
    LorentzShape(const R& area, const R& position, const R& width)
        : position_(position), k_(2.0 / width), height_(area * k_ * (1.0 / pseudo_voigt_pi))
    {
    }

    R operator()(double v) const
    {
        const R x = (v - position_) * k_;
        return height_ / (x * x + 1.0);
    }

private:
    R position_, k_, height_;
};

// x = v·k − p·k: on Dual<N> one scaling and one subtraction per point.
template <class R>
class PseudoVoigtShape {
public:
    PseudoVoigtShape(const R& area, const R& position, const R& width, const R& alpha)
        : k_(2.0 / width), offset_(position * k_), shape_(area * k_, alpha)
    {
    }

    R operator()(double v) const { return shape_(k_ * v - offset_); }

private:
    R k_, offset_;
    ScaledPseudoVoigt<R> shape_;
};

template <class R>
class VoigtShape {
public:
    VoigtShape(const R& area, const R& position, const R& lorentz_width, const R& gauss_width)
        : position_(position), k_(2.0 * sqrt_ln2 / gauss_width), y_(k_ * lorentz_width * 0.5),
          amplitude_(area * c / gauss_width)
    {
    }

    R operator()(double v) const { return amplitude_ * faddeeva_re((v - position_) * k_, y_); }

private:
    static constexpr double sqrt_ln2 = 0.8325546111576977;
    static constexpr double c = 2.0 * sqrt_ln2 * 0.5641895835477563;  // 0.5641… = 1/√π
    R position_, k_, y_, amplitude_;
};

// out[i] = the sum of the lines at x[i], lines added in order.
template <class Shape, std::size_t L, class R>
void sum_lines(std::span<const double> x, R* out, const std::array<Shape, L>& shapes)
{
    for (std::size_t i = 0; i < x.size(); ++i) {
        R value = shapes[0](x[i]);
        for (std::size_t j = 1; j < L; ++j)
            value += shapes[j](x[i]);
        out[i] = value;
    }
}

// L lines of shape Shape with M inputs each, summed on Dual<N> by preaccumulation.
template <template <class> class Shape, std::size_t M, std::size_t N, std::size_t L>
class PreaccumulatedLines {
public:
    // inputs[j]: the inputs of line j, in the order of Shape's constructor.
    explicit PreaccumulatedLines(const std::array<std::array<Dual<N>, M>, L>& inputs)
        : local_(local_shapes(inputs, std::make_index_sequence<L>()))
    {
        for (const std::array<Dual<N>, M>& line : inputs)
            for (const Dual<N>& input : line)
                chain_.push_intermediate(input);
    }

    // out[i] = the sum of the lines at x[i]: the values added in line order as on
    // Dual<N>, the derivatives by the chain rule through every line's inputs.
    void sum(std::span<const double> x, Dual<N>* out) const
    {
        for (std::size_t first = 0; first < x.size(); first += points) {
            const std::size_t count = std::min(points, x.size() - first);
            double partials[L * M][points];
            if (count < points) {  // the chain rule reads whole blocks
                for (auto& row : partials)
                    std::fill(row + count, row + points, 0.0);
            }
            for (std::size_t p = 0; p < count; ++p) {
                double value = 0.0;
                for (std::size_t j = 0; j < L; ++j) {
                    const Dual<M> f = local_[j](x[first + p]);
                    value = j == 0 ? f[0] : value + f[0];
                    for (std::size_t m = 0; m < M; ++m)
                        partials[j * M + m][p] = f[m + 1];
                }
                out[first + p][0] = value;
            }
            chain_.apply(partials, count, out + first);
        }
    }

private:
    static constexpr std::size_t points = 16;  // the chain rule's block

    template <std::size_t... J>
    static std::array<Shape<Dual<M>>, L> local_shapes(const std::array<std::array<Dual<N>, M>, L>& inputs,
                                                      std::index_sequence<J...>)
    {
        return {seeded(inputs[J], std::make_index_sequence<M>())...};
    }

    template <std::size_t... K>
    static Shape<Dual<M>> seeded(const std::array<Dual<N>, M>& in, std::index_sequence<K...>)
    {
        return Shape<Dual<M>>(Dual<M>::seed(in[K][0], K)...);
    }

    std::array<Shape<Dual<M>>, L> local_;
    DualChainRule<L * M, N> chain_;  // intermediate j·M + m: input m of line j
};

template <template <class> class Shape, std::size_t M, std::size_t N, std::size_t L>
void sum_lines(std::span<const double> x, Dual<N>* out, const PreaccumulatedLines<Shape, M, N, L>& lines)
{
    lines.sum(x, out);
}

// Lines prepared for summing: called with (x, out), writes out[i] = the sum at x[i].
template <class Lines>
struct LineSum {
    Lines lines;

    template <class R>
    void operator()(std::span<const double> x, R* out) const
    {
        sum_lines(x, out, lines);
    }
};

template <class Lines>
LineSum(Lines) -> LineSum<Lines>;

// The L lines of shape Shape from their M inputs each, as sum_lines takes them: on
// Dual<N> with N > M preaccumulated, otherwise an array of shapes on R.
template <template <class> class Shape, class R, std::size_t M, std::size_t L>
auto line_shapes(const std::array<std::array<R, M>, L>& inputs)
{
    return [&]<std::size_t... J>(std::index_sequence<J...>) {
        return std::array<Shape<R>, L>{std::make_from_tuple<Shape<R>>(inputs[J])...};
    }(std::make_index_sequence<L>());
}

template <template <class> class Shape, std::size_t N, std::size_t M, std::size_t L>
    requires(N > M)
auto line_shapes(const std::array<std::array<Dual<N>, M>, L>& inputs)
{
    return PreaccumulatedLines<Shape, M, N, L>(inputs);
}

// The L lines of a model as its line list reports them: position, width (the Lorentz
// width of a Voigt line) and area of each, in line order.
template <class R, std::size_t L>
struct Multiplet {
    std::array<R, L> position, width, area;
};

template <class R, std::size_t L>
void append_lines(const Multiplet<R, L>& m, std::vector<LineRecord<R>>& out)
{
    for (std::size_t j = 0; j < L; ++j)
        out.push_back(informative_line(m.position[j], m.width[j], m.area[j]));
}

template <class R, std::size_t L>
auto pseudo_voigt_shapes(const Multiplet<R, L>& m, const R& alpha)
{
    std::array<std::array<R, 4>, L> inputs;
    for (std::size_t j = 0; j < L; ++j)
        inputs[j] = {m.area[j], m.position[j], m.width[j], alpha};
    return line_shapes<PseudoVoigtShape>(inputs);
}

// Voigt lines of the multiplet's Lorentz widths and the given Gauss widths.
template <class R, std::size_t L>
auto voigt_shapes(const Multiplet<R, L>& m, const std::array<R, L>& gauss_width)
{
    std::array<std::array<R, 4>, L> inputs;
    for (std::size_t j = 0; j < L; ++j)
        inputs[j] = {m.area[j], m.position[j], m.width[j], gauss_width[j]};
    return line_shapes<VoigtShape>(inputs);
}
