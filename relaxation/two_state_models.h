// The two-state relaxation models: lines whose positions jump at random between a state A
// and a state B, ln(Ω_AB) the logarithm of the rate from A to B in 1/s and ρ = Ω_BA/Ω_AB,
// so that A holds ρ/(1 + ρ) of the population. Every line is the closed form
// TwoStateLine, exact at every rate from the static to the fast limit.
//   RelaxDoublet: the quadrupole doublet (δA ± εA) in A, (δB ± εB) in B.
//   RelaxSextet: a sextet whose field is +Hn in A and −Hn in B, so that each line jumps
//     to the place of its mirror line.
//   TwoStateRelaxSextet: two independent sextets; line j of A jumps to line j of B.
#pragma once

#include <array>
#include <span>
#include <utility>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "relaxation/two_state_line.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

// Lines jumping between the positions a[j] (state A) and b[j] (state B) with the weights
// weight[j], scaled so that the lines together have the area `area`; written into out.
template <class R, std::size_t L>
void two_state_lines(std::span<const double> x, R* out, const R& area, const std::array<R, L>& a,
                     const std::array<R, L>& b, const std::array<R, L>& weight, const R& log_rate, const R& ratio,
                     const R& width, double rate_factor)
{
    constexpr double inv_pi = 0.3183098861837907;
    const RateScale<R> tau = two_state_time(log_rate, ratio, rate_factor);
    const R d = (ratio - 1.0) / (ratio + 1.0);
    const R w = width * 0.5;
    R total = weight[0];
    for (std::size_t j = 1; j < L; ++j)
        total += weight[j];
    // Each line's area share over π·w, folded into the line's final factor w.
    const R share = area * inv_pi / (w * total);
    const std::array<TwoStateLine<R>, L> lines = [&]<std::size_t... J>(std::index_sequence<J...>) {
        return std::array<TwoStateLine<R>, L>{
            TwoStateLine<R>((a[J] - b[J]) * 0.5, (a[J] + b[J]) * 0.5, w, tau, d, share * weight[J])...};
    }(std::make_index_sequence<L>());
    for (std::size_t i = 0; i < x.size(); ++i) {
        R value = lines[0](x[i]);
        for (std::size_t j = 1; j < L; ++j)
            value += lines[j](x[i]);
        out[i] = value;
    }
}

// The sextet weights 1, I₂/I₁, I₃/I₁, I₃/I₁, I₂/I₁, 1 of lines 1 to 6.
template <class R>
std::array<R, 6> sextet_weights(const R& ratio2, const R& ratio3)
{
    return {R(1.0), ratio2, ratio3, ratio3, ratio2, R(1.0)};
}

struct RelaxDoublet : RelaxDoubletParams, DefaultArea, LineSet<RelaxDoublet>, DefaultDVT<1, 2, 12, 13> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio,
              const R& shift_a, const R& quadrupole_a, const R& shift_b, const R& quadrupole_b, const R& log_rate,
              const R& rate_ratio, const R& width) const
    {
        two_state_lines<R, 2>(x, out, area, {shift_a + quadrupole_a, shift_a - quadrupole_a},
                              {shift_b + quadrupole_b, shift_b - quadrupole_b}, {ratio, R(1.0)}, log_rate, rate_ratio,
                              width, required_isotope(isotope).L);
    }

    // State A (δA − εA, δA + εA), a group break, state B; positions only.
    template <class R>
    void lines(const Isotope*, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        out.push_back(position_line<R>(p[2] - p[3]));
        out.push_back(position_line<R>(p[2] + p[3]));
        out.push_back(group_break<R>());
        out.push_back(position_line<R>(p[4] - p[5]));
        out.push_back(position_line<R>(p[4] + p[5]));
    }

    // I = 1, I₂/I₁ = 1, δA = δB = XSc, εA = εB = 3·Γτ, ln(ΩAB) = 0, ΩBA/ΩAB = 1, Γ = 2·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct RelaxSextet : RelaxSextetParams, Sextet, DefaultArea, LineSet<RelaxSextet>, SubSpecRange<RelaxSextet>,
                     DefaultDVT<1, 2, 11, 12, 13> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift, const R& quadrupole, const R& field, const R& log_rate,
              const R& rate_ratio, const R& width) const
    {
        const Isotope& iso = required_isotope(isotope);
        std::array<R, 6> a, b;
        sextet_positions(iso, shift, quadrupole, field, a);
        for (std::size_t j = 0; j < 6; ++j)
            b[j] = a[5 - j];
        two_state_lines(x, out, area, a, b, sextet_weights(ratio2, ratio3), log_rate, rate_ratio, width, iso.L);
    }

    // The six positions of state A.
    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        std::array<R, 6> a;
        sextet_positions(required_isotope(isotope), p[3], p[4], p[5], a);
        for (const R& position : a)
            out.push_back(position_line(position));
    }

    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // The sextet start (start_sextet), ln(ΩAB) = 0, ΩBA/ΩAB = 1, Γ = 2·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

struct TwoStateRelaxSextet : TwoStateRelaxSextetParams, DefaultArea, LineSet<TwoStateRelaxSextet>,
                             SubSpecRange<TwoStateRelaxSextet>, DefaultDVT<1, 2, 11, 12, 13> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& ratio2,
              const R& ratio3, const R& shift_a, const R& quadrupole_a, const R& field_a, const R& shift_b,
              const R& quadrupole_b, const R& field_b, const R& log_rate, const R& rate_ratio, const R& width) const
    {
        const Isotope& iso = required_isotope(isotope);
        std::array<R, 6> a, b;
        Sextet::sextet_positions(iso, shift_a, quadrupole_a, field_a, a);
        Sextet::sextet_positions(iso, shift_b, quadrupole_b, field_b, b);
        two_state_lines(x, out, area, a, b, sextet_weights(ratio2, ratio3), log_rate, rate_ratio, width, iso.L);
    }

    // Sextet A, a group break, sextet B, each from the line of field factor −K/2 on.
    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        for (std::size_t state = 0; state < 2; ++state) {
            if (state > 0)
                out.push_back(group_break<R>());
            std::array<R, 6> positions;
            Sextet::sextet_positions(required_isotope(isotope), p[3 + 3 * state], p[4 + 3 * state],
                                     p[5 + 3 * state], positions);
            for (std::size_t j = 6; j-- > 0;)
                out.push_back(position_line(positions[j]));
        }
    }

    // Both sextets' extents united.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δA = δB = XSc, εA = εB = 0, HA = HB = |WH2/K|,
    // ln(ΩAB) = 0, ΩBA/ΩAB = 1, Γ = 2·Γτ; the found lines are not used.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};
