// The line-shape response of a chain of levels between which a nucleus's environment
// jumps: for the complex tridiagonal system
//     lower_i·x_(i−1) + (σ_i − lower_i − upper_i)·x_i + upper_i·x_(i+1) = 1   (i = 0 … n−1)
// (lower_0 and upper_(n−1) not read; σ_i the level's complex damping and detuning, the
// rates real and not negative) it returns Σ weight_i·Re x_i.
//
// Method: Thomas elimination without pivoting, carried in excess form. Every row of the
// rate part sums to zero, so each pivot t_i is written as e_i − upper_i and only the
// excess e_i = σ_i + lower_i·(−e_(i−1)/t_(i−1)) is propagated. Forming the diagonal
// σ_i − lower_i − upper_i first and eliminating it would lose σ_i to cancellation once
// the rates dwarf |σ| (the last pivot is the difference of two rates); here no step
// subtracts quantities of one sign: Re e_i ≤ Re σ_i < 0, |e_i/t_i| ≤ 1, and the real
// parts of t_i are sums of negative terms. So the result keeps full precision from the
// static limit to rates far beyond the line widths, and the weights never enter the
// elimination (no ratio of populations can overflow it).
//
// Generic over the real type R (double or Dual<N>); the scratch holds 2·n complex
// numbers on the heap, allocated once by the caller and reused for every solve.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numerics/dual.h"

template <class R>
class LevelChain {
public:
    explicit LevelChain(std::size_t n) : inverse_re_(n), inverse_im_(n), forward_re_(n), forward_im_(n) {}

    std::size_t size() const { return inverse_re_.size(); }

    // damping(i) and detuning(i) give Re σ_i (negative) and Im σ_i.
    template <class Damping, class Detuning>
    R response(const R* lower, const R* upper, const R* weight, Damping&& damping, Detuning&& detuning)
    {
        const std::size_t n = size();
        R e_re = damping(0), e_im = detuning(0);
        R y_re = 1.0, y_im = 0.0;  // 1 − lower_i·y_(i−1), then y_i
        for (std::size_t i = 0;; ++i) {
            R t_re = e_re;
            if (i + 1 < n)
                t_re -= upper[i];
            const R& t_im = e_im;
            // 1/t by Smith's scaling.
            R q_re, q_im;
            if (std::fabs(dual_value(t_re)) >= std::fabs(dual_value(t_im))) {
                const R w = t_im / t_re;
                const R d = 1.0 / (t_re + w * t_im);
                q_re = d;
                q_im = -(w * d);
            } else {
                const R w = t_re / t_im;
                const R d = 1.0 / (t_im + w * t_re);
                q_re = w * d;
                q_im = -d;
            }
            R f_re = y_re * q_re - y_im * q_im;
            R f_im = y_re * q_im + y_im * q_re;
            inverse_re_[i] = q_re;
            inverse_im_[i] = q_im;
            forward_re_[i] = f_re;
            forward_im_[i] = f_im;
            if (i + 1 == n)
                break;
            // e_(i+1) = σ_(i+1) + lower_(i+1)·(−e_i/t_i)
            const R& l = lower[i + 1];
            const R r_re = e_im * q_im - e_re * q_re;
            const R r_im = -(e_re * q_im + e_im * q_re);
            e_re = damping(i + 1) + l * r_re;
            e_im = detuning(i + 1) + l * r_im;
            y_re = 1.0 - l * f_re;
            y_im = -(l * f_im);
        }
        // Back substitution x_i = y_i − (upper_i/t_i)·x_(i+1), accumulating the weighted
        // real parts.
        R x_re = forward_re_[n - 1], x_im = forward_im_[n - 1];
        R sum = weight[n - 1] * x_re;
        for (std::size_t i = n - 1; i-- > 0;) {
            const R c_re = upper[i] * inverse_re_[i];
            const R c_im = upper[i] * inverse_im_[i];
            const R next_re = forward_re_[i] - (c_re * x_re - c_im * x_im);
            x_im = forward_im_[i] - (c_re * x_im + c_im * x_re);
            x_re = next_re;
            sum += weight[i] * x_re;
        }
        return sum;
    }

private:
    std::vector<R> inverse_re_, inverse_im_;  // 1/t_i
    std::vector<R> forward_re_, forward_im_;  // y_i of the forward sweep
};
