// The single-ion spin relaxation sextet: the hyperfine field follows a spin S = 5/2 that
// jumps between neighbouring levels of its six, m = 5/2 … −5/2 carrying the fields
// (m/S)·H. Level i (from 0) holds the population ∝ p^(5−i); the rate from level i up to
// i + 1 is a·Ω and back p·a·Ω (a = a₁₂, a₂₃, a₃₄, a₂₃, a₁₂ along the chain), which keeps
// those populations stationary. For each sextet line and velocity the line shape is the
// population-weighted real part of the solution of the level chain (the stochastic
// line-shape matrix), taken as a sum of complex Lorentzians, exact to rounding from the
// static to the fast limit, and solved by solve_rate_chain where that form is not (near
// coalescing poles; small_chain_sextet.h); the rate is held at its fast limit where its
// exponential nears overflow.
#pragma once

#include <array>
#include <complex>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/start_values.h"
#include "lineshapes/sextet.h"
#include "relaxation/small_chain_sextet.h"
#include "relaxation/relaxation_rate.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

struct SpinRelaxSextet : SpinRelaxSextetParams, DefaultArea, LineSet<SpinRelaxSextet>,
                         SubSpecRange<SpinRelaxSextet>, DefaultDVT<1, 2, 11, 12, 17> {
    static constexpr std::size_t levels = 6;

    // The field fraction of level i, 1 − 0.4·i: 1, 0.6, 0.19999999999999996, … in doubles.
    static double field_fraction(std::size_t i) { return 1.0 - 0.4 * static_cast<double>(i); }
    static inline const std::array<double, levels> fractions{field_fraction(0), field_fraction(1), field_fraction(2),
                                                             field_fraction(3), field_fraction(4), field_fraction(5)};

    template <class R>
    SmallChainSextet<R, levels> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                                        const R& shift, const R& quadrupole, const R& field, const R& log_rate,
                                        const R& ratio, const R& width, const R& a12, const R& a23,
                                        const R& a34) const
    {
        const Isotope& iso = required_isotope(isotope);
        const R k = chain_rate(R(log_rate - std::log(iso.L)));
        const std::array<R, levels - 1> relative{a12, a23, a34, a23, a12};
        std::array<R, levels> population, lower, upper;
        R weight = R(1.0);
        for (std::size_t i = levels; i-- > 0;) {
            population[i] = weight;
            weight *= ratio;
        }
        for (std::size_t i = 0; i + 1 < levels; ++i) {
            upper[i] = relative[i] * k;
            lower[i + 1] = upper[i] * ratio;
        }
        lower[0] = upper[levels - 1] = R(0.0);
        return {iso, area, ratio2, ratio3, shift, quadrupole, field, {width, width, width}, fractions,
                population.data(), lower.data(), upper.data()};
    }

    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& log_rate,
              const R& ratio, const R& width, const R& a12, const R& a23, const R& a34) const
    {
        prepare(isotope, area, ratio2, ratio3, shift, quadrupole, field, log_rate, ratio, width, a12, a23, a34)(x,
                                                                                                              out);
    }

    // Three groups, for levels 0, 1 and 2 (the other three mirror them), each in the
    // order of the lines' field factors from −K/2 on.
    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        for (std::size_t i = 0; i < 3; ++i) {
            if (i > 0)
                out.push_back(group_break<R>());
            std::array<R, 6> positions;
            Sextet::sextet_positions(required_isotope(isotope), p[3], p[4], R(p[5] * field_fraction(i)), positions);
            for (std::size_t j = 6; j-- > 0;)
                out.push_back(position_line(positions[j]));
        }
    }

    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ = XSc, ε = 0, H = |WH2/K|, ln(Ω) = 0, p = 0,
    // Γ = 2·Γτ, a₁₂ = 5, a₂₃ = 8, a₃₄ = 9 (S(S + 1) − m(m − 1) for m = 5/2, 3/2, 1/2).
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
