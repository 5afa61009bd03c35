// The many-state relaxation sextets: the hyperfine field jumps between the n = 2S + 1
// levels m = S … −S of a spin (level i: m = S − i, field H·x_i with x_i = 1 − i/S),
// only between neighbours, at the rates W_i = (S(S+1) − (S−i)(S−i−1))·R of the
// spin-raising matrix elements, R = exp("ln(R)")/L. ManyStateRelaxSextet populates the
// levels as p^(n−1−i) and couples them with W_i upwards and p·W_i downwards;
// ManyStateSPRelaxSextet (a superparamagnetic particle) populates them as
// exp(x_i·(α·x_i + h)) and reduces the rate out of the more populated level of each
// link by the ratio of the two populations (detailed balance). The six lines come from
// chain_sextet (solve_rate_chain, full accuracy however fast the jumps). Its positions
// follow sextet_positions, the mirror image of the field factors (m_e·g_ex − m_g·g_gr)·μ;
// mirroring every level's field exchanges lines 1 and 6, 2 and 5, 3 and 4, which share
// their widths and intensities, so the spectrum is the same.
//
// The level count is model data ("Levels (2S+1)", LevelsData). The chain, populations
// and couplings are built once per call on the heap and the per-line arrays live in
// level buffers, so 10000 levels evaluate on a worker thread's small stack; the rate is
// held where the spectrum has long reached its fast limit, so that no product of rates
// overflows, and the superparamagnetic populations are scaled by their largest exponent.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "core/numerics/dual.h"
#include "core/spectrum/isotope.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "relaxation/level_chain.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

// The prepared formula: the chain of one call and the six lines, evaluated point by
// point. Copies share nothing; each call builds its own.
template <class R>
class ManyStateSextet {
public:
    // The level fractions x_i and the factors W_i/R of `levels` levels.
    ManyStateSextet(const Isotope& isotope, int levels)
        : isotope_(isotope), fraction_(levels), factor_(levels - 1), lower_(levels, R(0.0)), upper_(levels, R(0.0)),
          weight_(levels)
    {
        const double s = 0.5 * (levels - 1);
        const double inverse = 1.0 / s;
        for (int i = 0; i < levels; ++i)
            fraction_[i] = 1.0 - i * inverse;
        for (int i = 0; i + 1 < levels; ++i)
            factor_[i] = s * (s + 1.0) - (s - i) * (s - i - 1.0);
    }

    // Populations p^(n−1−i), upward couplings W_i, downward p·W_i. A p above 1 (outside
    // its default bounds) counts from level 0, so that no power overflows.
    void populate_geometric(const R& p, const R& log_rate)
    {
        const std::size_t n = fraction_.size();
        if (p <= 1.0) {
            weight_[n - 1] = 1.0;
            for (std::size_t i = n - 1; i-- > 0;)
                weight_[i] = weight_[i + 1] * p;
        } else {
            weight_[0] = 1.0;
            for (std::size_t i = 1; i < n; ++i)
                weight_[i] = weight_[i - 1] / p;
        }
        const R r = rate(log_rate, (n - 1) * std::fabs(std::log(dual_value(p))));
        for (std::size_t i = 0; i + 1 < n; ++i) {
            upper_[i] = r * factor_[i];
            lower_[i + 1] = upper_[i] * p;
        }
    }

    // Populations exp(x_i·(α·x_i + h)), scaled by the largest; the rate out of the more
    // populated level of a link is W_i times exp of the (negative) exponent difference,
    // compared on values.
    void populate_superparamagnetic(const R& alpha, const R& h, const R& log_rate)
    {
        using std::exp;
        const std::size_t n = fraction_.size();
        std::vector<R> exponent(n);
        double largest = -HUGE_VAL, smallest = HUGE_VAL;
        for (std::size_t i = 0; i < n; ++i) {
            exponent[i] = fraction_[i] * (alpha * fraction_[i] + h);
            largest = std::max(largest, dual_value(exponent[i]));
            smallest = std::min(smallest, dual_value(exponent[i]));
        }
        for (std::size_t i = 0; i < n; ++i)
            weight_[i] = exp(exponent[i] - largest);
        const R r = rate(log_rate, largest - smallest);
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const R base = r * factor_[i];
            if (exponent[i] < exponent[i + 1]) {
                lower_[i + 1] = base * exp(exponent[i] - exponent[i + 1]);
                upper_[i] = base;
            } else {
                upper_[i] = base * exp(exponent[i + 1] - exponent[i]);
                lower_[i + 1] = base;
            }
        }
    }

    // The sextet's parameters; Γ₂ = Γ₁·"Γ₂/Γ₁", Γ₃ = Γ₁·"Γ₃/Γ₁".
    void set_lines(const R& area, const R& ratio2, const R& ratio3, const R& shift, const R& quadrupole,
                   const R& field, const R& width, const R& width2, const R& width3)
    {
        sextet_ = {area, ratio2, ratio3, shift, quadrupole, field};
        widths_ = {width, width * width2, width * width3};
    }

    void operator()(std::span<const double> x, R* out) const
    {
        chain_sextet(isotope_, x, out, sextet_[0], sextet_[1], sextet_[2], sextet_[3], sextet_[4], sextet_[5], widths_,
                     std::span<const double>(fraction_), weight_.data(), lower_.data(), upper_.data());
    }

private:
    // R = exp(ln(R))/L, the logarithm held at a cap beyond which the spectrum no longer
    // changes: there even the least populated level (e^−barrier of the most populated)
    // exchanges more than e^60 mm/s of population flux with its neighbours, so the
    // levels have merged into the fast limit to every digit. A second cap keeps the
    // fastest coupling below e^320, so that no squared rate of the derivatives
    // overflows; a barrier above about 250 meets it first, and the spectrum then stays
    // that of ln(R) ≈ 320 + ln(L/W_max) for every larger rate.
    R rate(const R& log_rate, double barrier) const
    {
        using std::exp;
        const double ln_l = std::log(isotope_.L);
        const double levels = static_cast<double>(fraction_.size());
        const double cap = std::min(60.0 + ln_l - std::log(factor_.front()) + std::log(levels) + barrier,
                                    320.0 + ln_l - std::log(*std::max_element(factor_.begin(), factor_.end())));
        return (dual_value(log_rate) > cap ? R(std::exp(cap)) : exp(log_rate)) / isotope_.L;
    }

    const Isotope& isotope_;
    std::vector<double> fraction_, factor_;
    std::vector<R> lower_, upper_, weight_;
    std::array<R, 6> sextet_;  // I, I₂/I₁, I₃/I₁, δ, ε, H
    std::array<R, 3> widths_;
};

// The one-group line list of six position-only lines (the full-field sextet, from the
// line of field factor −K/2 on),
// the sextet's extent with the widths Γ₁, Γ₂, Γ₃, Γ₃, Γ₂, Γ₁ (parameter `widths` on),
// the starting values (δ from the centroid, H from the half-depth width, ln(R) = 0,
// Γ₁ = 3·Γτ, ratios 1, the population parameters 0) and the exported "[c:Sz_avg]" =
// mean and "[c:S]" = S with "%.1f".
template <class R>
void many_state_lines(const Isotope& isotope, std::span<const R> p, std::vector<LineRecord<R>>& out)
{
    std::array<R, 6> positions;
    Sextet::sextet_positions(isotope, p[3], p[4], p[5], positions);
    for (std::size_t j = 6; j-- > 0;)
        out.push_back(position_line(positions[j]));
}
void many_state_extent(const Isotope& isotope, std::span<const double> p, std::size_t widths, double& min,
                       double& max);
void init_many_state(const Isotope& isotope, const SpectrumAnalysis& analysis, std::span<double> p);
void add_level_vars(unsigned component, int levels, std::wstring mean, std::map<std::wstring, std::wstring>& vars);

// What the two models share besides their populations; T's prepare(isotope, parameters)
// builds the formula.
template <class T>
struct ManyStateModel : DefaultArea, LineSet<T>, SubSpecRange<T>, DefaultDVT<1, 2, 11, 12, 17>, LevelsData,
                        IModelExtVars {
    template <class R, class... P>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const P&... p) const
    {
        static_cast<const T&>(*this).prepare(isotope, p...)(x, out);
    }

    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        many_state_lines(required_isotope(isotope), p, out);
    }

    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const
    {
        many_state_extent(required_isotope(isotope), p, T::n_params - 3, min, max);
    }

    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
    {
        init_many_state(required_isotope(isotope), analysis, p);
    }
};

struct ManyStateRelaxSextet : ManyStateRelaxSextetParams, ManyStateModel<ManyStateRelaxSextet> {
    template <class R>
    ManyStateSextet<R> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift, const R& quadrupole, const R& field, const R& log_rate, const R& p,
                               const R& width, const R& width2, const R& width3) const
    {
        ManyStateSextet<R> sextet(required_isotope(isotope), levels());
        sextet.populate_geometric(p, log_rate);
        sextet.set_lines(area, ratio2, ratio3, shift, quadrupole, field, width, width2, width3);
        return sextet;
    }

    // "[c:Sz_avg]": Σ m·p^(m+S) / Σ p^(m+S) as two flat sums, and "[c:S]".
    void ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const override;
};

struct ManyStateSPRelaxSextet : ManyStateSPRelaxSextetParams, ManyStateModel<ManyStateSPRelaxSextet> {
    template <class R>
    ManyStateSextet<R> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift, const R& quadrupole, const R& field, const R& log_rate,
                               const R& alpha, const R& h, const R& width, const R& width2, const R& width3) const
    {
        ManyStateSextet<R> sextet(required_isotope(isotope), levels());
        sextet.populate_superparamagnetic(alpha, h, log_rate);
        sextet.set_lines(area, ratio2, ratio3, shift, quadrupole, field, width, width2, width3);
        return sextet;
    }

    // "[c:Sz_avg]": Σ m·w / Σ w with w = exp(α·(x² − 1) + h·x), the anisotropy's largest
    // exponent taken out so that no large α overflows, and "[c:S]".
    void ext_vars(unsigned component, std::map<std::wstring, std::wstring>& vars) const override;
};
