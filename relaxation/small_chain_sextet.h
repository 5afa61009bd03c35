// The sextet of a short level chain (chain_sextet of level_chain.h) prepared once per set
// of parameters and then summed at any points: each line whose poles are exact to rounding
// (chain_poles.h) costs a few reciprocals per point instead of a chain solve, the others
// are solved as chain_sextet solves them. Lines j and 5 − j share their widths and their
// positions at field 0 and have opposite slopes, so that the chain of line 5 − j is the
// conjugate of line j's (relative to its first level): one decomposition serves both.
// Levels, the chain's length, is fixed at compile time, so that everything lives in the
// object.
#pragma once

#include <array>
#include <complex>
#include <cstddef>
#include <span>

#include "relaxation/chain_poles.h"
#include "relaxation/level_chain.h"
#include "relaxation/pole_sum.h"

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
        for (std::size_t j = 0; j < 3; ++j) {
            std::array<std::complex<R>, Levels> own;
            for (std::size_t l = 0; l < Levels; ++l)
                own[l] = chain.own(j, fraction[l]);
            ChainLinePoles<R, Levels> poles;
            if (poles.prepare(Levels, own.data(), population, lower, upper)) {
                poles.add_to(poles_, R(chain.scale * chain.line_weight[j]), own[0]);
                poles.add_to(poles_, R(chain.scale * chain.line_weight[5 - j]), chain.own(5 - j, fraction[0]), true);
                continue;
            }
            for (std::size_t mirror : {j, 5 - j}) {
                SolvedLine& solved = solved_[solved_count_++];
                for (std::size_t l = 0; l < Levels; ++l) {
                    solved.weight[l] = chain.weight(mirror, population[l]);
                    solved.own[l] = chain.own(mirror, fraction[l]);
                }
            }
        }
    }

    void operator()(std::span<const double> x, R* out) const
    {
        if (poles_.empty()) {
            for (std::size_t i = 0; i < x.size(); ++i)
                out[i] = R(0.0);
        } else {
            poles_(x, out);
        }
        std::array<std::complex<R>, Levels> solution, factor;
        for (std::size_t s = 0; s < solved_count_; ++s)
            add_solved_line(Levels, x, out, solved_[s].weight.data(), solved_[s].own.data(), lower_.data(),
                            upper_.data(), solution.data(), factor.data());
    }

private:
    struct SolvedLine {
        std::array<R, Levels> weight;
        std::array<std::complex<R>, Levels> own;
    };
    std::array<R, Levels> lower_, upper_;
    PoleSum<R, 6 * Levels, 6> poles_;
    std::array<SolvedLine, 6> solved_;
    std::size_t solved_count_ = 0;
};
