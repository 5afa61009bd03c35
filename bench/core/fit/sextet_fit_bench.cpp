// A complete fit of a pseudo-Voigt sextet plus baseline to a simulated 1024-channel
// spectrum of α-iron, by lm_fit through a SpectrumModel and, side by side, by Ceres
// Solver's Levenberg-Marquardt with automatic differentiation on the same formula, the
// same data, the same start, the same varied parameters and bounds. Counters: accepted
// steps, chi-square at the end (Ceres: twice its cost) and, for Ceres, all steps tried.
// The argument is the number of threads: lm_fit's block pool, Ceres' evaluation
// threads over 16 residual blocks of 64 points.
#include <benchmark/benchmark.h>
#include <ceres/ceres.h>

#include <array>
#include <cmath>
#include <memory>
#include <span>
#include <vector>

#include "core/spectrum/isotope.h"
#include "core/fit/lm_fit.h"
#include "core/fit/parallel_blocks.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/spectrum/spectrum_data.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"

namespace {

constexpr unsigned channels = 1024;
constexpr unsigned blocks = 16;
constexpr double level = 1e6;          // counts far from the lines
constexpr double spectrum_area = 3e5;  // the absorption scale, so that "I" is about 1
constexpr double level_scale = 100000; // AutoBaseLine2 fits ΔN₀ in units of 1e5 counts

const Isotope& iron()
{
    static const Isotope iso = [] {
        Isotope i;
        i.name = L"57Fe";
        i.Γτ = 0.097;
        i.Eγ = 14.4125;
        i.g_gr = 0.18088;
        i.g_ex = -0.103267;
        i.KN = 0.9450811114935828 / i.Eγ;
        i.K = (3.0 * i.g_ex - i.g_gr) * i.KN;
        i.L = i.Eγ * 5067730.716156395;
        const double r = 1.0 / (3.0 * i.g_ex - i.g_gr);
        i.α = (i.g_ex - i.g_gr) * r;
        i.β = -(i.g_gr + i.g_ex) * r;
        return i;
    }();
    return iso;
}

// The sextet's 15 parameters; the fit varies I, δ, ε, Hn, Γ₁ and α.
constexpr std::array<double, 15> truth = {1.0, 2.0 / 3.0, 1.0 / 3.0, -0.11, 0.01, 330.0, 0.0, 0.0,
                                          0.27, 1.0, 1.0, 1.0, 1.0, 1.0, 0.3};
constexpr std::array<double, 15> start_offset = {-0.1, 0, 0, 0.05, -0.02, -4.0, 0, 0, 0.04, 0, 0, 0, 0, 0, -0.15};
constexpr std::array<int, 6> varied_sextet = {0, 3, 4, 5, 8, 14};

class Spectrum : public IModelData {
public:
    const std::vector<double>& x() const override { return x_; }
    const std::vector<double>& y() const override { return y_; }
    std::vector<double>& std_dev() override { return sd_; }
    const std::vector<double>& std_dev() const override { return sd_; }
    const SpectrumAnalysis& analysis(bool) const override { return analysis_; }
    double depth() const override { return 0.0; }

    std::vector<double> x_, y_, sd_;
    SpectrumAnalysis analysis_;
};

// The model, its start and bounds, and one noisy spectrum of it: the same for both fits.
struct Problem {
    SpectrumModel model;
    DVector start, lower, upper;
    std::vector<int> varied;
    Spectrum data;

    Problem()
    {
        model.level = level;
        model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
        model.insert_component(1, make_subspec<PseudoVoigtSextet>(&iron()));
        model.scale = -spectrum_area;
        const unsigned n = model.param_count();
        DVector exact(n, 0.0);
        start = DVector(n, 0.0);
        lower = upper = DVector(n);
        varied.assign(n, 0);
        start(0) = -0.05;
        varied[0] = 1;
        for (unsigned k = 0; k < 15; ++k) {
            exact(3 + k) = truth[k];
            start(3 + k) = truth[k] + start_offset[k];
        }
        for (int k : varied_sextet)
            varied[3 + k] = 1;
        for (unsigned k = 0; k < n; ++k) {
            const ParamInfo& info = model.components[k < 3 ? 0 : 1]->subspec->param_info(k < 3 ? k : k - 3);
            lower(k) = info.lower;
            upper(k) = info.upper;
        }

        DVector x(channels), expected(channels);
        for (unsigned i = 0; i < channels; ++i)
            x(i) = -10.0 + 20.0 * i / (channels - 1);
        model.evaluate(x, 0, channels, exact, expected);
        random_engine().seed(7);
        for (unsigned i = 0; i < channels; ++i) {
            data.x_.push_back(x(i));
            data.y_.push_back(poisson_sample(expected(i)));
            data.sd_.push_back(std::sqrt(data.y_.back()));
        }
    }
};

const Problem& problem()
{
    static const Problem p;
    return p;
}

void BM_SextetFit_lm_fit(benchmark::State& state)
{
    const Problem& p = problem();
    set_parallel_block_threads(unsigned(state.range(0)));
    DVector values;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced = 0.0;
    unsigned iterations = 0;
    FitStopCode code = FitStopSmallGradient;
    for (auto _ : state) {
        lm_fit(p.model, p.data, p.start, p.varied, p.lower, p.upper, FitSettings(), values, covariance, directions,
               chi_square, reduced, iterations, code);
        benchmark::DoNotOptimize(chi_square);
    }
    state.counters["iterations"] = iterations;
    state.counters["chi_square"] = chi_square;
    state.counters["stop_code"] = code;
}

// Residuals (y − model)/σ of one block of points, over the seven varied parameters
// ΔN₀, I, δ, ε, Hn, Γ₁, α; the model formula is the sextet's own, on Ceres' Jets.
struct SextetResiduals {
    std::span<const double> x, y, sigma;

    template <class T>
    bool operator()(const T* const v, T* residuals) const
    {
        const PseudoVoigtSextet sextet;
        std::array<T, 15> p;
        for (unsigned k = 0; k < 15; ++k)
            p[k] = T(truth[k]);
        for (unsigned j = 0; j < varied_sextet.size(); ++j)
            p[varied_sextet[j]] = v[1 + j];
        std::vector<T> shape(x.size());
        sextet.calc(&iron(), x, shape.data(), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9], p[10],
                    p[11], p[12], p[13], p[14]);
        const T baseline = v[0] * level_scale + level;
        for (std::size_t i = 0; i < x.size(); ++i)
            residuals[i] = (y[i] - (baseline - spectrum_area * shape[i])) / sigma[i];
        return true;
    }
};

void BM_SextetFit_ceres(benchmark::State& state)
{
    const Problem& p = problem();
    constexpr unsigned m = 1 + varied_sextet.size();
    std::array<double, m> lower, upper;
    for (unsigned j = 0, k = 0; k < p.varied.size(); ++k) {
        if (p.varied[k]) {
            lower[j] = p.lower(k);
            upper[j] = p.upper(k);
            ++j;
        }
    }
    ceres::Solver::Options options;
    options.trust_region_strategy_type = ceres::LEVENBERG_MARQUARDT;
    options.linear_solver_type = ceres::DENSE_QR;
    options.max_num_iterations = 1000;
    options.num_threads = int(state.range(0));
    options.logging_type = ceres::SILENT;
    if (state.range(1)) {
        options.function_tolerance = 1e-15;
        options.gradient_tolerance = 1e-15;
        options.parameter_tolerance = 1e-15;
    }
    ceres::Solver::Summary summary;
    for (auto _ : state) {
        std::array<double, m> v;
        for (unsigned j = 0, k = 0; k < p.varied.size(); ++k)
            if (p.varied[k])
                v[j++] = p.start(k);
        ceres::Problem fit;
        const unsigned size = channels / blocks;
        for (unsigned b = 0; b < blocks; ++b) {
            auto* cost = new ceres::AutoDiffCostFunction<SextetResiduals, ceres::DYNAMIC, m>(
                new SextetResiduals{std::span(p.data.x_).subspan(b * size, size),
                                    std::span(p.data.y_).subspan(b * size, size),
                                    std::span(p.data.sd_).subspan(b * size, size)},
                int(size));
            fit.AddResidualBlock(cost, nullptr, v.data());
        }
        for (unsigned j = 0; j < m; ++j) {
            if (std::isfinite(lower[j]))
                fit.SetParameterLowerBound(v.data(), int(j), lower[j]);
            if (std::isfinite(upper[j]))
                fit.SetParameterUpperBound(v.data(), int(j), upper[j]);
        }
        ceres::Solve(options, &fit, &summary);
        benchmark::DoNotOptimize(v.data());
    }
    state.counters["iterations"] = summary.num_successful_steps;
    state.counters["steps"] = summary.num_successful_steps + summary.num_unsuccessful_steps;
    state.counters["chi_square"] = 2.0 * summary.final_cost;
}

}  // namespace

BENCHMARK(BM_SextetFit_lm_fit)->Arg(1)->Arg(8)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SextetFit_ceres)
    ->ArgsProduct({{1, 8}, {0, 1}})
    ->ArgNames({"threads", "tight"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
