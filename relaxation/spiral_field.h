// The field of a spiral-like spin structure at the phase qx of its period: the component
// along the gradient's principal axis c = c₀ + Σ a_k·sin(k·qx + φ) and the one across it
// b = b₀ + r·Σ a_k·cos(k·qx), over the odd harmonics k = 1, 3, …, 15. With
// S = Σ a_k·sin(k·qx) and C = Σ a_k·cos(k·qx), plain numbers times the amplitudes,
// sin(k·qx + φ) expands to c = c₀ + S·cos φ + C·sin φ: the phase's sine and cosine are
// formed once per evaluation, not per harmonic and phase.
#pragma once

#include <array>
#include <cmath>
#include <algorithm>
#include <cstddef>
#include <span>

#include "core/numerics/dual.h"
#include "lineshapes/radians.h"

inline constexpr double two_pi = 6.283185307179586;
inline constexpr std::size_t odd_harmonic_count = 8;

// qx = i·(2π/n), from 0 on, one period without its end.
inline double period_angle(std::size_t i, std::size_t n)
{
    return static_cast<double>(i) * (two_pi / static_cast<double>(n));
}

// The eight amplitudes p[first] … p[first + 7].
inline std::array<double, odd_harmonic_count> odd_amplitudes(std::span<const double> p, std::size_t first)
{
    std::array<double, odd_harmonic_count> a;
    std::copy_n(p.begin() + static_cast<std::ptrdiff_t>(first), odd_harmonic_count, a.begin());
    return a;
}

// sin(k·qx) and cos(k·qx) of the odd k = 1, 3, …, 15.
struct OddHarmonics {
    explicit OddHarmonics(double qx)
    {
        for (std::size_t j = 0; j < odd_harmonic_count; ++j) {
            const double k = static_cast<double>(2 * j + 1);
            sin[j] = std::sin(k * qx);
            cos[j] = std::cos(k * qx);
        }
    }

    template <class R>
    static R sum(const std::array<R, odd_harmonic_count>& amplitudes, const std::array<double, odd_harmonic_count>& f)
    {
        R s = amplitudes[0] * f[0];
        for (std::size_t j = 1; j < odd_harmonic_count; ++j)
            s += amplitudes[j] * f[j];
        return s;
    }

    std::array<double, odd_harmonic_count> sin, cos;
};

template <class R>
struct FieldComponents {
    R b, c;
    R squared() const { return b * b + c * c; }
};

template <class R>
class SpiralField {
public:
    // b_offset is b₀ (the NMR model adds its c offset scaled by the ratio); phi in degrees.
    SpiralField(const R& b_offset, const R& c_offset, const R& ratio, const R& phi,
                const std::array<R, odd_harmonic_count>& amplitudes)
        : b_offset_(b_offset), c_offset_(c_offset), ratio_(ratio), amplitudes_(amplitudes)
    {
        sin_cos(to_radians(phi), sin_phi_, cos_phi_);
    }

    FieldComponents<R> operator()(double qx) const
    {
        const OddHarmonics h(qx);
        const R s = OddHarmonics::sum(amplitudes_, h.sin);
        const R c = OddHarmonics::sum(amplitudes_, h.cos);
        return {b_offset_ + ratio_ * c, c_offset_ + (s * cos_phi_ + c * sin_phi_)};
    }

private:
    R b_offset_, c_offset_, ratio_;
    std::array<R, odd_harmonic_count> amplitudes_;
    R sin_phi_, cos_phi_;
};

// cos² of the angle between the field and the c axis, 1 for a zero field.
template <class R>
R axial_cos2(const FieldComponents<R>& f, const R& squared)
{
    return squared == 0.0 ? R(1.0) : f.c * f.c / squared;
}
