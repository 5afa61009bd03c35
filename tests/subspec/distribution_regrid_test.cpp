// Re-gridding a distribution: a new point count and a moved start or end value keep the
// shape of the weights and their sum over the range that stays covered.
#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "lineshapes/singlets.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/subspec_ranges.h"

namespace {

using namespace test_support;

Distribution& dist(const SubSpecPtr& s)
{
    return dynamic_cast<Distribution&>(*s);
}

void expect_near(const std::vector<double>& got, const std::vector<double>& want, double tolerance = 1e-12)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << "element " << i;
}

double sum(const std::vector<double>& v, std::size_t first, std::size_t count)
{
    return std::accumulate(v.begin() + first, v.begin() + first + count, 0.0);
}

// δ spread, Γ fixed: δL, δR, Γ, weights.
TEST(DistributionResize, ThreeToSixPointsKeepsShapeAndSum)
{
    const SubSpecPtr s = make_distribution(make_subspec<LorenzLine>(nullptr), 3, {1});
    std::vector<double> out;
    dist(s).resize(6, all_of(vec({-1.0, 1.0, 0.3, 1.0, 2.0, 1.0})), out);
    expect_near(out, {-1.0, 1.0, 0.3, 0.5, 0.75, 1.0, 0.75, 0.5, 0.5});
    EXPECT_EQ(s->param_count(), 9u);
    EXPECT_EQ(dist(s).point_deviations(), std::vector<double>(6, 1.0));
    for (unsigned i = 0; i < 6; ++i)
        EXPECT_EQ(s->param_info(3 + i).name, L"I" + std::to_wstring(i));
}

TEST(DistributionResize, SameCountChangesNothingFewerPointsKeepTheSum)
{
    const SubSpecPtr s = make_distribution(make_subspec<LorenzLine>(nullptr), 5, {1});
    dist(s).set_marked_ranges({{0, 2}, {1, 4}});
    const DVector p = vec({0.0, 4.0, 0.3, 1.0, 3.0, 4.0, 2.0, 0.5});
    std::vector<double> out = {42.0};
    dist(s).resize(5, all_of(p), out);
    EXPECT_EQ(out, std::vector<double>{42.0});
    EXPECT_EQ(s->param_count(), 8u);

    dist(s).set_point_deviations(0, {1.0, 2.0, 3.0, 4.0, 5.0});
    dist(s).resize(3, all_of(p), out);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_NEAR(sum(out, 3, 3), 10.5, 1e-12);
    // Deviations from the source positions 0, 5/3 and 10/3.
    expect_near(dist(s).point_deviations(), {1.0, 2.0 + 2.0 / 3.0, 4.0 + 1.0 / 3.0});
    // A mark beyond the new last point is dropped.
    EXPECT_EQ(dist(s).marked_ranges(), (PointRangeList{{0, 2}}));

    EXPECT_THROW(dist(s).resize(1, all_of(vec({0.0, 4.0, 0.3, 1.0, 1.0, 1.0})), out), std::invalid_argument);
    EXPECT_EQ(s->param_count(), 6u);
}

// N = 10 over δ from 0 to 10 with weights 1 … 10; ε (the second spread parameter, a
// Lorentz width here) from 0 to 2.
struct EndValueCase {
    const char* name;
    unsigned param;  // 0 δL, 1 δR, 2 ΓL, 3 ΓR
    double value;
    std::vector<double> shown;          // δL, δR, ΓL, ΓR after the edit
    std::vector<double> old_positions;  // old-grid position of each new point (<0 or ≥ 10: outside)
    double reference_sum;               // the old weights still covered
};

TEST(DistributionEndValue, MovedEndsResampleOntoTheNewRange)
{
    const std::vector<EndValueCase> cases = {
        {"start to 5", 0, 5.0, {5, 10, 1, 2}, {5, 5.5, 6, 6.5, 7, 7.5, 8, 8.5, 9, 9.5}, 6 + 7 + 8 + 9 + 10},
        {"end to 5", 1, 5.0, {0, 5, 0, 1}, {0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5}, 1 + 2 + 3 + 4 + 5},
        {"start to -10", 0, -10.0, {-10, 10, -2, 2}, {-10, -8, -6, -4, -2, 0, 2, 4, 6, 8}, 55},
        {"end to 20", 1, 20.0, {0, 20, 0, 4}, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18}, 55},
    };
    const SubSpecPtr s = make_distribution(make_subspec<LorenzLine>(nullptr), 10, {1, 2});
    std::vector<double> weights(10);
    std::iota(weights.begin(), weights.end(), 1.0);
    DVector p(14);
    p(0) = 0.0, p(1) = 10.0, p(2) = 0.0, p(3) = 2.0;
    for (unsigned i = 0; i < 10; ++i)
        p(4 + i) = weights[i];
    dist(s).set_point_deviations(0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});

    for (const EndValueCase& c : cases) {
        std::vector<double> out, deviations;
        dist(s).set_end_value(c.param, c.value, all_of(p), out, deviations);
        ASSERT_EQ(out.size(), 14u) << c.name;
        expect_near({out.begin(), out.begin() + 4}, c.shown);
        std::vector<double> resampled(10), expected_deviations(10);
        for (unsigned i = 0; i < 10; ++i) {
            const double o = c.old_positions[i];
            const bool inside = o >= 0.0 && o < 10.0;
            const double at = o >= 9.0 ? 10.0 : 1.0 + o;  // weights (and deviations) i + 1
            resampled[i] = inside ? at : 0.0;
            expected_deviations[i] = inside ? at : 1.0;
        }
        const double scale = c.reference_sum / sum(resampled, 0, 10);
        for (double& w : resampled)
            w *= scale;
        expect_near({out.begin() + 4, out.end()}, resampled);
        expect_near(deviations, expected_deviations);
        EXPECT_EQ(s->param_count(), 14u) << c.name;
        EXPECT_EQ(dist(s).point_deviations()[0], 1.0) << c.name;
    }
}

TEST(DistributionEndValue, FlatWeightsEqualEndsAndOtherParametersOnlySetTheValue)
{
    const SubSpecPtr s = make_distribution(make_subspec<LorenzLine>(nullptr), 4, {1});
    std::vector<double> out, deviations;
    const std::vector<std::pair<std::vector<double>, unsigned>> cases = {
        {{0.0, 3.0, 0.3, 1.0, 1.0, 1.0, 1.0}, 0},  // flat
        {{2.0, 2.0, 0.3, 1.0, 3.0, 2.0, 1.0}, 0},  // L = R
        {{0.0, 3.0, 0.3, 1.0, 3.0, 2.0, 1.0}, 2},  // Γ, not spread
    };
    for (const auto& [p, j] : cases) {
        dist(s).set_end_value(j, -1.0, all_of(vec(p)), out, deviations);
        std::vector<double> want = p;
        want[j] = -1.0;
        EXPECT_EQ(out, want);
        EXPECT_EQ(deviations, std::vector<double>(4, 1.0));
    }
}

// Moving one end onto or past the other would leave no old weight on the grid: refused.
TEST(DistributionEndValue, CollapsingRangeIsRefused)
{
    const SubSpecPtr s = make_distribution(make_subspec<LorenzLine>(nullptr), 4, {1});
    const DVector p = vec({0.0, 3.0, 0.3, 1.0, 3.0, 2.0, 1.0});
    std::vector<double> out, deviations;
    for (const auto& [j, v] : {std::pair{0u, 3.0}, {0u, 4.0}, {1u, 0.0}, {1u, -2.0}})
        EXPECT_THROW(dist(s).set_end_value(j, v, all_of(p), out, deviations), std::runtime_error) << j << " " << v;
    EXPECT_NO_THROW(dist(s).set_end_value(0, 2.9, all_of(p), out, deviations));
    EXPECT_GT(sum(out, 3, 4), 0.0);
}

}  // namespace
