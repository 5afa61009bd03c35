// The full static hyperfine Hamiltonian models: the eight lines of hyperfine_lines (a
// magnetic field "Hn" at polar angle "θ" and azimuth "φ" in the principal-axis frame of
// an electric field gradient of coupling "Q" and asymmetry "η", seen by a beam at angle
// "γ" to the gradient's axis), each a pseudo-Voigt line of Gauss fraction "α" at
// "δ" + its position with area "I" times its relative intensity, so the subspectrum's
// area is "I". Hamilton gives every line the width "Γ"; Hamilton8 gives each its own,
// "Γ₁" … "Γ₈", by the lines' intensity rank. The lines are found once per evaluation,
// outside the loop over the velocities: prepare gives the lines' shapes, which the
// Jacobian adapter then sums over every sub-block of points.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/numerics/dual.h"
#include "core/spectrum/isotope.h"
#include "lineshapes/hyperfine_lines.h"
#include "lineshapes/line_shapes.h"
#include "lineshapes/radians.h"
#include "lineshapes/start_values.h"
#include "subspec/line_set.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

// Record j of the line list is the line of intensity rank hamilton_record_rank[j] (0 the
// strongest) and takes width j: the strongest pair of lines gets the widths 1 and 6,
// the next pair 2 and 5, the third 3 and 4, the two weakest lines 7 and 8.
inline constexpr std::array<std::size_t, 8> hamilton_record_rank = {0, 2, 4, 5, 3, 1, 6, 7};

// The lowest and the highest of the eight positions widened by 12 times the largest |width|.
void lines_extent(const Multiplet<double, 8>& lines, double& min, double& max);

// The eight lines in line-list order, record j with width widths[j].
template <class R>
Multiplet<R, 8> hamilton_lines(const Isotope& isotope, const R& area, const R& gamma, const R& shift,
                               const R& quadrupole, const R& field, const R& theta, const R& phi, const R& eta,
                               const std::array<R, 8>& widths)
{
    R sin_theta, cos_theta;
    sin_cos(to_radians(theta), sin_theta, cos_theta);
    const HyperfineLines<R> lines = hyperfine_lines(isotope, quadrupole, field, cos_theta, sin_theta, phi, eta, gamma);
    Multiplet<R, 8> m{{}, widths, {}};
    for (std::size_t j = 0; j < 8; ++j) {
        const HyperfineLine<R>& line = lines[hamilton_record_rank[j]];
        m.position[j] = shift + line.position;
        m.area[j] = area * line.intensity;
    }
    return m;
}

struct Hamilton : HamiltonParams, DefaultArea, LineSet<Hamilton>, SubSpecRange<Hamilton>,
                  DefaultDVT<1, 2, 11, 20, 21> {
    template <class R>
    auto prepare(const Isotope* isotope, const R& area, const R& gamma, const R& shift, const R& quadrupole,
                 const R& field, const R& theta, const R& phi, const R& eta, const R& width, const R& alpha) const
    {
        const Multiplet<R, 8> m = hamilton_lines(required_isotope(isotope), area, gamma, shift, quadrupole, field,
                                                 theta, phi, eta, same_widths(width));
        return LineSum{pseudo_voigt_shapes(m, alpha)};
    }

    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(hamilton_lines(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                                    same_widths(p[8])),
                     out);
    }

    // The eight positions widened by 12·|Γ| on both sides.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, γ = the magic angle, δ and Hn as a sextet starts (Hn = 0 for an isotope
    // whose sextet factor K is 0), Q = θ = φ = η = 0, Γ = 3·Γτ, α = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;

private:
    template <class R>
    static std::array<R, 8> same_widths(const R& width)
    {
        return {width, width, width, width, width, width, width, width};
    }
};

struct Hamilton8 : Hamilton8Params, DefaultArea, LineSet<Hamilton8>, SubSpecRange<Hamilton8>,
                   DefaultDVT<1, 2, 11, 20, 21> {
    template <class R>
    auto prepare(const Isotope* isotope, const R& area, const R& gamma, const R& shift, const R& quadrupole,
                 const R& field, const R& theta, const R& phi, const R& eta, const R& w1, const R& w2, const R& w3,
                 const R& w4, const R& w5, const R& w6, const R& w7, const R& w8, const R& alpha) const
    {
        const Multiplet<R, 8> m = hamilton_lines(required_isotope(isotope), area, gamma, shift, quadrupole, field,
                                                 theta, phi, eta, std::array<R, 8>{w1, w2, w3, w4, w5, w6, w7, w8});
        return LineSum{pseudo_voigt_shapes(m, alpha)};
    }

    template <class R>
    void lines(const Isotope* isotope, std::span<const R> p, std::vector<LineRecord<R>>& out) const
    {
        append_lines(hamilton_lines(required_isotope(isotope), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                                    widths(p)),
                     out);
    }

    // The eight positions widened by 12 times the largest |Γⱼ| on both sides.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // As Hamilton, every width 3·Γτ.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;

private:
    template <class R>
    static std::array<R, 8> widths(std::span<const R> p)
    {
        return {p[8], p[9], p[10], p[11], p[12], p[13], p[14], p[15]};
    }
};
