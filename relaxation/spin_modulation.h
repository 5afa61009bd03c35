// The spin angle ϑ along one period of an anharmonic spin modulation with the elliptic
// parameter m, at the phases x of the period: for m ≥ 0 cos ϑ = sn and sin ϑ = cn, for
// m < 0 cos ϑ = cn and sin ϑ = sn, both of modulus √|m| (elliptic_profile.h); m = 0 is
// the harmonic modulation cos ϑ = sin 2πx.
//
// Generic over the number type. On Dual<N> the profile's derivative with respect to |m|
// is a one-sided difference quotient with the step 0.001, backward when |m| > 0.5 and
// forward otherwise (the elliptic library has no derivative in the modulus); the chain
// rule carries it onto the derivatives of m. |m| = 1 gives NaN angles; |m| > 1, where
// the elliptic integral does not exist, is refused with a clear error, whoever typed
// or spread the value.
#pragma once

#include <cmath>
#include <cstddef>
#include <type_traits>

#include "core/numerics/dual.h"
#include "relaxation/elliptic_profile.h"

// Throws std::domain_error naming m when |m| > 1.
void check_modulation_parameter(double m);

// The phase of sample i of n: i/n − 1/2, one period from −1/2 on.
inline double modulation_phase(std::size_t i, std::size_t n)
{
    return static_cast<double>(i) * (1.0 / static_cast<double>(n)) - 0.5;
}

template <class R>
class SpinModulation {
public:
    explicit SpinModulation(const R& m)
        : positive_(dual_value(m) >= 0.0), q_(positive_ ? m : -m), profile_(checked(dual_value(q_))),
          backward_(dual_value(q_) > 0.5), near_(dual_value(q_) + (backward_ ? -step : step))
    {
    }

    // True for m ≥ 0 (−0 included): cos ϑ follows sn.
    bool positive() const { return positive_; }

    // sn and cn of the phase x.
    void profile(double x, R& sn, R& cn) const
    {
        double s, c;
        profile_.at(x, s, c);
        if constexpr (std::is_same_v<R, double>) {
            sn = s;
            cn = c;
        } else {
            double s_near, c_near;
            near_.at(x, s_near, c_near);
            sn = with_slope(s, s_near);
            cn = with_slope(c, c_near);
        }
    }

    R sn(double x) const
    {
        const double s = profile_.sn(x);
        if constexpr (std::is_same_v<R, double>)
            return s;
        else
            return with_slope(s, near_.sn(x));
    }

    void angle(double x, R& cos_theta, R& sin_theta) const
    {
        R s, c;
        profile(x, s, c);
        cos_theta = positive_ ? s : c;
        sin_theta = positive_ ? c : s;
    }

    // sin²ϑ and the Legendre value P = (3·cos²ϑ − 1)/2, both from sn alone.
    void legendre(double x, R& sin2, R& p2) const
    {
        const R s = sn(x);
        const R s2 = s * s;
        sin2 = positive_ ? 1.0 - s2 : s2;
        p2 = positive_ ? s2 * 1.5 - 0.5 : 1.0 - s2 * 1.5;
    }

private:
    static constexpr double step = 0.001;

    static double checked(double q)
    {
        check_modulation_parameter(q);
        return q;
    }

    // The profile value f with the derivatives of |m| times the difference quotient.
    R with_slope(double f, double f_near) const
    {
        const double slope = backward_ ? (f - f_near) * 1000.0 : (f_near - f) * 1000.0;
        return dual_apply(q_, f, slope);
    }

    bool positive_;
    R q_;  // |m| with its derivatives
    EllipticProfile profile_;
    bool backward_;
    EllipticProfile near_;  // at |m| ∓ 0.001; read on Dual<N> only
};
