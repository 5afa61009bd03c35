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
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

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
std::array<PseudoVoigtShape<R>, L> pseudo_voigt_shapes(const Multiplet<R, L>& m, const R& alpha)
{
    return [&]<std::size_t... J>(std::index_sequence<J...>) {
        return std::array<PseudoVoigtShape<R>, L>{PseudoVoigtShape<R>(m.area[J], m.position[J], m.width[J], alpha)...};
    }(std::make_index_sequence<L>());
}

// Voigt lines of the multiplet's Lorentz widths and the given Gauss widths.
template <class R, std::size_t L>
std::array<VoigtShape<R>, L> voigt_shapes(const Multiplet<R, L>& m, const std::array<R, L>& gauss_width)
{
    return [&]<std::size_t... J>(std::index_sequence<J...>) {
        return std::array<VoigtShape<R>, L>{VoigtShape<R>(m.area[J], m.position[J], m.width[J], gauss_width[J])...};
    }(std::make_index_sequence<L>());
}
