// Levenberg-Marquardt minimisation of chi-square = Σ rᵢ² over the varied parameters v.
// Each iteration solves the damped normal equations (A + mu·I)·h = g, A = JᵀJ and
// g = Jᵀr, by singular value decomposition, shortens or pins the step at the parameter
// bounds, and accepts the step when the gain ratio rho (actual over predicted decrease
// of chi-square) is positive: mu then shrinks by max(1/3, 1 − (2·rho − 1)³), else it
// grows by nu, which doubles with every rejection in a row. At the end the covariance
// is the pseudo-inverse of A at the fitted values. Both decompositions judge which
// directions are undetermined with the matrix scaled to unit diagonal (core/svd.h).
#include "core/fit/lm_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "core/fit/fit_bounds.h"
#include "core/fit/fit_eval_context.h"
#include "core/fit/fit_points.h"
#include "core/fit/model_interfaces.h"
#include "core/spectrum/spectrum_data.h"
#include "core/fit/svd.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// The largest |xⱼ|; NaN when any entry is NaN, so that no test passes on it.
double max_abs(const DVector& x)
{
    double m = 0.0;
    for (double e : x) {
        if (std::isnan(e))
            return nan;
        m = std::max(m, std::fabs(e));
    }
    return m;
}

double norm2(const DVector& x)
{
    double s = 0.0;
    for (double e : x)
        s += e * e;
    return std::sqrt(s);
}

// What the fit works on: the varied parameters and the rows.
struct FitProblem {
    std::vector<unsigned> varied;  // flat indices, increasing
    DVector x;                     // fitted data points
    DVector y, sigma;              // data rows, then smoothness rows
    std::vector<FitDistribution> distributions;
};

std::vector<unsigned> varied_indices(const IDepVars* links, const std::vector<int>& mask)
{
    std::vector<int> dependent;
    if (links) {
        links->dependent_mask(dependent);
        if (dependent.size() != mask.size())
            dependent.clear();
    }
    std::vector<unsigned> varied;
    for (std::size_t i = 0; i < mask.size(); ++i)
        if (mask[i] != 0 && (dependent.empty() || dependent[i] == 0))
            varied.push_back(static_cast<unsigned>(i));
    return varied;
}

DVector to_dvector(const std::vector<double>& v)
{
    DVector d(v.size());
    std::copy(v.begin(), v.end(), d.begin());
    return d;
}

FitProblem build_problem(const IModel& model, const IModelData& data, const std::vector<int>& mask)
{
    FitProblem p;
    p.varied = varied_indices(dynamic_cast<const IDepVars*>(&model), mask);

    std::vector<double> x = data.x(), y = data.y(), sigma = data.std_dev();
    if (y.size() != x.size() || sigma.size() != x.size())
        throw std::runtime_error("The spectrum's x values, counts and deviations differ in number");
    // Velocities that are not finite cannot be ordered; check_problem refuses them.
    const auto* ranges = dynamic_cast<const IModelWithXRanges*>(&model);
    if (ranges && std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); }))
        select_fit_points(data, *ranges, x, y, sigma);

    if (const auto* dist = dynamic_cast<const IDistParams*>(&model)) {
        std::vector<DistPointParams> points;
        dist->scaled_point_params(data.analysis(model.is_emission()), points);
        for (const DistPointParams& d : points) {
            // A single weight has no second difference to smooth.
            if (d.deviations.size() < 2)
                continue;
            if (d.first_weight < 0 || d.first_weight + d.deviations.size() > model.param_count())
                throw std::out_of_range("Distribution weights lie outside the parameter vector");
            p.distributions.push_back({static_cast<unsigned>(d.first_weight),
                                       static_cast<unsigned>(d.deviations.size())});
            sigma.insert(sigma.end(), d.deviations.begin(), d.deviations.end());
            y.insert(y.end(), d.deviations.size(), 0.0);
        }
    }
    p.x = to_dvector(x);
    p.y = to_dvector(y);
    p.sigma = to_dvector(sigma);
    return p;
}

// The stops before any evaluation, in their order. Data that are not numbers would
// only give NaN chi-squares, every step rejected until nu runs out; a deviation of 0 or
// +infinity gives no usable weight (all of them infinite would look converged at once,
// with chi-square 0).
std::optional<FitStopCode> check_problem(const FitProblem& p)
{
    if (p.varied.size() >= p.y.size())
        return FitStopTooManyVariables;
    if (p.varied.empty())
        return FitStopNoVariables;
    const auto finite = [](double v) { return std::isfinite(v); };
    if (!std::all_of(p.x.begin(), p.x.end(), finite) || !std::all_of(p.y.begin(), p.y.end(), finite) ||
        std::any_of(p.sigma.begin(), p.sigma.end(), [](double s) { return std::isnan(s); }))
        return FitStopDataNotFinite;
    for (double s : p.sigma)
        if (!(s > 0.0) || std::isinf(s))
            return FitStopZeroStdDev;
    return std::nullopt;
}

// The iteration proper, over the varied values v.
class LevenbergMarquardt {
public:
    LevenbergMarquardt(FitEvalContext& context, std::vector<ParamBound> bounds, const FitSettings& settings,
                       IFitStepCallback* callback, const DVector& start, DVector v)
        : context_(context),
          bounds_(std::move(bounds)),
          settings_(settings),
          callback_(callback),
          start_(start),
          v_(std::move(v)),
          m_(v_.size()),
          a_(m_, m_),
          g_(m_),
          h_(m_),
          trial_(m_),
          degrees_of_freedom_(static_cast<double>(context.row_count() - m_))
    {
    }

    FitStopCode run()
    {
        clamp_to_bounds(bounds_, v_);
        evaluate({});
        if (max_abs(g_) < settings_.eps1)
            return FitStopSmallGradient;
        mu_ = settings_.tau * max_abs_diagonal();

        const bool use_eps4 = settings_.eps4 > 0.0;
        for (;;) {
            if (static_cast<long long>(k_) >= settings_.kmax)
                return FitStopIterationLimit;
            if (use_eps4 && !k_current_) {
                svd_pseudo_inverse(a_, k_matrix_, nullptr, svd_);
                k_current_ = true;
            }
            if (!svd_solve(a_, mu_, g_, h_, svd_)) {
                if (reject())
                    return FitStopNuTooLarge;
                continue;
            }
            if (use_eps4 && step_within_deviations())
                return FitStopSmallStepRelativeToStdDev;
            if (norm2(h_) <= settings_.eps2 * norm2(v_))
                return FitStopSmallStep;

            const std::vector<unsigned> previous_pins = std::move(pins_);
            pins_.clear();
            std::vector<unsigned> new_pins;
            const double alpha = limit_step(bounds_, v_, h_, previous_pins, new_pins);
            if (!new_pins.empty()) {
                std::sort(new_pins.begin(), new_pins.end());
                std::set_union(previous_pins.begin(), previous_pins.end(), new_pins.begin(), new_pins.end(),
                               std::back_inserter(pins_));
                evaluate(pins_);
                continue;
            }

            for (std::size_t j = 0; j < m_; ++j)
                trial_(j) = v_(j) + alpha * h_(j);
            const double trial_chi_square = context_.trial_chi_square(trial_);
            double predicted = 0.0;
            for (std::size_t j = 0; j < m_; ++j)
                predicted += h_(j) * (alpha * mu_ * h_(j) + g_(j));
            const double rho = (chi_square_ - trial_chi_square) / predicted;
            // A NaN ratio (chi-square not computable at the trial) is no gain either.
            if (!(rho > 0.0)) {
                if (reject())
                    return FitStopNuTooLarge;
                continue;
            }

            const double previous_chi_square = chi_square_;
            ++k_;
            v_ = trial_;
            evaluate({});
            if (max_abs(g_) <= settings_.eps1)
                return FitStopSmallGradient;
            if (norm2(context_.residuals()) <= settings_.eps3)
                return FitStopSmallChiSquare;
            nu_ = 2;
            const double t = 2.0 * rho - 1.0;
            mu_ *= std::max(1.0 / 3.0, 1.0 - t * t * t);
            if (callback_ &&
                !callback_->on_step(start_, context_.params(), rho, chi_square_, previous_chi_square,
                                    chi_square_ / degrees_of_freedom_, alpha * max_abs(h_), k_))
                return FitStopByCaller;
        }
    }

    const DVector& varied_values() const { return v_; }
    unsigned accepted_steps() const { return k_; }

    // A and chi-square at the varied values the fit ended with. An evaluation is
    // reproducible to the bit, so the last one is taken unless it pinned parameters.
    double result_normal_matrix(DMatrix& a)
    {
        if (pinned_)
            evaluate({});
        a = a_;
        return chi_square_;
    }

private:
    void evaluate(const std::vector<unsigned>& pinned)
    {
        chi_square_ = context_.evaluate_jacobian(v_, pinned, a_, g_);
        pinned_ = !pinned.empty();
        k_current_ = false;
    }

    double max_abs_diagonal() const
    {
        double m = 0.0;
        for (std::size_t j = 0; j < m_; ++j)
            m = std::max(m, std::fabs(a_(j, j)));
        return m;
    }

    bool step_within_deviations() const
    {
        const double e2 = settings_.eps4 * settings_.eps4;
        for (std::size_t j = 0; j < m_; ++j)
            if (!(h_(j) * h_(j) <= e2 * k_matrix_(j, j)))
                return false;
        return true;
    }

    // mu grows by nu and nu doubles; true when nu cannot double any more.
    bool reject()
    {
        mu_ *= nu_;
        if (nu_ > std::numeric_limits<std::int32_t>::max() / 2)
            return true;
        nu_ *= 2;
        return false;
    }

    FitEvalContext& context_;
    const std::vector<ParamBound> bounds_;
    const FitSettings& settings_;
    IFitStepCallback* callback_;
    const DVector& start_;
    DVector v_;
    const std::size_t m_;
    DMatrix a_;
    DVector g_, h_, trial_;
    DMatrix k_matrix_;      // pinv(A), for the eps4 test
    bool k_current_ = false;  // k_matrix_ belongs to the current A
    bool pinned_ = false;     // the current A has pinned columns
    SvdWorkspace svd_;
    std::vector<unsigned> pins_;
    const double degrees_of_freedom_;
    double chi_square_ = 0.0;
    double mu_ = 0.0;
    std::int32_t nu_ = 2;
    unsigned k_ = 0;
};

}  // namespace

void lm_fit(const IModel& model, const IModelData& data, const DVector& start, const std::vector<int>& varied_mask,
            const DVector& lower, const DVector& upper, const FitSettings& settings, DVector& values,
            DMatrix& covariance, DMatrix& directions, double& chi_square, double& reduced_chi_square,
            unsigned& iterations, FitStopCode& stop_code, IFitStepCallback* callback)
{
    const std::size_t n = model.param_count();
    if (start.size() != n || varied_mask.size() != n)
        throw std::runtime_error("lm_fit: the start values and the varied mask need one entry per parameter");
    FitProblem problem = build_problem(model, data, varied_mask);

    // Until a fit has run, the outputs say that nothing was fitted; the singular
    // directions are written only at its end.
    values = start;
    covariance = DMatrix(n, n, 0.0);
    chi_square = -1.0;
    reduced_chi_square = -1.0;
    iterations = 0;
    if (const auto stop = check_problem(problem)) {
        stop_code = *stop;
        return;
    }

    const std::size_t m = problem.varied.size();
    const std::size_t rows = problem.y.size();
    std::vector<ParamBound> bounds;
    make_param_bounds(n, problem.varied, lower, upper, bounds);
    DVector v(m);
    for (std::size_t j = 0; j < m; ++j)
        v(j) = start(problem.varied[j]);
    const auto* links = dynamic_cast<const IDepVars*>(&model);
    FitEvalContext context(model, links, std::move(problem.x), std::move(problem.y), std::move(problem.sigma),
                           problem.varied, std::move(problem.distributions), start);

    LevenbergMarquardt lm(context, std::move(bounds), settings, callback, start, std::move(v));
    stop_code = lm.run();

    const DVector& fitted = lm.varied_values();
    for (std::size_t j = 0; j < m; ++j)
        values(problem.varied[j]) = fitted(j);
    if (links)
        links->apply_links(values, nullptr);
    DMatrix a;
    chi_square = lm.result_normal_matrix(a);
    reduced_chi_square = chi_square / static_cast<double>(rows - m);
    iterations = lm.accepted_steps();

    DMatrix k, d;
    SvdWorkspace svd;
    svd_pseudo_inverse(a, k, &d, svd);
    directions = DMatrix(m, n + 1, 0.0);
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            covariance(problem.varied[i], problem.varied[j]) = k(i, j);
            directions(i, problem.varied[j]) = d(i, j);
        }
        directions(i, n) = d(i, m);
    }
}
