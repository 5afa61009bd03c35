// Root j of 1 + Σᵢ cᵢ/(δᵢ − λ) = 0. The sum splits into ψ (the poles δ₀..δⱼ, left of the
// root) and φ (the poles right of it). At the current point each part is replaced by the
// one rational function a + b/(δ − λ) with its nearest pole that matches its value and
// slope there; the model's root, from a quadratic, is the next point (for the last root,
// which has no pole on its right, φ is zero and the model's root is explicit). The model
// is exact for the two nearest poles, so the iteration converges fast even for a root
// next to a pole; a point outside the bracket is replaced by the bracket's midpoint.
#include "core/fit/secular_equation.h"

#include <cmath>
#include <limits>

namespace {

// The root of A·η² − B·η + C = 0 in (low, high), or NaN when neither root lies there.
double quadratic_root_between(double a, double b, double c, double low, double high)
{
    double r1, r2;
    if (a == 0.0) {
        r1 = r2 = c / b;
    } else {
        const double root = std::sqrt(std::fmax(b * b - 4.0 * a * c, 0.0));
        // Each root from the form without cancellation.
        const double q = b >= 0.0 ? b + root : b - root;
        r1 = q / (2.0 * a);
        r2 = q != 0.0 ? 2.0 * c / q : 0.0;
    }
    if (r1 > low && r1 < high)
        return r1;
    if (r2 > low && r2 < high)
        return r2;
    return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

SecularRoot secular_root(const Eigen::Ref<const Eigen::VectorXd>& delta, const Eigen::Ref<const Eigen::VectorXd>& c,
                         Eigen::Index j)
{
    constexpr double eps = std::numeric_limits<double>::epsilon();
    const Eigen::Index k = delta.size();
    const bool last = j + 1 == k;

    // The origin is the pole nearer the root: the sign of f at the midpoint tells (f
    // rises from −∞ to +∞ between two poles).
    Eigen::Index origin = j;
    double low = 0.0, high;
    if (last) {
        // f(δⱼ + Σc) ≥ 0; the margin covers the sum's rounding.
        high = c.sum() * (1.0 + 8.0 * eps);
    } else {
        const double half = 0.5 * (delta(j + 1) - delta(j));
        double f = 1.0;
        for (Eigen::Index i = 0; i < k; ++i)
            f += c(i) / ((delta(i) - delta(j)) - half);
        if (f >= 0.0) {
            high = half;
        } else {
            origin = j + 1;
            low = -half;
            high = 0.0;
        }
    }
    const double left_pole = delta(j) - delta(origin);
    const double right_pole = last ? 0.0 : delta(j + 1) - delta(origin);

    double tau = 0.5 * (low + high);
    for (int iteration = 0; iteration < 200; ++iteration) {
        double psi = 0.0, dpsi = 0.0, phi = 0.0, dphi = 0.0;
        for (Eigen::Index i = 0; i <= j; ++i) {
            const double inverse = 1.0 / ((delta(i) - delta(origin)) - tau);
            const double t = c(i) * inverse;
            psi += t;
            dpsi += t * inverse;
        }
        for (Eigen::Index i = j + 1; i < k; ++i) {
            const double inverse = 1.0 / ((delta(i) - delta(origin)) - tau);
            const double t = c(i) * inverse;
            phi += t;
            dphi += t * inverse;
        }
        const double f = 1.0 + psi + phi;
        // The rounding of f: of its terms (ψ ≤ 0 ≤ φ), and of the differences through τ.
        if (std::fabs(f) <= eps * (8.0 * (1.0 - psi + phi) + std::fabs(tau) * (dpsi + dphi)))
            break;
        if (f < 0.0)
            low = tau;
        else
            high = tau;

        const double dp = left_pole - tau;  // < 0
        const double b1 = dpsi * dp * dp;
        double step;
        if (last) {
            const double constant = 1.0 + psi - dpsi * dp;
            step = constant > 0.0 ? dp + b1 / constant : std::numeric_limits<double>::quiet_NaN();
        } else {
            const double dq = right_pole - tau;  // > 0
            const double b2 = dphi * dq * dq;
            const double constant = 1.0 + (psi - dpsi * dp) + (phi - dphi * dq);
            // constant·(dp − η)(dq − η) + b1·(dq − η) + b2·(dp − η) = 0
            step = quadratic_root_between(constant, constant * (dp + dq) + b1 + b2, dp * dq * f, dp, dq);
        }
        double next = tau + step;
        if (!(next > low && next < high))
            next = 0.5 * (low + high);
        if (next == tau)
            break;
        tau = next;
    }
    return {origin, tau};
}
