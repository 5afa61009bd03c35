// The spectrum of a modulated magnetic structure as the sum over the sampled phases of
// one period, each phase contributing L pseudo-Voigt lines (a Multiplet: positions,
// widths and areas) of one Gauss fraction. What depends on the phase only is found once
// per evaluation, when the caller fills the phases; the sum then runs over the velocity
// points in blocks of `block` points, phase by phase, with the line sums of
// line_shapes.h (on Dual<N> by preaccumulation through each line's four inputs).
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "lineshapes/line_shapes.h"
#include "relaxation/spin_modulation.h"

template <class R, std::size_t L>
class PhaseAverage {
public:
    PhaseAverage(std::size_t phases, const R& alpha) : phases_(phases), alpha_(alpha) {}

    Multiplet<R, L>& operator[](std::size_t phase) { return phases_[phase]; }

    // out[i] = the sum of every phase's lines at x[i].
    void operator()(std::span<const double> x, R* out) const
    {
        R lines[block];
        for (std::size_t first = 0; first < x.size(); first += block) {
            const std::size_t count = std::min(block, x.size() - first);
            const std::span<const double> xs = x.subspan(first, count);
            R* const o = out + first;
            std::fill_n(o, count, R(0.0));
            for (const Multiplet<R, L>& phase : phases_) {
                sum_lines(xs, lines, pseudo_voigt_shapes(phase, alpha_));
                for (std::size_t i = 0; i < count; ++i)
                    o[i] += lines[i];
            }
        }
    }

private:
    static constexpr std::size_t block = 64;

    std::vector<Multiplet<R, L>> phases_;
    R alpha_;
};

// The average over the n phases i/n − 1/2 of one period, lines(phase, multiplet)
// setting the lines of each.
template <std::size_t L, class R, class Lines>
PhaseAverage<R, L> average_over_phases(std::size_t n, const R& alpha, Lines&& lines)
{
    PhaseAverage<R, L> average(n, alpha);
    for (std::size_t i = 0; i < n; ++i)
        lines(modulation_phase(i, n), average[i]);
    return average;
}
