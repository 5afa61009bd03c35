// The hyperfine lines against independent truths: the pure quadrupole doublet with and
// without asymmetry, the pure Zeeman sextet (57Fe at 330 kOe is α-iron) with the
// angular factors of dipole radiation for the beam along and across the field, the
// first-order quadrupole shift of a sextet for any field direction, the order of
// equal intensities, normalisation, derivatives against central differences, and NaN
// for an input the eigen-solution cannot take.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "line_test_support.h"
#include "lineshapes/hyperfine_lines.h"

namespace {

const Isotope& iron = line_test::iron();
const double magic = 54.735610317245346;  // the angle whose cosine is 1/√3
const double deg = 0.017453292519943295;

HyperfineLines<double> lines_at(double Q, double H, double theta, double phi, double eta, double gamma)
{
    return hyperfine_lines(iron, Q, H, std::cos(theta * deg), std::sin(theta * deg), phi, eta, gamma);
}

// Position of the transition from ground sublevel m_g to excited sublevel m_e along the field.
double zeeman_position(double H, double m_e, double m_g)
{
    return -iron.g_ex * iron.KN * H * m_e + iron.g_gr * iron.KN * H * m_g;
}

struct Expected {
    double position, intensity;
};

void expect_lines(const HyperfineLines<double>& lines, const std::array<Expected, 8>& expected, double tolerance)
{
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(lines[k].position, expected[k].position, tolerance);
        EXPECT_NEAR(lines[k].intensity, expected[k].intensity, tolerance);
    }
}

// With no field both matrices are diagonal and the basis order is kept: equal
// intensities appear in generation order (ground index outer, excited inner).
TEST(HyperfineLines, PureQuadrupoleDoublet)
{
    const double Q = 2.0, p = Q / 4;
    expect_lines(lines_at(Q, 0.0, 0.0, 0.0, 0.0, 0.0),
                 {{{p, 3.0 / 8}, {p, 3.0 / 8}, {-p, 1.0 / 8}, {-p, 1.0 / 8}, {-p, 0}, {p, 0}, {p, 0}, {-p, 0}}}, 1e-15);
    struct Case {
        double gamma, at_plus;  // beam angle; share of the line at +Q/4
    };
    for (const Case c : {Case{0.0, 0.75}, Case{90.0, 3.0 / 8}, Case{magic, 0.5}}) {
        SCOPED_TRACE(c.gamma);
        double plus = 0.0, minus = 0.0;
        for (const HyperfineLine<double>& line : lines_at(Q, 0.0, 30.0, 10.0, 0.0, c.gamma)) {
            ASSERT_NEAR(std::fabs(line.position), p, 1e-15);
            (line.position > 0 ? plus : minus) += line.intensity;
        }
        EXPECT_NEAR(plus, c.at_plus, 1e-15);
        EXPECT_NEAR(minus, 1.0 - c.at_plus, 1e-15);
    }
}

TEST(HyperfineLines, AsymmetrySplitsTheDoubletByItsFactor)
{
    for (const double eta : {0.3, -0.7, 1.0}) {
        for (const double Q : {1.5, -0.8}) {
            SCOPED_TRACE(eta);
            const double p = std::fabs(Q) / 4 * std::sqrt(1 + eta * eta / 3);
            double total = 0.0;
            for (const HyperfineLine<double>& line : lines_at(Q, 0.0, 0.0, 0.0, eta, 20.0)) {
                EXPECT_NEAR(std::fabs(line.position), p, 1e-14);
                total += line.intensity;
            }
            EXPECT_NEAR(total, 1.0, 1e-15);
        }
    }
}

// The transitions (m_e, m_g) in the order they come out.
std::array<Expected, 8> zeeman(double H, const std::array<std::array<double, 3>, 8>& transitions)
{
    std::array<Expected, 8> out;
    for (int k = 0; k < 8; ++k)
        out[k] = {zeeman_position(H, transitions[k][0], transitions[k][1]), transitions[k][2]};
    return out;
}

// Along the field (θ = 0) the raw intensities are 2, 2/3 and 0 for the beam along it
// and 1, 1/3, 4/3 across it; their sum is 16/3 for any direction.
TEST(HyperfineLines, PureZeemanSextetAlongTheGradientAxis)
{
    const double H = 330.0;
    expect_lines(lines_at(0.0, H, 0.0, 0.0, 0.0, 0.0),
                 zeeman(H, {{{1.5, 0.5, 3.0 / 8}, {-1.5, -0.5, 3.0 / 8}, {-0.5, 0.5, 1.0 / 8}, {0.5, -0.5, 1.0 / 8},
                             {0.5, 0.5, 0}, {-1.5, 0.5, 0}, {1.5, -0.5, 0}, {-0.5, -0.5, 0}}}),
                 1e-14);
    expect_lines(lines_at(0.0, H, 0.0, 0.0, 0.0, 90.0),
                 zeeman(H, {{{0.5, 0.5, 1.0 / 4}, {-0.5, -0.5, 1.0 / 4}, {1.5, 0.5, 3.0 / 16}, {-1.5, -0.5, 3.0 / 16},
                             {-0.5, 0.5, 1.0 / 16}, {0.5, -0.5, 1.0 / 16}, {-1.5, 0.5, 0}, {1.5, -0.5, 0}}}),
                 1e-14);
}

// 57Fe in 330 kOe at the magic angle: the α-iron sextet, 3:2:1.
TEST(HyperfineLines, AlphaIronAtTheMagicAngle)
{
    const HyperfineLines<double> lines = lines_at(0.0, 330.0, 0.0, 0.0, 0.0, magic);
    const double positions[8] = {5.31, -5.31, 3.08, -3.08, 0.84, -0.84};
    const double intensities[8] = {0.25, 0.25, 1.0 / 6, 1.0 / 6, 1.0 / 12, 1.0 / 12, 0.0, 0.0};
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        if (k < 6) {
            EXPECT_NEAR(lines[k].position, positions[k], 0.01);  // the two decimals quoted
        }
        EXPECT_NEAR(lines[k].intensity, intensities[k], 1e-15);
    }
}

// A field across the beam, at any azimuth: the 3:4:1 sextet of dipole radiation
// emitted perpendicular to the quantisation axis.
TEST(HyperfineLines, FieldAcrossTheBeamGivesThreeFourOne)
{
    for (const double phi : {0.0, 37.0, 200.0}) {
        SCOPED_TRACE(phi);
        const HyperfineLines<double> lines = lines_at(0.0, 330.0, 90.0, phi, 0.0, 0.0);
        const double outer = zeeman_position(330.0, 1.5, 0.5);
        const double middle = zeeman_position(330.0, 0.5, 0.5);
        const double inner = zeeman_position(330.0, -0.5, 0.5);
        const double magnitudes[6] = {middle, middle, outer, outer, inner, inner};
        const double intensities[6] = {0.25, 0.25, 3.0 / 16, 3.0 / 16, 1.0 / 16, 1.0 / 16};
        for (int k = 0; k < 6; ++k) {
            EXPECT_NEAR(std::fabs(lines[k].position), magnitudes[k], 1e-13);
            EXPECT_NEAR(lines[k].intensity, intensities[k], 1e-14);
        }
        EXPECT_NEAR(lines[6].intensity, 0.0, 1e-14);
        EXPECT_NEAR(lines[7].intensity, 0.0, 1e-14);
    }
}

// A weak gradient shifts the outer pair by +ε and the four inner lines by −ε, with
// ε = (Q/8)·(3cos²θ − 1 + η·sin²θ·cos 2φ) to first order.
TEST(HyperfineLines, WeakGradientGivesTheFirstOrderQuadrupoleShift)
{
    const double Q = 0.02, H = 330.0;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> angle(0.0, 180.0), asym(-1.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        const double theta = angle(rng), phi = 2 * angle(rng), eta = asym(rng);
        SCOPED_TRACE(testing::Message() << theta << " " << phi << " " << eta);
        const double c = std::cos(theta * deg), s = std::sin(theta * deg);
        const double epsilon = Q / 8 * (3 * c * c - 1 + eta * s * s * std::cos(2 * phi * deg));
        std::vector<double> expected;
        for (const double m_g : {0.5, -0.5}) {
            for (const double m_e : {m_g + 1, m_g, m_g - 1}) {
                const double shift = std::fabs(m_e) > 1 ? epsilon : -epsilon;
                expected.push_back(zeeman_position(H, m_e, m_g) + shift);
            }
        }
        const HyperfineLines<double> lines = lines_at(Q, H, theta, phi, eta, magic);
        std::vector<double> allowed;
        for (int k = 0; k < 6; ++k)  // the two Δm = ±2 lines are the weakest
            allowed.push_back(lines[k].position);
        std::sort(expected.begin(), expected.end());
        std::sort(allowed.begin(), allowed.end());
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(allowed[k], expected[k], 5e-5);
    }
}

TEST(HyperfineLines, IntensitiesAreNormalisedAndSortedForAnyInput)
{
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 100; ++trial) {
        const HyperfineLines<double> lines =
            lines_at(3 * u(rng), 400 * u(rng), 180 * u(rng), 180 * u(rng), u(rng), 180 * u(rng));
        double total = 0.0;
        for (int k = 0; k < 8; ++k) {
            EXPECT_GE(lines[k].intensity, 0.0);
            if (k > 0) {
                EXPECT_LE(lines[k].intensity, lines[k - 1].intensity);
            }
            total += lines[k].intensity;
        }
        EXPECT_NEAR(total, 1.0, 1e-14);
    }
}

// Positions and intensities on Dual<10> (the instance of the single-width model),
// seeded for Q, H, θ, φ, η and γ, against central differences on doubles and against
// the algorithm run on Dual<10> throughout.
TEST(HyperfineLines, DerivativesMatchCentralDifferences)
{
    using D = Dual<10>;
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> u(0.1, 1.0);
    int checked = 0;
    for (int trial = 0; trial < 30; ++trial) {
        const std::array<double, 6> p = {2 * u(rng), 300 * u(rng), 150 * u(rng), 300 * u(rng), u(rng), 90 * u(rng)};
        const auto plain = [&](const std::array<double, 6>& q) {
            return lines_at(q[0], q[1], q[2], q[3], q[4], q[5]);
        };
        const HyperfineLines<double> base = plain(p);
        bool separated = true;
        for (int k = 1; k < 8; ++k)
            separated = separated && base[k - 1].intensity - base[k].intensity > 1e-3;
        if (!separated)
            continue;  // the ranking would change under the differences
        ++checked;
        SCOPED_TRACE(trial);

        D s[6];
        for (int i = 0; i < 6; ++i)
            s[i] = D::seed(p[i], i);
        const D theta = s[2] * 3.141592653589793 * (1.0 / 180.0);
        const HyperfineLines<D> dual = hyperfine_lines(iron, s[0], s[1], cos(theta), sin(theta), s[3], s[4], s[5]);
        // The derivatives carried through seven inputs equal those of the whole
        // algorithm run on Dual<10>.
        const HyperfineLines<D> direct =
            hyperfine_lines<D>(iron, s[0], s[1], cos(theta), sin(theta), s[3], s[4], s[5]);
        for (int k = 0; k < 8; ++k) {
            for (int i = 0; i <= 10; ++i) {
                EXPECT_NEAR(dual[k].position[i], direct[k].position[i], 1e-12 * (1 + std::fabs(direct[k].position[i])));
                EXPECT_NEAR(dual[k].intensity[i], direct[k].intensity[i], 1e-12);
            }
        }
        for (int i = 0; i < 6; ++i) {
            const double h = 1e-6 * std::max(1.0, p[i]);
            std::array<double, 6> up = p, down = p;
            up[i] += h;
            down[i] -= h;
            const HyperfineLines<double> a = plain(up), b = plain(down);
            for (int k = 0; k < 8; ++k) {
                EXPECT_NEAR(dual[k].position[0], base[k].position, 1e-13);
                EXPECT_NEAR(dual[k].position[i + 1], (a[k].position - b[k].position) / (2 * h), 1e-7);
                EXPECT_NEAR(dual[k].intensity[i + 1], (a[k].intensity - b[k].intensity) / (2 * h), 1e-7);
            }
        }
    }
    EXPECT_GT(checked, 10);
}

TEST(HyperfineLines, NotANumberInputGivesNaNLines)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const HyperfineLines<double>& lines : {lines_at(1.0, nan, 30.0, 0.0, 0.0, 0.0),
                                                lines_at(nan, 100.0, 30.0, 0.0, 0.0, 0.0),
                                                lines_at(1.0, 100.0, 30.0, nan, 0.0, 0.0)}) {
        for (const HyperfineLine<double>& line : lines) {
            EXPECT_TRUE(std::isnan(line.position));
            EXPECT_TRUE(std::isnan(line.intensity));
        }
    }
}

}  // namespace
