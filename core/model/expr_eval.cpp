// Evaluation of a compiled expression: one pass over its instructions on a stack of dual
// numbers (value, then one derivative per distinct reference) held on the calling
// thread's stack, so that any number of threads may evaluate one Expr at once and an
// evaluation of an expression with few references never touches the heap. An expression
// with many references (the long sums of a distribution's statistics) takes its gradient
// by reverse accumulation instead, whose cost does not grow with their number.
//
// Functions apply through the chain rule (value f, every derivative times f′). The
// standard error is √(gᵀ V g) with g the derivatives and V the covariance of the
// referenced parameters; variables ("$" names) count as independent of each other and
// of the parameters, each with its own standard deviation.
#include <algorithm>
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

// The value a push instruction puts on the stack: its number, or the variable's or the
// parameter's value (NaN beyond its vector).
double pushed_value(const ExprInstruction& in, const DVector& params, const DVector& variables)
{
    if (in.arg == 1)
        return in.value;
    if (in.id >= Expr::variable_id_base) {
        const unsigned v = in.id - Expr::variable_id_base;
        return v < variables.size() ? variables(v) : not_a_number;
    }
    return in.id < params.size() ? params(in.id) : not_a_number;
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
            next[0] = pushed_value(in, params, variables);
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

double Expr::run_adjoint(const DVector& params, const DVector& variables, double* gradient) const
{
    // An instruction's operands (the instructions that made them) and its partial
    // derivatives by them.
    struct Step {
        int left = -1, right = -1;
        double by_left = 0.0, by_right = 0.0;
    };
    // A stack entry: its value, the instruction that made it, and whether it depends on
    // a reference (a power's exponent that does not is a constant).
    struct Entry {
        double value;
        int step;
        bool dependent;
    };
    std::vector<Step> steps(instructions_.size());
    std::vector<Entry> stack;
    stack.reserve(max_depth_);
    for (std::size_t k = 0; k < instructions_.size(); ++k) {
        const ExprInstruction& in = instructions_[k];
        const int step = static_cast<int>(k);
        if (in.op == 'P') {
            stack.push_back({pushed_value(in, params, variables), step, in.arg == 0});
            continue;
        }
        if (stack.empty())
            continue;
        Entry& top = stack.back();
        if (in.op == 'F') {
            double x[2] = {top.value, 1.0};
            apply_function(in.arg, x, 1);
            steps[k] = {top.step, -1, x[1], 0.0};
            top = {x[0], step, top.dependent};
            continue;
        }
        if (stack.size() < 2)
            continue;
        // The partials by the same arithmetic as run's, on two seeded derivatives.
        const Entry right = top;
        Entry& left = stack[stack.size() - 2];
        double a[3] = {left.value, 1.0, 0.0};
        const double b[3] = {right.value, 0.0, right.dependent ? 1.0 : 0.0};
        switch (in.op) {
        case '+': dual_add(a, b, 2); break;
        case '-': dual_sub(a, b, 2); break;
        case '*': dual_mul(a, b, 2); break;
        case '/': dual_div(a, b, 2); break;
        case '^': power(a, b, 2); break;
        default: continue;  // not an instruction: skipped
        }
        steps[k] = {left.step, right.step, a[1], a[2]};
        left = {a[0], step, left.dependent || right.dependent};
        stack.pop_back();
    }
    if (stack.empty())
        return not_a_number;

    std::vector<double> adjoint(instructions_.size(), 0.0);
    adjoint[static_cast<std::size_t>(stack.back().step)] = 1.0;
    for (std::size_t k = instructions_.size(); k-- > 0;) {
        const ExprInstruction& in = instructions_[k];
        if (in.op == 'P') {
            if (in.arg == 0)
                gradient[in.slot] += adjoint[k];
            continue;
        }
        const Step& s = steps[k];
        if (s.left >= 0)
            adjoint[static_cast<std::size_t>(s.left)] += adjoint[k] * s.by_left;
        if (s.right >= 0)
            adjoint[static_cast<std::size_t>(s.right)] += adjoint[k] * s.by_right;
    }
    return stack.back().value;
}

// Beyond this many references the dual numbers of run cost more than the bookkeeping of
// run_adjoint.
constexpr std::size_t adjoint_references = 24;

template <class F>
auto Expr::with_gradient(const DVector& params, const DVector& variables, F&& f) const
{
    if (references_.size() <= adjoint_references)
        return with_stack(true, [&](double* stack) {
            run(params, variables, stack, true);
            return f(stack[0], static_cast<const double*>(stack + 1));
        });
    std::vector<double> gradient(references_.size(), 0.0);
    const double value = run_adjoint(params, variables, gradient.data());
    return f(value, static_cast<const double*>(gradient.data()));
}

double Expr::propagated_error(const double* g, const DMatrix& covariance, const DVector& variable_deviations) const
{
    // The references are sorted: the parameters inside the matrix first, then those
    // beyond it, then the variables.
    const auto begin = references_.begin();
    const std::size_t inside = std::lower_bound(begin, references_.end(), std::min<std::size_t>(covariance.size2(), variable_id_base)) - begin;
    const std::size_t parameters = std::lower_bound(begin, references_.end(), variable_id_base) - begin;
    double sum = 0.0;
    for (std::size_t i = 0; i < inside && references_[i] < covariance.size1(); ++i) {
        const double* row = &covariance(references_[i], 0);
        double dot = 0.0;
        for (std::size_t j = 0; j < inside; ++j)
            dot += g[j] * row[references_[j]];
        sum += g[i] * dot;
    }
    for (std::size_t i = parameters; i < references_.size(); ++i) {
        const unsigned v = references_[i] - variable_id_base;
        const double sigma = v < variable_deviations.size() ? variable_deviations(v) : 0.0;
        sum += g[i] * g[i] * sigma * sigma;
    }
    return std::sqrt(sum);
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
    return with_gradient(params, DVector(), [&](double value, const double* g) {
        if (gradient.size() != params.size())
            gradient.resize(params.size(), false);
        std::fill(gradient.begin(), gradient.end(), 0.0);
        for (std::size_t s = 0; s < references_.size(); ++s)
            if (references_[s] < gradient.size())
                gradient(references_[s]) = g[s];
        return value;
    });
}

double Expr::value_with_variance(const DVector& params, const DMatrix& covariance, double& error) const
{
    return with_gradient(params, DVector(), [&](double value, const double* g) {
        error = propagated_error(g, covariance, DVector());
        return value;
    });
}

double Expr::value_with_variance_ext(const DVector& params, const DMatrix& covariance, const DVector& variables,
                                     const DVector& variable_deviations, double& error) const
{
    const bool no_covariance = covariance.size1() == 0 || covariance.size1() != covariance.size2();
    const bool unknown = (!params.empty() && no_covariance) || (!variables.empty() && variable_deviations.empty());
    if (unknown) {
        error = 0.0;
        return with_stack(false, [&](double* stack) {
            run(params, variables, stack, false);
            return stack[0];
        });
    }
    return with_gradient(params, variables, [&](double value, const double* g) {
        error = propagated_error(g, covariance, variable_deviations);
        return value;
    });
}

double Expr::value_and_reference_gradient(const DVector& params, const DVector& variables,
                                          std::vector<double>& g) const
{
    return with_gradient(params, variables, [&](double value, const double* derivatives) {
        g.assign(derivatives, derivatives + references_.size());
        return value;
    });
}

void Expr::used_params(std::set<unsigned>& out) const
{
    for (unsigned id : references_)
        if (id < variable_id_base)
            out.insert(id);
}
