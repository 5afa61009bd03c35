#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/spectrum/fir_filter.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/resample.h"
#include "core/spectrum/savitzky_golay.h"
#include "core/spectrum/savitzky_golay_filter.h"

namespace {

std::vector<double> sg(unsigned order, unsigned half_width, unsigned derivative)
{
    std::vector<double> k;
    savitzky_golay_coefficients(order, half_width, derivative, k);
    return k;
}

void expect_near_all(const std::vector<double>& got, const std::vector<double>& want, double tol)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tol) << "index " << i;
}

// out[k] = Σ kernel[j]·y[clamp(k − h + j)], written out directly.
std::vector<double> clamped_correlation(const std::vector<double>& kernel, const std::vector<double>& y)
{
    const auto n = std::ptrdiff_t(y.size());
    const auto h = (std::ptrdiff_t(kernel.size()) - 1) / 2;
    std::vector<double> out(y.size(), 0.0);
    for (std::ptrdiff_t k = 0; k < n; ++k)
        for (std::ptrdiff_t j = 0; j < std::ptrdiff_t(kernel.size()); ++j)
            out[std::size_t(k)] += kernel[std::size_t(j)] * y[std::size_t(std::clamp(k - h + j, std::ptrdiff_t(0), n - 1))];
    return out;
}

}  // namespace

// The whole-sequence filter gives the direct filter's values, for narrow windows and
// for wide ones whose moments are carried along, windows wider than the data included.
TEST(SavitzkyGolayFilter, SameValuesAsTheDirectFilter)
{
    std::mt19937 gen(7);
    std::normal_distribution<double> noise(0.0, 300.0);
    for (std::size_t n : {std::size_t(1), std::size_t(150), std::size_t(6000), std::size_t(30000)}) {
        std::vector<double> y(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double u = (double(i) - 0.4 * double(n)) / 400.0;
            y[i] = 1e5 - 3e4 * std::exp(-u * u) + noise(gen);
        }
        for (unsigned half_width : {2u, 63u, 64u, 101u, 1000u, 10000u}) {
            for (unsigned derivative : {0u, 1u, 2u}) {
                SCOPED_TRACE(testing::Message() << "n " << n << " m " << half_width << " s " << derivative);
                std::vector<double> direct, filtered;
                fir_filter_vector(sg(4, half_width, derivative), y, direct);
                savitzky_golay_filter(4, half_width, derivative, y, filtered);
                // Rounding of sums over the window, relative to the largest possible value.
                double scale = 0;
                for (double w : sg(4, half_width, derivative)) scale += std::abs(w);
                expect_near_all(filtered, direct, 1e-11 * scale * 1.3e5);
            }
        }
    }
    std::vector<double> out{1};
    savitzky_golay_filter(4, 100, 0, {}, out);
    EXPECT_TRUE(out.empty());
}

// Away from the ends a polynomial up to the filter's order is its own smoothing and
// its derivative is its slope, whatever the width.
TEST(SavitzkyGolayFilter, ReproducesPolynomialsAndTheirSlopes)
{
    const std::size_t n = 20000;
    const auto p = [](double t) { return 5e4 + 30 * t - 2e-3 * t * t + 1e-7 * t * t * t - 2e-12 * t * t * t * t; };
    const auto dp = [](double t) { return 30 - 4e-3 * t + 3e-7 * t * t - 8e-12 * t * t * t; };
    std::vector<double> y(n);
    for (std::size_t i = 0; i < n; ++i) y[i] = p(double(i) - 1e4);
    for (unsigned half_width : {80u, 2500u}) {
        SCOPED_TRACE(half_width);
        std::vector<double> smooth, slope;
        savitzky_golay_filter(4, half_width, 0, y, smooth);
        savitzky_golay_filter(4, half_width, 1, y, slope);
        for (std::size_t i = half_width; i + half_width < n; i += 97) {
            EXPECT_NEAR(smooth[i], y[i], 1e-7 * 5e4) << i;
            EXPECT_NEAR(slope[i], dp(double(i) - 1e4), 1e-8 * 30) << i;
        }
    }
}

TEST(SavitzkyGolay, KnownKernels)
{
    expect_near_all(sg(4, 2, 0), {0, 0, 1, 0, 0}, 1e-14);
    expect_near_all(sg(2, 2, 0), {-3 / 35.0, 12 / 35.0, 17 / 35.0, 12 / 35.0, -3 / 35.0}, 1e-14);
    expect_near_all(sg(2, 2, 1), {-0.2, -0.1, 0, 0.1, 0.2}, 1e-14);
}

// A window too short for the order uses the interpolating polynomial; a derivative
// above the order in use vanishes. Order 4 on three points used to give a singular
// system and a kernel of infinities.
TEST(SavitzkyGolay, ShortWindowsLowerTheOrder)
{
    expect_near_all(sg(4, 1, 0), {0, 1, 0}, 1e-14);
    expect_near_all(sg(4, 1, 1), {-0.5, 0, 0.5}, 1e-14);
    expect_near_all(sg(4, 0, 0), {1}, 0);
    expect_near_all(sg(4, 0, 1), {0}, 0);
    expect_near_all(sg(2, 5, 3), std::vector<double>(11, 0.0), 0);
}

// The kernel for derivative s returns the coefficient of j^s of the fitted polynomial:
// applied to j^k it gives 1 for k = s and 0 for the other k ≤ order. Half widths above
// about 160 need power sums beyond 64 bits.
TEST(SavitzkyGolay, ReproducesPolynomialsUpToItsOrder)
{
    struct Case { unsigned order, half_width, derivative; };
    for (const Case c : {Case{4, 3, 0}, Case{4, 3, 1}, Case{4, 10, 2}, Case{3, 25, 1}, Case{4, 300, 0},
                         Case{4, 600, 1}, Case{4, 1000, 0}, Case{6, 40, 3}}) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " m " << c.half_width << " s " << c.derivative);
        const std::vector<double> k = sg(c.order, c.half_width, c.derivative);
        ASSERT_EQ(k.size(), 2 * c.half_width + 1);
        for (unsigned power = 0; power <= c.order; ++power) {
            double sum = 0, scale = 0;
            for (std::size_t i = 0; i < k.size(); ++i) {
                const double term = std::pow(double(i) - c.half_width, power) * k[i];
                sum += term;
                scale += std::abs(term);
            }
            EXPECT_NEAR(sum, power == c.derivative ? 1.0 : 0.0, 1e-9 * std::max(1.0, scale)) << "power " << power;
        }
    }
}

TEST(FirFilter, PadsTheEndsWithTheFirstAndLastValue)
{
    const std::vector<double> third(3, 1.0 / 3.0);
    std::vector<double> out;
    fir_filter_vector(third, {1, 2, 3, 4}, out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_DOUBLE_EQ(out[0], 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(out[1], 2.0);
    EXPECT_DOUBLE_EQ(out[2], 3.0);
    EXPECT_DOUBLE_EQ(out[3], 11.0 / 3.0);

    const std::vector<double> five = {0.5, -1, 2, 0.25, 3};
    fir_filter_vector(five, {2.0}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_DOUBLE_EQ(out[0], 4.75 * 2.0);
}

// Every kernel length, short ones and even ones included, writes exactly one value
// per input value, equal to the clamped correlation.
TEST(FirFilter, MatchesTheClampedCorrelationForEveryLength)
{
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> dist(-5, 5);
    for (std::size_t length : {1, 2, 3, 4, 5, 9, 31}) {
        for (std::size_t n : {1, 2, 3, 7, 50}) {
            SCOPED_TRACE(testing::Message() << "kernel " << length << " points " << n);
            std::vector<double> kernel(length), y(n);
            for (double& v : kernel) v = dist(gen);
            for (double& v : y) v = dist(gen);
            std::vector<double> out(n + 2, 99.0);
            const auto end = fir_filter(kernel, y.begin(), y.end(), out.begin());
            EXPECT_EQ(end - out.begin(), std::ptrdiff_t(n));
            EXPECT_EQ(out[n], 99.0);
            out.resize(n);
            expect_near_all(out, clamped_correlation(kernel, y), 1e-12);
        }
    }
}

TEST(FirFilter, EmptyInputWritesNothingAndEmptyKernelWritesZeros)
{
    std::vector<double> out(3, 7.0);
    const std::vector<double> none;
    EXPECT_EQ(fir_filter(std::vector<double>{1, 2, 3}, none.begin(), none.end(), out.begin()), out.begin());
    fir_filter_vector({}, {1, 2, 3}, out);
    expect_near_all(out, {0, 0, 0}, 0);
}

TEST(FirFilter, FiltersInPlaceAndOnPoints)
{
    const std::vector<double> kernel = sg(4, 4, 1);
    std::vector<double> y(40);
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = std::sin(0.3 * double(i)) * 100;
    std::vector<double> separate;
    fir_filter_vector(kernel, y, separate);
    fir_filter_vector(kernel, y, y);
    EXPECT_EQ(y, separate);

    struct Point { float x, y; };
    std::vector<Point> pts(y.size());
    for (std::size_t i = 0; i < pts.size(); ++i) pts[i] = {float(i), float(std::cos(0.2 * double(i)))};
    std::vector<double> ys(pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) ys[i] = pts[i].y;
    std::vector<double> want;
    fir_filter_vector(kernel, ys, want);
    fir_filter_points(kernel, std::span<const Point>(pts), std::span<Point>(pts));
    for (std::size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(pts[i].y, float(want[i]));
        EXPECT_EQ(pts[i].x, pts[i].y);
    }
    std::vector<Point> short_out(2);
    EXPECT_THROW(fir_filter_points(kernel, std::span<const Point>(pts), std::span<Point>(short_out)), std::out_of_range);
}

TEST(Resample, DoublesTheGrid)
{
    std::vector<double> src(10);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = double(i * i);
    std::vector<double> dst(20, -1.0);
    resample_linear(src, 0, 10, dst, 0, 20, -7.0);
    for (std::size_t i = 0; i < 18; ++i)
        EXPECT_DOUBLE_EQ(dst[i], i % 2 == 0 ? src[i / 2] : (src[i / 2] + src[i / 2 + 1]) / 2) << i;
    EXPECT_EQ(dst[18], src.back());
    EXPECT_EQ(dst[19], src.back());
}

// Positions outside the source take the fill value; destination indices outside
// [⌊d0⌋, ⌈d1⌉) keep theirs.
TEST(Resample, FillsOutsideTheSourceAndWritesOnlyItsInterval)
{
    const std::vector<double> src = {1, 2, 3, 4};
    std::vector<double> dst(10, -1.0);
    resample_linear(src, -1, 5, dst, 2.5, 8.5, 9.0);  // o = i − 3.5
    expect_near_all(dst, {-1, -1, 9, 9, 1.5, 2.5, 3.5, 4, 9, -1}, 1e-15);

    // An empty or undefined destination interval: nothing, or only fill values.
    std::vector<double> degenerate(5, -1.0);
    resample_linear(src, 0, 4, degenerate, 3, 3, 0.0);
    expect_near_all(degenerate, std::vector<double>(5, -1.0), 0);
    resample_linear(src, 0, 4, degenerate, std::nan(""), 5, 0.0);
    expect_near_all(degenerate, std::vector<double>(5, 0.0), 0);
}

TEST(Resample, RangesAreCountedWithinAndChecked)
{
    const std::vector<double> src = {100, 0, 10, 20, 100};
    std::vector<double> dst(6, -1.0);
    resample_linear_range(src, 1, 3, 0, 3, dst, 2, 3, 0, 3, 0.0);
    expect_near_all(dst, {-1, -1, 0, 10, 20, -1}, 0);
    EXPECT_THROW(resample_linear_range(src, 3, 3, 0, 3, dst, 0, 3, 0, 3, 0.0), std::out_of_range);
    EXPECT_THROW(resample_linear_range(src, 0, 3, 0, 3, dst, 5, 2, 0, 3, 0.0), std::out_of_range);
}

TEST(PoissonSample, NonPositiveMeansGiveZeroAndUnusableMeansThrow)
{
    EXPECT_EQ(poisson_sample(0.0), 0);
    EXPECT_EQ(poisson_sample(-5.0), 0);
    EXPECT_EQ(poisson_sample(-std::numeric_limits<double>::infinity()), 0);
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 3e9})
        EXPECT_THROW(poisson_sample(bad), std::range_error) << bad;
}

TEST(PoissonSample, ReseedingRepeatsTheDraws)
{
    auto draws = [] {
        random_engine().seed(12345);
        std::vector<int> v;
        for (double mean : {0.7, 5.0, 11.99, 12.0, 300.0, 1e6}) v.push_back(poisson_sample(mean));
        return v;
    };
    EXPECT_EQ(draws(), draws());
}

// Both branches (below and from 12) against the Poisson probabilities: chi-square of
// the counts of 20000 draws over the bins with an expectation of at least 5, and the
// sample mean within five standard errors.
TEST(PoissonSample, FollowsThePoissonDistribution)
{
    random_engine().seed(2024);
    for (double mean : {0.3, 4.0, 11.5, 12.0, 40.0, 2500.0}) {
        SCOPED_TRACE(mean);
        const int draws = 20000;
        std::vector<int> counts;
        double sum = 0;
        for (int i = 0; i < draws; ++i) {
            const int k = poisson_sample(mean);
            ASSERT_GE(k, 0);
            if (std::size_t(k) >= counts.size()) counts.resize(std::size_t(k) + 1);
            ++counts[std::size_t(k)];
            sum += k;
        }
        EXPECT_NEAR(sum / draws, mean, 5 * std::sqrt(mean / draws));

        double chi2 = 0, rest_expected = draws, rest_seen = draws;
        int bins = 0;
        for (std::size_t k = 0; k < counts.size(); ++k) {
            const double e = draws * std::exp(double(k) * std::log(mean) - mean - std::lgamma(double(k) + 1));
            if (e < 5) continue;
            chi2 += (counts[k] - e) * (counts[k] - e) / e;
            rest_expected -= e;
            rest_seen -= counts[k];
            ++bins;
        }
        if (rest_expected >= 5) {
            chi2 += (rest_seen - rest_expected) * (rest_seen - rest_expected) / rest_expected;
            ++bins;
        }
        // Far above the 99.9 % point of chi-square for these degrees of freedom.
        EXPECT_LT(chi2, bins + 6 * std::sqrt(2.0 * bins) + 10) << "bins " << bins;
    }
}
