// Evaluation of a compiled expression: one pass over its instructions on a stack of dual
// numbers (value, then one derivative per distinct reference) held on the calling
// thread's stack, so that any number of threads may evaluate one Expr at once and an
// evaluation never touches the heap.
//
// Functions apply through the chain rule (value f, every derivative times f′). The
// standard error is √(gᵀ V g) with g the derivatives and V the covariance of the
// referenced parameters; variables ("$" names) count as independent of each other and
// of the parameters, each with its own standard deviation.
#include <cmath>
#include <limits>
#include <vector>

#include <boost/math/special_functions/ellint_rf.hpp>
#include <boost/math/special_functions/ellint_rg.hpp>

#include "core/numerics/dual.h"
#include "core/model/expr.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();
constexpr double degree = 0.017453292519943295;        // π/180
constexpr double radian_degrees = 57.29577951308232;   // 180/π

// Stacks up to this many doubles (128 KiB) come from the thread's stack; only a text of
// extraordinary size and nesting needs more, and takes it from the heap.
constexpr std::size_t max_stack_doubles = 16384;

// Entry (row, column) of the covariance matrix; 0 outside it.
double covariance_at(const DMatrix& v, unsigned row, unsigned column)
{
    return row < v.size1() && column < v.size2() ? v(row, column) : 0.0;
}

// dK/dm near m = 0, where the closed form loses its digits to cancellation (and is 0/0
// at m = 0): the series π/2·(1/4 + 9m/32 + 75m²/256 + 1225m³/4096 + 19845m⁴/65536).
double elliptic_k_slope_near_zero(double m)
{
    const double series = 0.25 + m * (0.28125 + m * (0.29296875 + m * (0.299072265625 + m * 0.3028106689453125)));
    return 1.5707963267948966 * series;
}

}  // namespace

void elliptic_k_derivative(double* x, unsigned r)
{
    const double m = x[0];
    if (!(m >= 0.0 && m < 1.0)) {
        // m > 1 or NaN has no value; K is infinite at m = 1, and an infinity there would
        // give infinite or NaN gradients anyway.
        for (unsigned i = 0; i <= r; ++i)
            x[i] = not_a_number;
        return;
    }
    // K(m) = R_F(0, 1 − m, 1) is ellint_1 of the modulus √m without the rounding of √m,
    // which would reach 1, and so the library's overflow, just below m = 1.
    const double K = boost::math::ellint_rf(0.0, 1.0 - m, 1.0);
    const double slope = m < 1e-3 ? elliptic_k_slope_near_zero(m)
                                  : (2.0 * boost::math::ellint_rg(0.0, 1.0 - m, 1.0) - (1.0 - m) * K) /
                                        (2.0 * m * (1.0 - m));
    dual_chain(x, &K, &slope, r);
}

void Expr::apply_function(int id, double* x, unsigned r)
{
    const double v = x[0];
    double f;
    double slope;
    switch (id) {
    case FnNegate:
        dual_neg(x, x, r);
        return;
    case FnAbs:
        if (v < 0.0)
            dual_neg(x, x, r);
        return;
    case FnEllipticK:
        elliptic_k_derivative(x, r);
        return;
    case FnLn:
        f = std::log(v);
        slope = 1.0 / v;
        break;
    case FnLg:
        f = std::log10(v);
        slope = 0.4342944819032518 / v;
        break;
    case FnExp:
        f = std::exp(v);
        slope = f;
        break;
    case FnSin:
        sin_cos(v, f, slope);
        break;
    case FnCos:
        sin_cos(v, slope, f);
        slope = -slope;
        break;
    case FnSinDeg:
        sin_cos(v * degree, f, slope);
        slope *= degree;
        break;
    case FnCosDeg:
        sin_cos(v * degree, slope, f);
        slope *= -degree;
        break;
    case FnAcos:
        f = std::acos(v);
        slope = -1.0 / std::sqrt(1.0 - v * v);
        break;
    case FnAsin:
        f = std::asin(v);
        slope = 1.0 / std::sqrt(1.0 - v * v);
        break;
    case FnAcosDeg:
        f = std::acos(v) * radian_degrees;
        slope = -radian_degrees / std::sqrt(1.0 - v * v);
        break;
    case FnAsinDeg:
        f = std::asin(v) * radian_degrees;
        slope = radian_degrees / std::sqrt(1.0 - v * v);
        break;
    default:
        return;
    }
    dual_chain(x, &f, &slope, r);
}

void Expr::power(double* a, const double* b, unsigned r)
{
    const double base = a[0];
    if (base == 0.0) {
        // 0 ^ anything is 0 with no slope (0^0 included).
        for (unsigned i = 1; i <= r; ++i)
            a[i] = 0.0;
        return;
    }
    const double p = std::pow(base, b[0]);
    const double q = b[0] / base;
    bool constant_exponent = true;
    for (unsigned i = 1; i <= r; ++i)
        constant_exponent = constant_exponent && b[i] == 0.0;
    if (base < 0.0 && b[0] > 0.0 && b[0] == std::floor(b[0]) && constant_exponent) {
        // A negative base to a constant whole power: ln of the base is not needed.
        for (unsigned i = 1; i <= r; ++i)
            a[i] = p * a[i] * q;
    } else {
        const double ln_base = std::log(base);
        for (unsigned i = 1; i <= r; ++i)
            a[i] = (b[i] * ln_base + a[i] * q) * p;
    }
    a[0] = p;
}

void Expr::run(const DVector& params, const DVector& variables, double* stack, bool derivatives) const
{
    const unsigned r = derivatives ? static_cast<unsigned>(references_.size()) : 0;
    const unsigned stride = r + 1;
    double* next = stack;  // the first free slot; the top slot is the one before it
    for (const ExprInstruction& in : instructions_) {
        if (in.op == 'P') {
            double value;
            if (in.arg == 1)
                value = in.value;
            else if (const unsigned v = in.id - variable_id_base; in.id >= variable_id_base)
                value = v < variables.size() ? variables(v) : not_a_number;
            else
                value = in.id < params.size() ? params(in.id) : not_a_number;
            next[0] = value;
            for (unsigned i = 1; i <= r; ++i)
                next[i] = 0.0;
            if (in.arg == 0 && derivatives)
                next[in.slot + 1] = 1.0;
            next += stride;
            continue;
        }
        double* const top = next - stride;
        if (in.op == 'F') {
            apply_function(in.arg, top, r);
            continue;
        }
        // Two operands: the slot below the top receives the result.
        double* const below = top - stride;
        switch (in.op) {
        case '+': dual_add(below, top, r); break;
        case '-': dual_sub(below, top, r); break;
        case '*': dual_mul(below, top, r); break;
        case '/': dual_div(below, top, r); break;
        case '^': power(below, top, r); break;
        default: continue;  // not an instruction: skipped
        }
        next = top;
    }
}

template <class F>
auto Expr::with_stack(bool derivatives, F&& f) const
{
    const std::size_t size = std::size_t(max_depth_) * (derivatives ? references_.size() + 1 : 1);
    if (size > max_stack_doubles) {
        std::vector<double> heap(size);
        return f(heap.data());
    }
    double stack[size ? size : 1];
    return f(stack);
}

double Expr::value(const DVector& params) const
{
    return with_stack(false, [&](double* stack) {
        run(params, DVector(), stack, false);
        return stack[0];
    });
}

double Expr::value_and_gradient(const DVector& params, DVector& gradient) const
{
    return with_stack(true, [&](double* stack) {
        run(params, DVector(), stack, true);
        if (gradient.size() != params.size())
            gradient.resize(params.size(), false);
        std::fill(gradient.begin(), gradient.end(), 0.0);
        for (std::size_t s = 0; s < references_.size(); ++s)
            if (references_[s] < gradient.size())
                gradient(references_[s]) = stack[s + 1];
        return stack[0];
    });
}

double Expr::value_with_variance(const DVector& params, const DMatrix& covariance, double& error) const
{
    return with_stack(true, [&](double* stack) {
        run(params, DVector(), stack, true);
        const double* g = stack + 1;
        double sum = 0.0;
        for (std::size_t i = 0; i < references_.size(); ++i)
            for (std::size_t j = 0; j < references_.size(); ++j)
                sum += g[i] * g[j] * covariance_at(covariance, references_[j], references_[i]);
        error = std::sqrt(sum);
        return stack[0];
    });
}

double Expr::value_with_variance_ext(const DVector& params, const DMatrix& covariance, const DVector& variables,
                                     const DVector& variable_deviations, double& error) const
{
    return with_stack(true, [&](double* stack) {
        run(params, variables, stack, true);
        const double* g = stack + 1;
        const bool no_covariance = covariance.size1() == 0 || covariance.size1() != covariance.size2();
        const bool unknown = (!params.empty() && no_covariance) || (!variables.empty() && variable_deviations.empty());
        double sum = 0.0;
        for (std::size_t i = 0; i < references_.size() && !unknown; ++i) {
            const unsigned pi = references_[i];
            for (std::size_t j = 0; j < references_.size(); ++j) {
                const unsigned pj = references_[j];
                if (pi < variable_id_base && pj < variable_id_base) {
                    sum += g[j] * g[i] * covariance_at(covariance, pi, pj);
                } else if (i == j) {
                    const unsigned v = pi - variable_id_base;
                    const double sigma = v < variable_deviations.size() ? variable_deviations(v) : 0.0;
                    sum += g[i] * g[j] * sigma * sigma;
                }
            }
        }
        error = unknown ? 0.0 : std::sqrt(sum);
        return stack[0];
    });
}

void Expr::used_params(std::set<unsigned>& out) const
{
    for (unsigned id : references_)
        if (id < variable_id_base)
            out.insert(id);
}
