// The anharmonic spin-modulation sextets: along one period of a spatial modulation the
// spin angle ϑ follows the elliptic profile of spin_modulation.h, and the spectrum is
// the average of a pseudo-Voigt sextet at each of n = "Points" equally spaced phases
// (phase_average.h), each with 1/n of the area "I".
//
// AnharmonicSpinModulation: at each phase the field H = "His" + "Han"·P and the
// quadrupole shift "εmagn" + "εlat"·P, P = (3·cos²ϑ − 1)/2, with the second-order shifts
// of the line pairs (1 − 7/8·sin²ϑ)·u and (1 − 9/8·sin²ϑ)·u, u = 3·"εQ"²·sin²ϑ/(μ·g_ex·H)
// (0 where H = 0).
//
// AnharmonicSpinModulationAnisotropic: the spin turns in a plane, at the angle ϑ + "ψ"
// from its z axis; the z-x-z Euler angles "α", "β", "γ" (degrees) orient the gradient's
// principal frame against that plane, and the tensor diag("Hxx", "Hyy", "Hzz") in the
// principal frame turns the spin direction into the field vector. The field's magnitude
// and direction (polar angle, azimuth) then give the sextet with the quadrupole shift of
// a gradient "Q" of asymmetry "η", the spin-aligned term "Qmagn"/4 and the second-order
// shifts of "QQ".
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "lineshapes/radians.h"
#include "lineshapes/sextet.h"
#include "lineshapes/start_values.h"
#include "relaxation/euler_rotation.h"
#include "relaxation/modulation_graphs.h"
#include "relaxation/phase_average.h"
#include "relaxation/spin_modulation.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"
#include "subspec/subspec_impl.h"  // completes the mixins where the constructor instantiates them

struct SpectrumAnalysis;

// The sextets of n phases, the same areas (together "I") and widths at every phase, the
// line positions of each phase from positions(phase, out).
template <class R, class Positions>
PhaseAverage<R, 6> sextet_phase_average(std::size_t n, const R& area, const R& ratio2, const R& ratio3,
                                        const R& width, const R& width2, const R& width3, const R& alpha,
                                        Positions&& positions)
{
    const std::array<R, 6> areas = sextet_areas(area * (1.0 / static_cast<double>(n)), ratio2, ratio3);
    const R w2 = width * width2;
    const R w3 = width * width3;
    const std::array<R, 6> widths{width, w2, w3, w3, w2, width};
    return average_over_phases<6>(n, alpha, [&](double phase, Multiplet<R, 6>& lines) {
        positions(phase, lines.position);
        lines.width = widths;
        lines.area = areas;
    });
}

// The six positions of a sextet of field `field` (≥ 0) whose direction makes sin²ϑ = sin2
// with the gradient's axis: the quadrupole shift `quadrupole` and the second-order shifts
// (1 − 7/8·sin²ϑ)·u and (1 − 9/8·sin²ϑ)·u of the line pairs, u = second_order·sin²ϑ/field
// (0 where the field is 0), second_order = 3·εQ²/(μ·g_ex).
template <class R>
void second_order_positions(const Isotope& iso, const R& shift, const R& quadrupole, const R& field, const R& sin2,
                            const R& second_order, std::array<R, 6>& positions)
{
    const R u = field == 0.0 ? R(0.0) : second_order * sin2 / field;
    Sextet::sextet_positions(iso, shift, quadrupole, field, (1.0 - sin2 * 0.875) * u, (1.0 - sin2 * 1.125) * u,
                             positions);
}

struct AnharmonicSpinModulation : AnharmonicSpinModulationParams, Sextet, DefaultArea,
                                  SubSpecRange<AnharmonicSpinModulation>, AnharmonicData,
                                  SubSpecExtraGraph<AnharmonicSpinModulation>, ModulationAxisNames,
                                  DefaultDVT<1, 2, 11, 24> {
    AnharmonicSpinModulation() : AnharmonicData(AnharmonicData::Variant::isotropic) {}

    template <class R>
    PhaseAverage<R, 6> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift, const R& eps_magn, const R& eps_lat, const R& eps_q,
                               const R& h_is, const R& h_an, const R& m, const R& width, const R& width2,
                               const R& width3, const R& alpha) const
    {
        const Isotope& iso = required_isotope(isotope);
        const SpinModulation<R> modulation(m);
        const R second_order = eps_q * eps_q * (3.0 / (iso.KN * iso.g_ex));
        return sextet_phase_average(points(), area, ratio2, ratio3, width, width2, width3, alpha,
                                    [&](double phase, std::array<R, 6>& positions) {
                                        R sin2, p2;
                                        modulation.legendre(phase, sin2, p2);
                                        second_order_positions(iso, shift, eps_magn + eps_lat * p2,
                                                               h_is + h_an * p2, sin2, second_order, positions);
                                    });
    }

    // The sextet of shift "δ", quadrupole shift "εmagn" + |"εlat"| and field
    // "His" + |"Han"| with the widths of the three pairs.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // I = 1, I₂/I₁ = 2/3, I₃/I₁ = 1/3, δ and His as a sextet starts, Γ₁ = 2·Γτ, ratios 1,
    // everything else 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The profile of "DPoints" points; the histogram of |H| in "DPoints" bins at their
    // centres over "HPoints" phases, summing to "I".
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};

// The field vector of the anisotropic model at each phase, in the gradient's principal
// frame: the spin (sin(ϑ + ψ), 0, cos(ϑ + ψ)) in the plane of modulation, taken into
// the principal frame by the transpose of the Euler rotation and multiplied by the
// tensor's principal values. The angles' sines and cosines are formed once.
template <class R>
class AnisotropicField {
public:
    AnisotropicField(const R& alpha, const R& beta, const R& gamma, const R& psi, const R& hxx, const R& hyy,
                     const R& hzz)
        : rotation_(euler_rotation(to_radians(alpha), to_radians(beta), to_radians(gamma))), tensor_{hxx, hyy, hzz}
    {
        sin_cos(to_radians(psi), sin_psi_, cos_psi_);
    }

    Vector3<R> operator()(const SpinModulation<R>& modulation, double phase) const
    {
        R sn, cn;
        modulation.profile(phase, sn, cn);
        const R& e1 = modulation.positive() ? cn : sn;  // sin ϑ
        const R& e2 = modulation.positive() ? sn : cn;  // cos ϑ
        const Vector3<R> spin{e1 * cos_psi_ + e2 * sin_psi_, R(0.0), e2 * cos_psi_ - e1 * sin_psi_};
        Vector3<R> field;
        for (std::size_t k = 0; k < 3; ++k)
            field[k] = tensor_[k] * dot3(Vector3<R>{rotation_[0][k], rotation_[1][k], rotation_[2][k]}, spin);
        return field;
    }

private:
    Matrix3<R> rotation_;
    Vector3<R> tensor_;
    R sin_psi_, cos_psi_;
};

// √v, and 0 without derivatives where v is 0: the magnitudes of the field and of its
// part across the principal axis vanish at some phases, where √ has no derivative.
template <class R>
R magnitude_of(const R& v)
{
    using std::sqrt;
    return v == 0.0 ? R(0.0) : sqrt(v);
}

template <class R>
R field_magnitude(const Vector3<R>& h)
{
    return magnitude_of(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
}

// The six line positions for the field vector h in the gradient's principal frame: the
// field's size, and from its polar angle θ and azimuth φ the quadrupole shift
// (Q/8)·(3·cos²θ − 1 + η·sin²θ·cos 2φ) + Qmagn/4 and the second-order shifts of the
// line pairs, (A ± B/8)·QQ²/(μ·|H|·48·g_ex). q8 = Q/8, q_magn4 = Qmagn/4 and
// second_order = QQ²/(μ·48·g_ex) come formed.
template <class R>
void anisotropic_positions(const Isotope& iso, const Vector3<R>& h, const R& shift, const R& q8, const R& q_magn4,
                           const R& eta, const R& second_order, std::array<R, 6>& positions)
{
    const R hx2 = h[0] * h[0], hy2 = h[1] * h[1];
    const R rho2 = hx2 + hy2;
    const R magnitude = magnitude_of(rho2 + h[2] * h[2]);
    R cos_t(1.0), sin_t(0.0), cos_2p(1.0), sin_2p(0.0);
    if (magnitude != 0.0) {
        cos_t = h[2] / magnitude;
        sin_t = magnitude_of(rho2) / magnitude;
    }
    if (rho2 != 0.0) {
        cos_2p = (hx2 - hy2) / rho2;
        sin_2p = h[0] * h[1] * 2.0 / rho2;
    }
    const R cos2 = cos_t * cos_t, sin2 = sin_t * sin_t;
    const R eta_cos = eta * cos_2p;
    const R eps = q8 * (cos2 * 3.0 - 1.0 + sin2 * eta_cos) + q_magn4;
    const R e = magnitude != 0.0 ? second_order / magnitude : R(0.0);
    const R a1 = eta * sin_t * sin_2p, a2 = (eta_cos - 3.0) * sin_t * cos_t;
    const R b1 = eta * cos_t * sin_2p * 2.0, b2 = (cos2 + 1.0) * eta_cos + sin2 * 3.0;
    const R a = a1 * a1 + a2 * a2, b8 = (b1 * b1 + b2 * b2) * 0.125;
    Sextet::sextet_positions(iso, shift, eps, magnitude, (a + b8) * e, (a - b8) * e, positions);
}

struct AnharmonicSpinModulationAnisotropic : AnharmonicSpinModulationAnisotropicParams, Sextet, DefaultArea,
                                             SubSpecRange<AnharmonicSpinModulationAnisotropic>, AnharmonicData,
                                             SubSpecExtraGraph<AnharmonicSpinModulationAnisotropic>, ModulationAxisNames,
                                             DefaultDVT<1, 2, 11, 24> {
    AnharmonicSpinModulationAnisotropic() : AnharmonicData(AnharmonicData::Variant::anisotropic) {}

    template <class R>
    PhaseAverage<R, 6> prepare(const Isotope* isotope, const R& area, const R& ratio2, const R& ratio3,
                               const R& shift, const R& q_magn, const R& q, const R& qq, const R& eta,
                               const R& alpha, const R& beta, const R& gamma, const R& hxx, const R& hyy,
                               const R& hzz, const R& m, const R& psi, const R& width, const R& width2,
                               const R& width3, const R& gauss) const
    {
        const Isotope& iso = required_isotope(isotope);
        const SpinModulation<R> modulation(m);
        const AnisotropicField<R> field_at(alpha, beta, gamma, psi, hxx, hyy, hzz);
        const R second_order = qq * qq * (1.0 / (iso.KN * 48.0 * iso.g_ex));
        const R q8 = q * 0.125;
        const R q_magn4 = q_magn * 0.25;
        return sextet_phase_average(points(), area, ratio2, ratio3, width, width2, width3, gauss,
                                    [&](double phase, std::array<R, 6>& positions) {
                                        anisotropic_positions(iso, field_at(modulation, phase), shift, q8, q_magn4,
                                                              eta, second_order, positions);
                                    });
    }

    // The sextet of shift "δ", quadrupole shift 4·"Q" and the field
    // √("Hxx"² + "Hyy"² + "Hzz"²) with the widths of the three pairs.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;
    // As AnharmonicSpinModulation, with each of "Hxx", "Hyy", "Hzz" the starting field.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The profile of "DPoints" points; the histogram of |H| over "HPoints" phases in
    // "DPoints" bins at their centres, on the range that "DPoints" phases span, summing
    // to 1.
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y, std::vector<double>& y_errors,
                     const CovarianceRange* covariance, const Isotope* isotope, std::span<const double> p) const;
};
