// The stochastic line-shape model written out for the relaxation tests: states with the
// position of every line in each state, the jump-rate matrix W (rate[to][from] in mm/s,
// columns summing to zero), the stationary populations p and the half width g. A line's
// shape is (1/π)·Re[1ᵀ·(g + i·(X − v) − W)⁻¹·p], area 1, solved densely point by point;
// at rates far above the line's spread it is the Lorentzian at Σ pᵢ·xᵢ of half width
// g + Σ (xᵢ − x̄)·zᵢ with −W·z = (X − x̄)·p, 1ᵀ·z = 0 (motional narrowing).
#pragma once

#include <cmath>
#include <algorithm>
#include <complex>
#include <cstddef>
#include <numbers>
#include <vector>

#include "tests/relaxation/dense_solve.h"

struct StochasticLine {
    double weight;
    std::vector<double> position;  // per state
};

struct StochasticModel {
    std::vector<std::vector<double>> rate;  // rate[to][from] off the diagonal; the diagonal is ignored
    std::vector<double> population;         // sums to 1
    double half_width;
    double area;
    std::vector<StochasticLine> lines;

    std::size_t states() const { return population.size(); }

    // W with its diagonal: minus the rates out of each state.
    std::vector<std::vector<double>> jump_matrix() const
    {
        std::vector<std::vector<double>> w = rate;
        for (std::size_t from = 0; from < states(); ++from) {
            double out = 0.0;
            for (std::size_t to = 0; to < states(); ++to)
                if (to != from)
                    out += rate[to][from];
            w[from][from] = -out;
        }
        return w;
    }

    double total_weight() const
    {
        double total = 0.0;
        for (const StochasticLine& line : lines)
            total += line.weight;
        return total;
    }

    double value(double v) const
    {
        const std::vector<std::vector<double>> w = jump_matrix();
        double sum = 0.0;
        for (const StochasticLine& line : lines) {
            DenseMatrix a(states(), std::vector<std::complex<double>>(states()));
            std::vector<std::complex<double>> p(states());
            for (std::size_t i = 0; i < states(); ++i) {
                for (std::size_t j = 0; j < states(); ++j)
                    a[i][j] = -w[i][j];
                a[i][i] += std::complex<double>(half_width, line.position[i] - v);
                p[i] = population[i];
            }
            std::complex<double> s = 0.0;
            for (const std::complex<double>& x : dense_solve(a, p))
                s += x;
            sum += line.weight * s.real();
        }
        return area * sum / (std::numbers::pi * total_weight());
    }

    double fast_limit(double v) const
    {
        const std::vector<std::vector<double>> w = jump_matrix();
        double sum = 0.0;
        for (const StochasticLine& line : lines) {
            double mean = 0.0;
            for (std::size_t i = 0; i < states(); ++i)
                mean += population[i] * line.position[i];
            // Solved as (−W/s + p·1ᵀ)·s·z = (X − x̄)·p with s the largest rate, so that p
            // is not lost beside rates of any size.
            double s = 0.0;
            for (std::size_t i = 0; i < states(); ++i)
                s = std::max(s, -w[i][i]);
            DenseMatrix a(states(), std::vector<std::complex<double>>(states()));
            std::vector<std::complex<double>> b(states());
            for (std::size_t i = 0; i < states(); ++i) {
                for (std::size_t j = 0; j < states(); ++j)
                    a[i][j] = -w[i][j] / s + population[i];
                b[i] = (line.position[i] - mean) * population[i];
            }
            const std::vector<std::complex<double>> z = dense_solve(a, b);
            double narrowing = 0.0;
            for (std::size_t i = 0; i < states(); ++i)
                narrowing += (line.position[i] - mean) * z[i].real() / s;
            const double g = half_width + narrowing;
            sum += line.weight * g / (g * g + (v - mean) * (v - mean));
        }
        return area * sum / (std::numbers::pi * total_weight());
    }

    double static_limit(double v) const
    {
        double sum = 0.0;
        for (const StochasticLine& line : lines)
            for (std::size_t i = 0; i < states(); ++i) {
                const double d = v - line.position[i];
                sum += line.weight * population[i] * half_width / (half_width * half_width + d * d);
            }
        return area * sum / (std::numbers::pi * total_weight());
    }
};
