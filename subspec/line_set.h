// Line lists: a model whose spectrum is made of discrete resonance lines describes them
// as an ordered list of LineRecords, written once as a template over the number type.
// LineSet<T> turns that list into the line positions grouped into multiplets (ILinePos)
// and into the reported lines with standard errors (ILineInfo). The errors come from
// first-order propagation through exact gradients: the list is computed on Dual<N>
// parameters seeded with unit derivatives, so each quantity q carries its gradient g,
// and its standard error is sqrt(gᵀ·V·g) with V the component's covariance block.
//
// Hook that T provides (p: the component's N parameters in table order; appends to
// out in list order, does not clear it; reads only p and the isotope):
//     template <class R>
//     void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const;
// Lines are made with informative_line, position_line and group_break below.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "core/numerics/dual.h"
#include "subspec/eval_ranges.h"
#include "subspec/subspec.h"

template <class T>
class SubSpecImpl;

struct Isotope;

// One entry of a line list: a line or the break that ends a multiplet. An informative
// line has a width (FWHM; the Lorentz width of a Voigt line) and an intensity (its
// area in the units of the component's "I") and is reported with errors; a
// position-only line marks a position and carries nothing else; a group break carries
// nothing.
template <class R = double>
struct LineRecord {
    R position{};
    R width{};
    R intensity{};
    bool group_break = false;
    bool informative = false;
};

template <class R>
LineRecord<R> informative_line(const R& position, const R& width, const R& intensity)
{
    return {position, width, intensity, false, true};
}

template <class R>
LineRecord<R> position_line(const R& position)
{
    return {position, R{}, R{}, false, false};
}

template <class R>
LineRecord<R> group_break()
{
    return {R{}, R{}, R{}, true, false};
}

// sqrt(Σᵢⱼ gᵢ·gⱼ·V(i, j)) over the N derivatives g of q. A quantity whose true variance
// is 0 can come out a rounding error below 0: its error is 0, not NaN. A NaN in V
// stays NaN.
template <std::size_t N>
double dual_std_error(const Dual<N>& q, const CovarianceRange& covariance)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = 0; j < N; ++j)
            sum += q[i + 1] * q[j + 1] * covariance(i, j);
    return sum < 0.0 ? 0.0 : std::sqrt(sum);
}

template <class T>
class LineSet : public ILinePos, public ILineInfo {
public:
    // Appends one empty group, then each line's position to the last group; a group
    // break starts a new group.
    void line_positions(const ParamRange& p, std::vector<std::vector<double>>& groups) const override
    {
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        std::vector<LineRecord<double>> list;
        self.lines(self.isotope(), range_params(p, T::n_params), list);
        groups.emplace_back();
        for (const LineRecord<double>& line : list) {
            if (line.group_break)
                groups.emplace_back();
            else
                groups.back().push_back(line.position);
        }
    }

    // Appends every informative line with the standard errors of its three quantities;
    // the covariance block must be N × N (std::out_of_range otherwise).
    void line_info(const ParamRange& p, const CovarianceRange& covariance, std::vector<LineInfo>& out) const override
    {
        constexpr std::size_t N = T::n_params;
        const auto& self = static_cast<const SubSpecImpl<T>&>(*this);
        const std::span<const double> values = range_params(p, N);
        check_covariance_block(covariance, N);
        std::array<Dual<N>, N> seeds;
        for (std::size_t k = 0; k < N; ++k)
            seeds[k] = Dual<N>::seed(values[k], k);
        std::vector<LineRecord<Dual<N>>> list;
        self.lines(self.isotope(), std::span<const Dual<N>>(seeds), list);
        for (const LineRecord<Dual<N>>& line : list) {
            if (line.group_break || !line.informative)
                continue;
            out.push_back({line.position[0], dual_std_error(line.position, covariance), line.width[0],
                           dual_std_error(line.width, covariance), line.intensity[0],
                           dual_std_error(line.intensity, covariance)});
        }
    }
};
