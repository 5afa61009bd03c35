// The eight lines of a resonant transition between a ground level of spin 1/2 and an
// excited level of spin 3/2 in a static magnetic hyperfine field combined with an
// electric field gradient of any relative orientation. Method: the two level
// Hamiltonians (Zeeman term −G·(n·I) in the gradient's principal-axis frame, quadrupole
// term h·(3I_z² − 15/4 + (η/2)(I₊² + I₋²)) with h = Q/12) are diagonalised by the Jacobi
// solver; a line's position is the difference of its two eigenvalues, its intensity the
// dipole matrix elements of the Δm = ±1 and Δm = 0 transitions between the eigenvectors
// (Clebsch-Gordan factors 1, 1/√3 and √(2/3)) weighted for a γ-ray beam at angle γ to
// the gradient's z axis, normalised so the eight sum to 1.
//
// One template over the number type: on Dual<N> every input carries the derivatives
// with respect to the caller's parameters, and the eigen-solution passes them on.
#pragma once

#include <array>
#include <cmath>
#include <complex>
#include <cstddef>

#include "core/numerics/complex_dual.h"
#include "core/numerics/dual.h"
#include "core/spectrum/isotope.h"
#include "lineshapes/hermitian_eigen.h"
#include "lineshapes/radians.h"

template <class R>
struct HyperfineLine {
    R position;   // mm/s, relative to the isomer shift
    R intensity;  // relative; the eight lines sum to 1
};

template <class R>
using HyperfineLines = std::array<HyperfineLine<R>, 8>;

// The lines in decreasing intensity; lines of equal intensity keep their generation
// order k = 4·g + e (ground eigen-index g, excited eigen-index e). Q in mm/s, H in kOe,
// the field's polar angle θ as its cosine and sine, its azimuth φ and the beam angle γ
// in degrees, η the asymmetry. Nothing is validated; a failed eigen-solution gives NaN
// lines.
template <class R>
HyperfineLines<R> hyperfine_lines(const Isotope& isotope, const R& Q, const R& H, const R& cos_theta,
                                  const R& sin_theta, const R& phi, const R& eta, const R& gamma)
{
    using C = std::complex<R>;
    using std::sin;
    constexpr double sqrt3 = 1.7320508075688772;
    constexpr double c1 = 0.5773502691896258;        // 1/√3
    constexpr double c2 = c1 * 1.4142135623730951;   // √(2/3)
    const auto norm2 = [](const C& c) { return c.real() * c.real() + c.imag() * c.imag(); };

    const R h = Q * (1.0 / 12.0);
    const R ground_g = H * (isotope.g_gr * isotope.KN);
    const R excited_g = H * (isotope.g_ex * isotope.KN);
    R sin_phi, cos_phi;
    sin_cos(to_radians(phi), sin_phi, cos_phi);
    const R sin_gamma = sin(to_radians(gamma));
    const R sin2_gamma = sin_gamma * sin_gamma;

    // Only the diagonal and the upper triangle are set: the solver implies the rest.
    // Basis m = +1/2, −1/2.
    ComplexSquare<R, 2> ground(2, 2);
    const R half_g = ground_g * 0.5;
    const R half_gs = half_g * sin_theta;
    ground(0, 0) = C(-(half_g * cos_theta));
    ground(0, 1) = C(-(half_gs * cos_phi), half_gs * sin_phi);  // −(G_g/2)·s·e^(−iφ)
    ground(1, 1) = C(half_g * cos_theta);

    // Basis m = +3/2, +1/2, −1/2, −3/2.
    ComplexSquare<R, 4> excited(4, 4);
    const R ge_c = excited_g * cos_theta;
    const R ge_s = excited_g * sin_theta;
    const R outer = ge_s * (0.5 * sqrt3);
    const R asym = h * eta * sqrt3;
    const R h3 = h * 3.0;
    excited(0, 0) = C(h3 - ge_c * 1.5);
    excited(1, 1) = C(-h3 - ge_c * 0.5);
    excited(2, 2) = C(ge_c * 0.5 - h3);
    excited(3, 3) = C(h3 + ge_c * 1.5);
    excited(0, 1) = C(-(outer * cos_phi), outer * sin_phi);  // −(√3/2)·G_e·s·e^(−iφ)
    excited(2, 3) = excited(0, 1);
    excited(1, 2) = C(-(ge_s * cos_phi), ge_s * sin_phi);    // −G_e·s·e^(−iφ)
    excited(0, 2) = C(asym);
    excited(1, 3) = C(asym);
    excited(0, 3) = C();

    EigenValues<R, 2> ground_e;
    ComplexSquare<R, 2> ground_v;
    jacobi_hermitian(ground, ground_e, ground_v);
    EigenValues<R, 4> excited_e;
    ComplexSquare<R, 4> excited_v;
    jacobi_hermitian(excited, excited_e, excited_v);

    // The solver's rows are conjugated eigenvectors; conjugating both factors of every
    // amplitude conjugates the amplitude and leaves its modulus.
    HyperfineLines<R> lines;
    R sum(0.0);
    for (std::size_t g = 0; g < 2; ++g) {
        const C w0 = std::conj(ground_v(g, 0)), w1 = std::conj(ground_v(g, 1));
        for (std::size_t e = 0; e < 4; ++e) {
            const C u0 = excited_v(e, 0), u1 = excited_v(e, 1), u2 = excited_v(e, 2), u3 = excited_v(e, 3);
            const C plus = u0 * w0 + c1 * (u1 * w1);   // Δm = +1
            const C minus = u3 * w1 + c1 * (u2 * w0);  // Δm = −1
            const C zero = c2 * (u1 * w0 + u2 * w1);   // Δm = 0
            HyperfineLine<R>& line = lines[4 * g + e];
            line.position = excited_e(e) - ground_e(g);
            line.intensity = (2.0 - sin2_gamma) * (norm2(plus) + norm2(minus)) + sin2_gamma * 2.0 * norm2(zero);
            sum += line.intensity;
        }
    }
    const R scale = 1.0 / sum;
    for (HyperfineLine<R>& line : lines)
        line.intensity *= scale;

    // Stable insertion sort by decreasing intensity, comparing values only.
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const HyperfineLine<R> line = lines[i];
        std::size_t j = i;
        for (; j > 0 && line.intensity > lines[j - 1].intensity; --j)
            lines[j] = lines[j - 1];
        lines[j] = line;
    }
    return lines;
}

// On numbers with more derivatives than the seven inputs, the lines are found once with
// one derivative per input and their derivatives then carried to the caller's N
// parameters by the chain rule: the same derivatives for a fraction of the work, as a
// model's other parameters (area, shift, widths) never enter the Hamiltonian.
template <std::size_t N>
    requires(N > 7)
HyperfineLines<Dual<N>> hyperfine_lines(const Isotope& isotope, const Dual<N>& Q, const Dual<N>& H,
                                        const Dual<N>& cos_theta, const Dual<N>& sin_theta, const Dual<N>& phi,
                                        const Dual<N>& eta, const Dual<N>& gamma)
{
    using D7 = Dual<7>;
    const Dual<N>* inputs[7] = {&Q, &H, &cos_theta, &sin_theta, &phi, &eta, &gamma};
    D7 s[7];
    for (std::size_t k = 0; k < 7; ++k)
        s[k] = D7::seed((*inputs[k])[0], k);
    const HyperfineLines<D7> inner = hyperfine_lines(isotope, s[0], s[1], s[2], s[3], s[4], s[5], s[6]);

    const auto chain = [&](const D7& f) {
        Dual<N> out(f[0]);
        for (std::size_t k = 0; k < 7; ++k) {
            const double slope = f[k + 1];
            const Dual<N>& in = *inputs[k];
            for (std::size_t i = 1; i <= N; ++i)
                out[i] += slope * in[i];
        }
        return out;
    };
    HyperfineLines<Dual<N>> lines;
    for (std::size_t k = 0; k < 8; ++k)
        lines[k] = {chain(inner[k].position), chain(inner[k].intensity)};
    return lines;
}

// The instances the models use are compiled once, in the line-shape library.
extern template HyperfineLines<double> hyperfine_lines(const Isotope&, const double&, const double&, const double&,
                                                       const double&, const double&, const double&, const double&);
extern template HyperfineLines<Dual<7>> hyperfine_lines(const Isotope&, const Dual<7>&, const Dual<7>&,
                                                        const Dual<7>&, const Dual<7>&, const Dual<7>&,
                                                        const Dual<7>&, const Dual<7>&);
#define VX_HYPERFINE_LINES_EXTERN(N)                                                                           \
    extern template HyperfineLines<Dual<N>> hyperfine_lines(const Isotope&, const Dual<N>&, const Dual<N>&,    \
                                                            const Dual<N>&, const Dual<N>&, const Dual<N>&,    \
                                                            const Dual<N>&, const Dual<N>&);
VX_HYPERFINE_LINES_EXTERN(10)
VX_HYPERFINE_LINES_EXTERN(11)
VX_HYPERFINE_LINES_EXTERN(17)
VX_HYPERFINE_LINES_EXTERN(18)
#undef VX_HYPERFINE_LINES_EXTERN
