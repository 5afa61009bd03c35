// The anharmonic spin modulation with the full hyperfine Hamiltonian: at each of the
// n = "Points" phases of one period the spin angle ϑ of spin_modulation.h gives the
// field's direction in the gradient's principal frame (polar angle ϑ, azimuth "φ") and
// its size "His" + "Han"·P, P = 1 − 3/2·sin²ϑ; the eight lines of hyperfine_lines for
// that field and the gradient "Q", "η" seen at the beam angle "γ", at "δ" plus their
// positions, each a pseudo-Voigt line of width "Γ" with 1/n of "I" times its relative
// intensity. The lines of every phase are found once per evaluation.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/hyperfine_lines.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "relaxation/modulation_graphs.h"
#include "relaxation/phase_average.h"
#include "relaxation/spin_modulation.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

struct SpectrumAnalysis;

// The eight lines of hyperfine_lines at each of n phases, at "δ" plus their positions,
// of width "Γ" and 1/n of "I" times their relative intensities; direction(phase, field,
// cos θ, sin θ) gives each phase's field and its polar angle.
template <class R, class Direction>
PhaseAverage<R, 8> hamiltonian_phase_average(const Isotope& iso, std::size_t n, const R& area, const R& gamma,
                                             const R& shift, const R& quadrupole, const R& phi, const R& eta,
                                             const R& width, const R& alpha, Direction&& direction)
{
    const R weight = area * (1.0 / static_cast<double>(n));
    return average_over_phases<8>(n, alpha, [&](double phase, Multiplet<R, 8>& m8) {
        R field, cos_theta, sin_theta;
        direction(phase, field, cos_theta, sin_theta);
        const HyperfineLines<R> lines = hyperfine_lines(iso, quadrupole, field, cos_theta, sin_theta, phi, eta, gamma);
        for (std::size_t k = 0; k < 8; ++k) {
            m8.position[k] = shift + lines[k].position;
            m8.width[k] = width;
            m8.area[k] = weight * lines[k].intensity;
        }
    });
}

struct AnharmonicSpinModulationHamilton : AnharmonicSpinModulationHamiltonParams, Sextet, DefaultArea,
                                          SubSpecRange<AnharmonicSpinModulationHamilton>, AnharmonicHamiltonData,
                                          SubSpecExtraGraph<AnharmonicSpinModulationHamilton>, ModulationAxisNames,
                                          DefaultDVT<1, 2, 11, 24> {
    template <class R>
    PhaseAverage<R, 8> prepare(const Isotope* isotope, const R& area, const R& gamma, const R& shift,
                               const R& quadrupole, const R& phi, const R& eta, const R& h_is, const R& h_an,
                               const R& m, const R& width, const R& alpha) const
    {
        const Isotope& iso = required_isotope(isotope);
        const SpinModulation<R> modulation(m);
        return hamiltonian_phase_average(iso, static_cast<std::size_t>(points()), area, gamma, shift, quadrupole, phi,
                                         eta, width, alpha,
                                         [&](double phase, R& field, R& cos_theta, R& sin_theta) {
                                             modulation.angle(phase, cos_theta, sin_theta);
                                             field = h_is + h_an * (1.0 - sin_theta * sin_theta * 1.5);
                                         });
    }

    // The sextet of shift "δ", quadrupole shift "Q"/4 and field "His" + |"Han"|, every
    // line of width "Γ".
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, γ = the magic angle, δ and His as a sextet starts, Γ = 2·Γτ, everything
    // else 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The profile of 200 points; the histogram of |H| over "HPoints" phases in 200 bins
    // at their lower edges, summing to 1.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};
