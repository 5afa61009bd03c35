#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/spectrum/analyze_spectrum.h"
#include "core/spectrum/spectrum_analysis.h"

namespace {

struct Spectrum {
    std::vector<double> x, y, sigma;
};

Spectrum with_poisson_deviations(std::vector<double> x, std::vector<double> y)
{
    std::vector<double> sigma(y.size());
    for (std::size_t i = 0; i < y.size(); ++i) sigma[i] = std::sqrt(std::abs(y[i]));
    return {std::move(x), std::move(y), std::move(sigma)};
}

// 100 points at 10000 counts, x from −5 mm/s in steps of 0.1, with a triangular line of
// 2000 counts centred on point 50: nine points off the baseline, full width at half
// height five points. sign −1 makes a dip, +1 a peak.
Spectrum triangle_line(double sign)
{
    std::vector<double> x(100), y(100);
    for (std::size_t i = 0; i < 100; ++i) {
        x[i] = -5.0 + 0.1 * double(i);
        const double k = std::abs(double(i) - 50.0);
        y[i] = 10000.0 + sign * 2000.0 * std::max(0.0, 1.0 - k / 5.0);
    }
    return with_poisson_deviations(x, y);
}

// A doublet of Lorentz dips with Poisson noise on 700 unevenly spaced points.
Spectrum noisy_doublet()
{
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> jitter(0.0, 0.01);
    std::vector<double> x(700), y(700);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = -6.0 + 12.0 * double(i) / 699.0 + jitter(gen);
        double dip = 0;
        for (double centre : {-1.1, 0.9}) {
            const double u = (x[i] - centre) / 0.15;
            dip += 30000.0 / (1.0 + u * u);
        }
        y[i] = std::round(std::normal_distribution<double>(250000.0 - dip, std::sqrt(250000.0 - dip))(gen));
    }
    return with_poisson_deviations(x, y);
}

struct Errors {
    double centroid, dispersion;
};

// The standard errors of the centroid and the dispersion by their defining n² sums;
// signal(k) = N0 − y[k] for the absorption reading, y[k] − N0_e for the emission one.
template <class Signal>
Errors brute_force_errors(const Spectrum& s, Signal signal)
{
    const std::size_t n = s.x.size();
    double W = 0, A = 0;
    for (std::size_t k = 0; k < n; ++k) {
        W += signal(k);
        A += signal(k) * s.x[k];
    }
    double ec = 0, ed = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double c = (A - s.x[i] * W) * s.sigma[i];
        ec += c * c;
        double inner = 0;
        for (std::size_t k = 0; k < n; ++k)
            inner += (s.x[k] * W - A) * ((s.x[k] + 2 * s.x[i]) * W - 3 * A);
        const double p = signal(i) * inner;
        const double u = s.x[i] * W - A;
        const double d = (p - u * u * W) * s.sigma[i];
        ed += d * d;
    }
    return {std::sqrt(ec) / (W * W), std::sqrt(ed) / (W * W * W * W)};
}

SpectrumAnalysis analyze(const Spectrum& s, unsigned width = 0)
{
    SpectrumAnalysis a;
    EXPECT_TRUE(analyze_spectrum(a, s.x, s.y, s.sigma, width));
    return a;
}

std::vector<double> numeric_fields(const SpectrumAnalysis& a)
{
    return {a.N0,   a.depth, a.Q,        a.WH2,  a.XWH2,     a.Xc,    a.S,    a.XSc,      a.XSc_err,
            a.Dv,   a.Dv_err, a.line_width, a.Q_e, a.S_e,    a.height_e, a.Dv_e, a.Dv_e_err, a.N0_e,
            a.WH2_e, a.XWH2_e, a.XSc_e, a.XSc_e_err};
}

// A record whose every number is NaN, to show which fields a call leaves unwritten.
SpectrumAnalysis poisoned()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SpectrumAnalysis a;
    a.N0 = a.depth = a.Q = a.WH2 = a.XWH2 = a.Xc = a.S = a.XSc = a.XSc_err = a.Dv = a.Dv_err = nan;
    a.line_width = a.Q_e = a.S_e = a.height_e = a.Dv_e = a.Dv_e_err = a.N0_e = a.WH2_e = nan;
    a.XWH2_e = a.XSc_e = a.XSc_e_err = nan;
    return a;
}

}  // namespace

TEST(SpectrumAnalysisRecord, DefaultsAndEmissionReading)
{
    SpectrumAnalysis a;
    EXPECT_DOUBLE_EQ(a.S, 300000 * std::numbers::pi);
    EXPECT_DOUBLE_EQ(a.S_e, 1500 * std::numbers::pi);

    const SpectrumAnalysis e = a.emission_reading();
    EXPECT_EQ(e.N0, 10000.0);
    EXPECT_EQ(e.depth, 10000.0);
    EXPECT_EQ(e.Q, 100.0);
    EXPECT_EQ(e.WH2, 6.0);
    EXPECT_EQ(e.S, a.S_e);

    a = analyze(triangle_line(1.0));
    a.valid = true;
    const SpectrumAnalysis r = a.emission_reading();
    EXPECT_EQ(r.N0, a.N0_e);
    EXPECT_EQ(r.depth, a.height_e);
    EXPECT_EQ(r.Q, a.Q_e);
    EXPECT_EQ(r.XWH2, a.XWH2_e);
    EXPECT_EQ(r.XSc_err, a.XSc_e_err);
    EXPECT_EQ(r.Dv_err, a.Dv_e_err);
    ASSERT_EQ(r.lines.size(), 1u);
    EXPECT_EQ(r.lines[0].index, a.lines_e[0].index);
    EXPECT_EQ(r.lines_e.size(), 1u);
    EXPECT_EQ(r.Xc, a.Xc);
    EXPECT_EQ(r.line_width, a.line_width);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.peaks_up);

    a.reset();
    EXPECT_TRUE(a.lines_e.empty());
    EXPECT_FALSE(a.valid);
    EXPECT_EQ(a.N0, 1e7);
}

TEST(AnalyzeSpectrum, AbsorptionDip)
{
    const Spectrum s = triangle_line(-1.0);
    const SpectrumAnalysis a = analyze(s);
    EXPECT_EQ(a.N0, 10000.0);
    EXPECT_EQ(a.N0_e, 10000.0);
    EXPECT_FALSE(a.peaks_up);
    EXPECT_EQ(a.depth, 2000.0);
    EXPECT_EQ(a.auto_filter_width, 2u);
    ASSERT_EQ(a.lines.size(), 1u);
    EXPECT_EQ(a.lines[0].index, 50);
    EXPECT_EQ(a.lines[0].x, s.x[50]);
    EXPECT_NEAR(a.lines[0].count, 8000.0, 1e-6);
    EXPECT_TRUE(a.lines_e.empty());
    EXPECT_NEAR(a.line_width, 0.5, 0.1 + 1e-9);  // half depth between points 47.5 and 52.5
    EXPECT_NEAR(a.Q, (2000 - std::sqrt(8000.0)) / std::sqrt(8000.0), 1e-12);
    EXPECT_NEAR(a.WH2, 0.4, 1e-9);
    EXPECT_NEAR(a.XWH2, 0.0, 1e-9);
    EXPECT_NEAR(a.Xc, -0.05, 1e-12);
    EXPECT_NEAR(a.XSc, 0.0, 1e-9);
    EXPECT_NEAR(a.S, 2000 * 5 * 0.1, 1e-6);  // the triangle's area
    // Dispersion about the mean velocity −0.05: Σ f·(x + 0.05)² / Σ f.
    double num = 0;
    for (std::size_t i = 0; i < 100; ++i) num += (10000 - s.y[i]) * (s.x[i] + 0.05) * (s.x[i] + 0.05);
    EXPECT_NEAR(a.Dv, num / 10000.0, 1e-12);
}

TEST(AnalyzeSpectrum, EmissionPeak)
{
    const Spectrum s = triangle_line(1.0);
    const SpectrumAnalysis a = analyze(s);
    EXPECT_TRUE(a.peaks_up);
    EXPECT_EQ(a.depth, 0.0);
    EXPECT_EQ(a.height_e, 2000.0);
    EXPECT_TRUE(a.lines.empty());
    ASSERT_EQ(a.lines_e.size(), 1u);
    EXPECT_EQ(a.lines_e[0].index, 50);
    EXPECT_NEAR(a.line_width, 0.5, 0.1 + 1e-9);
    EXPECT_NEAR(a.Q_e, (2000 - std::sqrt(12000.0)) / std::sqrt(12000.0), 1e-12);
    EXPECT_NEAR(a.WH2_e, 0.4, 1e-9);
    EXPECT_NEAR(a.XSc_e, 0.0, 1e-9);
    EXPECT_NEAR(a.S_e, 1000.0, 1e-6);

    const SpectrumAnalysis r = a.emission_reading();
    EXPECT_EQ(r.depth, 2000.0);
    EXPECT_EQ(r.lines.size(), 1u);
}

TEST(AnalyzeSpectrum, NoisyDoubletFindsBothLines)
{
    const Spectrum s = noisy_doublet();
    const SpectrumAnalysis a = analyze(s);
    EXPECT_FALSE(a.peaks_up);
    ASSERT_EQ(a.lines.size(), 2u);
    EXPECT_NEAR(a.lines[0].x, -1.1, 0.05);
    EXPECT_NEAR(a.lines[1].x, 0.9, 0.05);
    EXPECT_NEAR(a.line_width, 0.3, 0.06);
    EXPECT_NEAR(a.XSc, -0.1, 0.1);  // the noise alone moves it by about 0.03
}

// The linear-time error sums against their n² definitions, both readings.
TEST(AnalyzeSpectrum, ErrorSumsMatchTheirDefinitions)
{
    for (const Spectrum& s : {triangle_line(-1.0), triangle_line(1.0), noisy_doublet()}) {
        const SpectrumAnalysis a = analyze(s);
        const Errors abs = brute_force_errors(s, [&](std::size_t k) { return a.N0 - s.y[k]; });
        const Errors emi = brute_force_errors(s, [&](std::size_t k) { return s.y[k] - a.N0_e; });
        EXPECT_GT(a.Dv_err, 0.0);
        EXPECT_NEAR(a.XSc_err, abs.centroid, 1e-10 * abs.centroid);
        EXPECT_NEAR(a.Dv_err, abs.dispersion, 1e-9 * abs.dispersion);
        EXPECT_NEAR(a.XSc_e_err, emi.centroid, 1e-10 * emi.centroid);
        EXPECT_NEAR(a.Dv_e_err, emi.dispersion, 1e-9 * emi.dispersion);
    }
}

TEST(AnalyzeSpectrum, FlatSpectrumHasNoSignal)
{
    const Spectrum s = with_poisson_deviations({-1, 0, 1, 2, 3, 4, 5, 6}, std::vector<double>(8, 500.0));
    const SpectrumAnalysis a = analyze(s);
    EXPECT_EQ(a.Xc, 2.5);
    EXPECT_EQ(a.XSc, 2.5);
    EXPECT_EQ(a.XSc_e, 2.5);
    EXPECT_EQ(a.Dv, 0.0);
    EXPECT_EQ(a.XSc_err, 0.0);
    EXPECT_EQ(a.Dv_err, 0.0);
    EXPECT_EQ(a.Dv_e_err, 0.0);
    EXPECT_TRUE(a.lines.empty());
    EXPECT_EQ(a.line_width, 0.0);
}

// With at most ten points both baselines are the mean of all counts, so the total
// signal is zero but for rounding: no signal, as for a flat spectrum, not a centroid
// of the rounding residue.
TEST(AnalyzeSpectrum, ShortSpectraHaveNoSignalBeyondRounding)
{
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> counts(9.0e5, 1.1e6);
    for (std::size_t n = 3; n <= 10; ++n) {
        for (int trial = 0; trial < 20; ++trial) {
            SCOPED_TRACE(testing::Message() << n << " points, trial " << trial);
            std::vector<double> x(n), y(n);
            for (std::size_t i = 0; i < n; ++i) {
                x[i] = -4.0 + 0.8 * double(i);
                y[i] = std::round(counts(gen) * 10.0) / 10.0;
            }
            const SpectrumAnalysis a = analyze(with_poisson_deviations(x, y));
            EXPECT_EQ(a.XSc, a.Xc);
            EXPECT_EQ(a.XSc_e, a.Xc);
            EXPECT_EQ(a.Dv, 0.0);
            EXPECT_EQ(a.Dv_e, 0.0);
            EXPECT_EQ(a.XSc_err, 0.0);
            EXPECT_EQ(a.Dv_e_err, 0.0);
        }
    }
}

TEST(AnalyzeSpectrum, BaselinesBelowOneCountAreZero)
{
    std::vector<double> x(30), y(30, 5.0);
    for (std::size_t i = 0; i < 30; ++i) x[i] = double(i);
    std::fill(y.begin(), y.begin() + 10, 0.4);
    std::fill(y.end() - 10, y.end(), 0.7);
    const SpectrumAnalysis a = analyze(with_poisson_deviations(x, y));
    EXPECT_EQ(a.N0, 0.0);
    EXPECT_EQ(a.N0_e, 0.0);
}

// The first of equal smallest counts and the last of equal largest counts are taken:
// their deviations differ, so Q and Q_e tell which.
TEST(AnalyzeSpectrum, TiesTakeFirstMinimumAndLastMaximum)
{
    Spectrum s = with_poisson_deviations({0, 1, 2, 3, 4, 5, 6, 7}, {100, 50, 120, 50, 100, 120, 100, 100});
    s.sigma = {1, 2, 3, 4, 5, 6, 7, 8};
    const SpectrumAnalysis a = analyze(s);
    EXPECT_DOUBLE_EQ(a.Q, (a.N0 - 50 - 2) / 2);
    EXPECT_DOUBLE_EQ(a.Q_e, (120 - a.N0_e - 6) / 6);
}

// A width of 50 on 60 points is cut to 60 div 3 = 20, a width of 1 raised to 2.
TEST(AnalyzeSpectrum, GivenFilterWidthIsClamped)
{
    std::vector<double> x(60), y(60);
    for (std::size_t i = 0; i < 60; ++i) {
        x[i] = double(i);
        y[i] = 1000 - 300 * std::exp(-0.01 * (double(i) - 30) * (double(i) - 30)) + 7 * std::sin(1.3 * double(i));
    }
    const Spectrum s = with_poisson_deviations(x, y);
    const auto same = [](const SpectrumAnalysis& p, const SpectrumAnalysis& q) {
        return numeric_fields(p) == numeric_fields(q) && p.lines.size() == q.lines.size();
    };
    EXPECT_TRUE(same(analyze(s, 50), analyze(s, 20)));
    EXPECT_FALSE(same(analyze(s, 19), analyze(s, 20)));
    EXPECT_TRUE(same(analyze(s, 1), analyze(s, 2)));
    EXPECT_FALSE(same(analyze(s, 3), analyze(s, 2)));
}

TEST(AnalyzeSpectrum, NoCountsKeepsTheRecord)
{
    SpectrumAnalysis a = analyze(triangle_line(-1.0));
    a.lines_e.push_back({1.0, 2.0, 3});
    const std::vector<double> before = numeric_fields(a);
    EXPECT_FALSE(analyze_spectrum(a, {}, {}, {}, 0));
    EXPECT_TRUE(a.lines.empty());
    EXPECT_TRUE(a.lines_e.empty());
    EXPECT_EQ(numeric_fields(a), before);

    const std::vector<double> two = {1, 2};
    EXPECT_THROW(analyze_spectrum(a, two, two, std::vector<double>{1}, 0), std::invalid_argument);
}

// Below six points the order-4 smoothing kernel has too few points: the counts are
// then used unsmoothed, and every field is still written with a finite value.
TEST(AnalyzeSpectrum, ShortSpectraAreFullyDefined)
{
    const std::vector<double> counts = {900, 800, 400, 800, 900};
    for (std::size_t n = 1; n <= counts.size(); ++n) {
        SCOPED_TRACE(n);
        std::vector<double> x(n), y(counts.begin(), counts.begin() + std::ptrdiff_t(n));
        for (std::size_t i = 0; i < n; ++i) x[i] = 0.5 * double(i);
        const Spectrum s = with_poisson_deviations(x, y);
        SpectrumAnalysis a = poisoned();
        ASSERT_TRUE(analyze_spectrum(a, s.x, s.y, s.sigma, 0));
        for (double v : numeric_fields(a)) EXPECT_TRUE(std::isfinite(v));
        // Raw counts: the area is the left-rectangle sum of |N0 − y|.
        double area = 0;
        for (std::size_t k = 1; k < n; ++k) area += std::abs(a.N0 - y[k - 1]) * 0.5;
        EXPECT_NEAR(a.S, area, 1e-12 * a.N0);
        if (n < 4) {
            EXPECT_TRUE(a.lines.empty());
            EXPECT_EQ(a.line_width, 0.0);
        }
    }
    // Five points: the dip in the middle is found on the 5-point slope; half height
    // (400 + 760)/2 = 580 is crossed between its neighbours.
    const Spectrum s = with_poisson_deviations({0, 0.5, 1, 1.5, 2}, counts);
    const SpectrumAnalysis a = analyze(s);
    EXPECT_EQ(a.N0, 760.0);
    ASSERT_EQ(a.lines.size(), 1u);
    EXPECT_EQ(a.lines[0].index, 2);
    EXPECT_DOUBLE_EQ(a.lines[0].count, 400.0);
    EXPECT_DOUBLE_EQ(a.line_width, 1.0);
    EXPECT_DOUBLE_EQ(a.WH2, 0.0);
}

TEST(FindLevelCrossing, ScansEitherWayAndFallsBackToTheStart)
{
    const std::vector<double> v = {5, 3, 1, 3, 5};
    EXPECT_EQ(find_level_crossing(v, 0, 1, 3.0), 1);
    EXPECT_EQ(find_level_crossing(v, 4, -1, 3.0), 3);
    EXPECT_EQ(find_level_crossing(v, 2, 1, 1.0), 2);
    EXPECT_EQ(find_level_crossing(v, 3, 1, 0.5), 3);
    EXPECT_EQ(find_level_crossing(v, -2, 1, 9.0), -2);
    EXPECT_EQ(find_level_crossing(v, 7, -1, 9.0), 7);
    EXPECT_DOUBLE_EQ(mean_of_range(v, 1, 3), 7.0 / 3.0);
    EXPECT_THROW(mean_of_range(v, 3, 3), std::out_of_range);
}
