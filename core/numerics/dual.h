// Forward-mode automatic differentiation: Dual<N> carries a value and its N partial
// derivatives as N + 1 consecutive doubles, so one pass of a formula written for a
// generic number type yields the value and all derivatives, exact to rounding.
//
// The routines dual_* work on raw double buffers whose derivative count is known only
// at run time (the expression evaluator's stack slots); the fixed-N operators inline
// them with n = N. Their loops are unrolled by request: with a constant count up to 23
// they unroll completely, the numbers stay in registers, and a formula costs about
// N + 1 times its cost on doubles (a rolled loop leaves scalar stores that wide loads
// must wait for). Nothing here allocates or throws: NaN and infinities propagate by
// IEEE arithmetic.
#pragma once

#include <cmath>
#include <compare>
#include <cstddef>
#include <limits>
#include <type_traits>

// a[i] += b[i] for i = 0..n.
inline void dual_add(double* a, const double* b, unsigned n)
{
#pragma GCC unroll 24
    for (unsigned i = 0; i <= n; ++i)
        a[i] += b[i];
}

// a[i] -= b[i] for i = 0..n.
inline void dual_sub(double* a, const double* b, unsigned n)
{
#pragma GCC unroll 24
    for (unsigned i = 0; i <= n; ++i)
        a[i] -= b[i];
}

// a[i] *= k for i = 0..n. k is read once, so it may refer to an element of a.
inline void dual_scale(double* a, const double& k, unsigned n)
{
    const double factor = k;
#pragma GCC unroll 24
    for (unsigned i = 0; i <= n; ++i)
        a[i] *= factor;
}

// d := -s by flipping every sign bit (+0 becomes -0); d may be s.
inline void dual_neg(double* d, const double* s, unsigned n)
{
#pragma GCC unroll 24
    for (unsigned i = 0; i <= n; ++i)
        d[i] = -s[i];
}

// a := a * b by the product rule; a and b may be the same number.
inline void dual_mul(double* a, const double* b, unsigned n)
{
    const double a0 = a[0];
    const double b0 = b[0];
#pragma GCC unroll 24
    for (unsigned i = 1; i <= n; ++i)
        a[i] = b[i] * a0 + b0 * a[i];
    a[0] = a0 * b0;
}

// a := a / b by the quotient rule, with the old value of a throughout; the value is
// multiplied by the reciprocal. The derivatives are (a′ − b′·q)/b with the quotient q,
// never (a′·b − b′·a)/b²: 1/b² underflows for |b| above 1e154 (rates far in their fast
// limit) and a′·b overflows, where the quotient and its derivatives are ordinary
// numbers. q is divided, not multiplied by the reciprocal, so that it is exactly 1 for
// equal values and a number over itself has derivatives of exactly 0. a and b may be
// the same number.
inline void dual_div(double* a, const double* b, unsigned n)
{
    const double b0 = b[0];
    const double r = 1.0 / b0;
    const double q = a[0] / b0;
#pragma GCC unroll 24
    for (unsigned i = 1; i <= n; ++i)
        a[i] = (a[i] - b[i] * q) * r;
    a[0] *= r;
}

// Applies a function whose value f and derivative df the caller computed from x[0]:
// x[0] := f, x[i] *= df. Both are read before x changes.
inline void dual_chain(double* x, const double* f, const double* df, unsigned n)
{
    const double value = *f;
    const double slope = *df;
    x[0] = value;
#pragma GCC unroll 24
    for (unsigned i = 1; i <= n; ++i)
        x[i] *= slope;
}

template <std::size_t N>
class Dual {
    static_assert(N >= 1, "a dual number carries at least one derivative");

public:
    // Uninitialised like a double; Dual<N>{} and Dual<N>() are all zero.
    Dual() = default;
    // A constant: the value with all derivatives zero.
    constexpr Dual(double value) : v_{value} {}

    // The k-th seeded quantity (k from 0): unit derivative at element k + 1.
    static constexpr Dual seed(double value, std::size_t k)
    {
        Dual d(value);
        d.v_[k + 1] = 1.0;
        return d;
    }

    constexpr double& operator[](std::size_t i) { return v_[i]; }
    constexpr const double& operator[](std::size_t i) const { return v_[i]; }
    constexpr double* data() { return v_; }
    constexpr const double* data() const { return v_; }

    Dual& operator+=(const Dual& b) { dual_add(v_, b.v_, N); return *this; }
    Dual& operator-=(const Dual& b) { dual_sub(v_, b.v_, N); return *this; }
    Dual& operator*=(const Dual& b) { dual_mul(v_, b.v_, N); return *this; }
    Dual& operator/=(const Dual& b) { dual_div(v_, b.v_, N); return *this; }
    Dual& operator+=(double c) { v_[0] += c; return *this; }
    Dual& operator-=(double c) { v_[0] -= c; return *this; }
    Dual& operator*=(double c) { dual_scale(v_, c, N); return *this; }
    // By a constant: scaling by its reciprocal, the value rounding as in a dual quotient.
    Dual& operator/=(double c)
    {
        const double r = 1.0 / c;
        dual_scale(v_, r, N);
        return *this;
    }

    friend Dual operator+(Dual a, const Dual& b) { a += b; return a; }
    friend Dual operator-(Dual a, const Dual& b) { a -= b; return a; }
    friend Dual operator*(Dual a, const Dual& b) { a *= b; return a; }
    friend Dual operator/(Dual a, const Dual& b) { a /= b; return a; }
    friend Dual operator+(Dual a, double c) { a += c; return a; }
    friend Dual operator+(double c, Dual a) { a += c; return a; }
    friend Dual operator-(Dual a, double c) { a -= c; return a; }
    friend Dual operator*(Dual a, double c) { a *= c; return a; }
    friend Dual operator*(double c, Dual a) { a *= c; return a; }
    friend Dual operator/(Dual a, double c) { a /= c; return a; }
    // The constant c as a dual number, then the dual operation.
    friend Dual operator-(double c, const Dual& a) { Dual d(c); d -= a; return d; }
    friend Dual operator/(double c, const Dual& a) { Dual d(c); d /= a; return d; }

    friend Dual operator-(const Dual& a)
    {
        Dual d;
        dual_neg(d.v_, a.v_, N);
        return d;
    }
    friend Dual operator+(const Dual& a) { return a; }

    // Comparisons read the values only; NaN compares unordered.
    friend constexpr bool operator==(const Dual& a, const Dual& b) { return a.v_[0] == b.v_[0]; }
    friend constexpr bool operator==(const Dual& a, double c) { return a.v_[0] == c; }
    friend constexpr std::partial_ordering operator<=>(const Dual& a, const Dual& b) { return a.v_[0] <=> b.v_[0]; }
    friend constexpr std::partial_ordering operator<=>(const Dual& a, double c) { return a.v_[0] <=> c; }

private:
    double v_[N + 1];
};

static_assert(sizeof(Dual<1>) == 2 * sizeof(double));
static_assert(sizeof(Dual<23>) == 24 * sizeof(double));
static_assert(std::is_trivially_copyable_v<Dual<3>> && std::is_standard_layout_v<Dual<3>>);

// A function applied to x, given its value f and derivative df at x[0]: the one way
// an elementary function reaches a dual number.
template <std::size_t N>
Dual<N> dual_apply(Dual<N> x, double f, double df)
{
    dual_chain(x.data(), &f, &df, N);
    return x;
}

// On a plain number only the value remains.
inline double dual_apply(double, double f, double)
{
    return f;
}

// The value of a number, plain or dual.
inline double dual_value(double x)
{
    return x;
}

template <std::size_t N>
double dual_value(const Dual<N>& x)
{
    return x[0];
}

// The chain rule through R intermediate quantities u₀ … u_{R−1} (preaccumulation), for
// a block of P points at a time: derivative k of a function f at point p is
// Σᵣ ∂f/∂uᵣ(p) · uᵣ'[k], summed over r in order, where the derivatives uᵣ' are the same
// at every point. Only the products with a nonzero uᵣ'[k] are formed: an intermediate
// such as a line's position or width depends on few of the parameters. Each sum runs
// over the points of the block, which keeps the arithmetic in full vector registers.
template <std::size_t R, std::size_t N>
class DualChainRule {
public:
    // Takes the derivatives of the next intermediate, u; R times at most.
    void push_intermediate(const Dual<N>& u)
    {
        const std::size_t r = intermediates_++;
        for (std::size_t k = 0; k < N; ++k) {
            if (u[k + 1] != 0.0) {
                const std::size_t i = count_[k]++;
                index_[k][i] = r;
                derivative_[k][i] = u[k + 1];
            }
        }
    }

    // partials[r][p] = ∂f/∂uᵣ at point p; writes the N derivatives of out[p] for
    // p < count. Every partial is read, also those from count on.
    template <std::size_t P>
    void apply(const double (&partials)[R][P], std::size_t count, Dual<N>* out) const
    {
        for (std::size_t k = 0; k < N; ++k) {
            double sum[P] = {};
            for (std::size_t i = 0; i < count_[k]; ++i) {
                const double d = derivative_[k][i];
                const double* c = partials[index_[k][i]];
                for (std::size_t p = 0; p < P; ++p)
                    sum[p] += c[p] * d;
            }
            for (std::size_t p = 0; p < count; ++p)
                out[p][k + 1] = sum[p];
        }
    }

private:
    std::size_t intermediates_ = 0;
    // Derivative k: the intermediates with a nonzero one, in order, and their values.
    std::size_t count_[N] = {};
    std::size_t index_[N][R];
    double derivative_[N][R];
};

// Elementary functions, found by argument-dependent lookup from generic formulas that
// say `using std::exp;` and so on.

template <std::size_t N>
Dual<N> exp(const Dual<N>& x)
{
    const double f = std::exp(x[0]);
    return dual_apply(x, f, f);
}

template <std::size_t N>
Dual<N> log(const Dual<N>& x)
{
    return dual_apply(x, std::log(x[0]), 1.0 / x[0]);
}

template <std::size_t N>
Dual<N> sqrt(const Dual<N>& x)
{
    const double f = std::sqrt(x[0]);
    return dual_apply(x, f, 0.5 / f);
}

template <std::size_t N>
Dual<N> pow(const Dual<N>& x, double p)
{
    return dual_apply(x, std::pow(x[0], p), p * std::pow(x[0], p - 1.0));
}

template <std::size_t N>
Dual<N> abs(const Dual<N>& x)
{
    return dual_apply(x, std::fabs(x[0]), x[0] < 0.0 ? -1.0 : 1.0);
}

template <std::size_t N>
Dual<N> sin(const Dual<N>& x)
{
    return dual_apply(x, std::sin(x[0]), std::cos(x[0]));
}

template <std::size_t N>
Dual<N> cos(const Dual<N>& x)
{
    return dual_apply(x, std::cos(x[0]), -std::sin(x[0]));
}

template <std::size_t N>
Dual<N> tan(const Dual<N>& x)
{
    const double f = std::tan(x[0]);
    return dual_apply(x, f, 1.0 + f * f);
}

template <std::size_t N>
Dual<N> asin(const Dual<N>& x)
{
    return dual_apply(x, std::asin(x[0]), 1.0 / std::sqrt(1.0 - x[0] * x[0]));
}

template <std::size_t N>
Dual<N> acos(const Dual<N>& x)
{
    return dual_apply(x, std::acos(x[0]), -1.0 / std::sqrt(1.0 - x[0] * x[0]));
}

template <std::size_t N>
Dual<N> atan(const Dual<N>& x)
{
    return dual_apply(x, std::atan(x[0]), 1.0 / (1.0 + x[0] * x[0]));
}

// Sine and cosine of one argument, sharing the two transcendental calls on Dual<N>.
inline void sin_cos(double x, double& s, double& c)
{
    s = std::sin(x);
    c = std::cos(x);
}

template <std::size_t N>
void sin_cos(Dual<N> x, Dual<N>& s, Dual<N>& c)
{
    const double sv = std::sin(x[0]);
    const double cv = std::cos(x[0]);
    s = dual_apply(x, sv, cv);
    c = dual_apply(x, cv, -sv);
}

// The quiet NaN is a NaN value with all derivatives zero.
namespace std {
template <std::size_t N>
class numeric_limits<Dual<N>> : public numeric_limits<double> {
    using base = numeric_limits<double>;

public:
    static constexpr Dual<N> min() noexcept { return base::min(); }
    static constexpr Dual<N> max() noexcept { return base::max(); }
    static constexpr Dual<N> lowest() noexcept { return base::lowest(); }
    static constexpr Dual<N> epsilon() noexcept { return base::epsilon(); }
    static constexpr Dual<N> round_error() noexcept { return base::round_error(); }
    static constexpr Dual<N> infinity() noexcept { return base::infinity(); }
    static constexpr Dual<N> quiet_NaN() noexcept { return base::quiet_NaN(); }
    static constexpr Dual<N> signaling_NaN() noexcept { return base::signaling_NaN(); }
    static constexpr Dual<N> denorm_min() noexcept { return base::denorm_min(); }
};
}  // namespace std
