// The sextet of a short level chain (chain_sextet of level_chain.h) prepared once per set
// of parameters and then summed at any points: each line whose poles are exact to rounding
// (chain_poles.h) costs a few reciprocals per point instead of a chain solve, the others
// are solved as chain_sextet solves them. Levels, the chain's length, is fixed at compile
// time, so that everything lives in the object.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>

#include "relaxation/chain_poles.h"
#include "relaxation/level_chain.h"

template <class R, std::size_t Levels>
class SmallChainSextet {
public:
    // The arguments of chain_sextet after the points, with `fraction` of Levels values.
    SmallChainSextet(const Isotope& isotope, const R& area, const R& ratio2, const R& ratio3, const R& shift,
                     const R& quadrupole, const R& field, const std::array<R, 3>& pair_widths,
                     const std::array<double, Levels>& fraction, const R* population, const R* lower,
                     const R* upper)
    {
        const SextetChain<R> chain(isotope, area, ratio2, ratio3, shift, quadrupole, field, pair_widths, Levels,
                                   population);
        for (std::size_t l = 0; l < Levels; ++l) {
            lower_[l] = lower[l];
            upper_[l] = upper[l];
        }
        for (std::size_t j = 0; j < 6; ++j) {
            Line& line = lines_[j];
            for (std::size_t l = 0; l < Levels; ++l) {
                line.weight[l] = chain.weight(j, population[l]);
                line.own[l] = chain.own(j, fraction[l]);
            }
            line.solved = !line.poles.prepare(Levels, R(chain.scale * chain.line_weight[j]), line.own.data(),
                                              population, lower, upper);
        }
    }

    void operator()(std::span<const double> x, R* out) const
    {
        std::array<std::complex<R>, Levels> solution;
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = R(0.0);
        for (const Line& line : lines_) {
            if (line.solved)
                add_solved_line(Levels, x, out, line.weight.data(), line.own.data(), lower_.data(), upper_.data(),
                                solution.data());
            else
                line.poles.add(x, out);
        }
    }

private:
    struct Line {
        std::array<R, Levels> weight;
        std::array<std::complex<R>, Levels> own;
        ChainLinePoles<R, Levels> poles;
        bool solved;
    };
    std::array<R, Levels> lower_, upper_;
    std::array<Line, 6> lines_;
};
