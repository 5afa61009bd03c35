// The fit problems of the loaded-machine benchmarks, and one timed fit of them:
//   sextet_problem: a pseudo-Voigt sextet and a baseline, 7 varied parameters;
//   heavy_problem:  a baseline, a Hamiltonian and nine further components of the mix
//                   (model_mix.h), 21 varied parameters (N₀, each intensity and shift).
// Each fits Poisson counts simulated at its truth from a start a little off.
#pragma once

#include <chrono>
#include <stdexcept>
#include <vector>

#include "bench/support/model_mix.h"
#include "core/fit/lm_fit.h"
#include "core/fit/parallel_blocks.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "tests/support/dvectors.h"
#include "tests/support/simulated_spectrum.h"

namespace bench_support {

struct Problem {
    SpectrumModel model;
    SpectrumData data;
    DVector start, lower, upper;
    std::vector<int> varied;
};

// Simulates Poisson counts of the model at `truth` and starts the fit from `start`.
inline void simulate(Problem& p, std::size_t points, const std::vector<double>& truth)
{
    const unsigned n = p.model.param_count();
    const DVector x = test_support::grid(-10.0, 10.0, points);
    const DVector exact = test_support::vec(truth);
    DVector expected(points);
    p.model.evaluate(x, 0, points, exact, expected);
    random_engine().seed(11);
    p.data = test_support::poisson_spectrum(x, expected);
    p.lower = DVector(n, -1e300);
    p.upper = DVector(n, 1e300);
    if (p.start.size() != n || p.varied.size() != n)
        throw std::logic_error("start or varied mask does not match the model");
}

inline Problem sextet_problem(std::size_t points)
{
    Problem p;
    p.model.insert_component(0, model_test::baseline());
    p.model.insert_component(1, make_subspec<PseudoVoigtSextet>(&test_support::iron()));
    p.model.scale = -3e5;
    const std::vector<double> truth = {1e6, 0.0, 0.0, 1.0, 2.0 / 3.0, 1.0 / 3.0, -0.11, 0.01, 330.0, 0, 0,
                                       0.27, 1, 1, 1, 1, 1, 0.3};
    std::vector<double> start = truth;
    start[0] *= 0.98;
    start[3] = 0.9;
    start[6] = -0.06;
    start[8] = 326.0;
    start[11] = 0.31;
    start[17] = 0.15;
    p.start = test_support::vec(start);
    p.varied.assign(truth.size(), 0);
    for (int k : {0, 3, 6, 7, 8, 11, 17})
        p.varied[k] = 1;
    simulate(p, points, truth);
    return p;
}

inline Problem heavy_problem(std::size_t points)
{
    constexpr int components = 11;
    Problem p;
    p.model.insert_component(0, model_test::baseline());
    std::vector<double> truth = {1e6, 0.0, 0.0};
    std::vector<int> varied = {1, 0, 0};
    std::vector<double> start = truth;
    start[0] *= 0.99;
    // Component k takes its turn of the mix, with the Hamiltonian fourth.
    for (int k = 1; k < components; ++k) {
        const std::vector<double> c = bench_support::append_component(p.model, 1, k, components);
        const std::size_t first = truth.size();
        const unsigned shift = bench_support::shift_index(1, k);
        truth.insert(truth.end(), c.begin(), c.end());
        start.insert(start.end(), c.begin(), c.end());
        varied.resize(truth.size(), 0);
        varied[first] = varied[first + shift] = 1;
        start[first] *= 0.9;
        start[first + shift] += 0.03;
    }
    p.model.scale = -3e4;
    p.start = test_support::vec(start);
    p.varied = varied;
    simulate(p, points, truth);
    return p;
}

inline double fit_seconds(const Problem& p, unsigned threads, FitStopCode& code)
{
    set_parallel_block_threads(threads);
    DVector values;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced = 0.0;
    unsigned iterations = 0;
    const auto start = std::chrono::steady_clock::now();
    lm_fit(p.model, p.data, p.start, p.varied, p.lower, p.upper, FitSettings(), values, covariance, directions,
           chi_square, reduced, iterations, code);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace bench_support
