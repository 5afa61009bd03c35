// What the relaxation models report besides their values: line positions (groups, order),
// no lines with errors, extents, starting values, distribution kinds and names.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "relaxation/fluctuating_fields.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_models.h"
#include "subspec/subspec_impl.h"
#include "tests/lineshapes/line_test_support.h"
#include "tests/support/program_isotopes.h"

namespace {

using namespace test_support;
using namespace line_test;

std::vector<double> sextet_at(double shift, double quadrupole, double field)
{
    std::array<double, 6> p;
    Sextet::sextet_positions(iron(), shift, quadrupole, field, p);
    return {p.begin(), p.end()};
}

std::vector<double> reversed(std::vector<double> v)
{
    return {v.rbegin(), v.rend()};
}

TEST(RelaxationInterfaces, LinePositionsInGroupsAndNoLinesWithErrors)
{
    struct Case {
        std::string name;
        SubSpecPtr model;
        std::vector<double> p;
        std::vector<std::vector<double>> groups;
    } cases[] = {
        {"RelaxDoublet", make_subspec<RelaxDoublet>(&iron()), {1, 1, 0.3, 0.6, -0.2, 1.1, 0, 1, 0.2},
         {{-0.3, 0.9}, {-1.3, 0.9}}},
        {"RelaxSextet", make_subspec<RelaxSextet>(&iron()), {1, 0.7, 0.4, 0.1, 0.05, 330, 0, 1, 0.2},
         {sextet_at(0.1, 0.05, 330)}},
        {"TwoStateRelaxSextet", make_subspec<TwoStateRelaxSextet>(&iron()),
         {1, 0.7, 0.4, 0.1, 0.05, 330, 0.3, -0.1, 250, 0, 1, 0.2},
         {reversed(sextet_at(0.1, 0.05, 330)), reversed(sextet_at(0.3, -0.1, 250))}},
        {"SpinRelaxSextet", make_subspec<SpinRelaxSextet>(&iron()),
         {1, 0.7, 0.4, 0.1, 0.05, 330, 0, 0.5, 0.2, 5, 8, 9},
         {reversed(sextet_at(0.1, 0.05, 330)), reversed(sextet_at(0.1, 0.05, 330 * 0.6)),
          reversed(sextet_at(0.1, 0.05, 330 * 0.19999999999999996))}},
        {"FluctuatingEFG", make_subspec<FluctuatingEFG>(&iron()), {1, 1, 0.3, 0.6, 0, 0.2}, {{0.9, -0.3}}},
        {"FluctuatingMMF", make_subspec<FluctuatingMMF>(&iron()), {1, 0.7, 0.4, 0.1, 0.05, 330, 0, 0.2},
         {sextet_at(0.1, 0.05, 330)}},
    };
    for (const Case& c : cases) {
        const std::vector<std::vector<double>> groups = positions_of(*c.model, c.p);
        ASSERT_EQ(groups.size(), c.groups.size()) << c.name;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            ASSERT_EQ(groups[g].size(), c.groups[g].size()) << c.name;
            for (std::size_t i = 0; i < groups[g].size(); ++i)
                EXPECT_NEAR(groups[g][i], c.groups[g][i], 1e-12) << c.name << ' ' << g << ' ' << i;
        }
        EXPECT_TRUE(lines_of(*c.model, c.p).empty()) << c.name;
    }
}

TEST(RelaxationInterfaces, ExtentsCoverEveryStateWithTwelveWidths)
{
    double min, max;
    const std::vector<double> a = sextet_at(0.1, 0.05, 330), b = sextet_at(0.3, -0.1, 250);
    extent_of(*make_subspec<TwoStateRelaxSextet>(&iron()), {1, 0.7, 0.4, 0.1, 0.05, 330, 0.3, -0.1, 250, 0, 1, 0.2},
              min, max);
    EXPECT_NEAR(min, std::min(a.front(), b.front()) - 12 * 0.2, 1e-12);
    EXPECT_NEAR(max, std::max(a.back(), b.back()) + 12 * 0.2, 1e-12);
    for (const SubSpecPtr& s : {make_subspec<RelaxSextet>(&iron()), make_subspec<FluctuatingMMF>(&iron())}) {
        std::vector<double> p = {1, 0.7, 0.4, 0.1, 0.05, 330, 0, 0.2};
        if (s->param_count() == 9)
            p.insert(p.begin() + 7, 1.0);
        extent_of(*s, p, min, max);
        EXPECT_NEAR(min, a.front() - 12 * 0.2, 1e-12);
        EXPECT_NEAR(max, a.back() + 12 * 0.2, 1e-12);
    }
    extent_of(*make_subspec<SpinRelaxSextet>(&iron()), {1, 0.7, 0.4, 0.1, 0.05, 330, 0, 0.5, 0.2, 5, 8, 9}, min, max);
    EXPECT_NEAR(min, a.front() - 12 * 0.2, 1e-12);
    extent_of(*make_subspec<FluctuatingEFG>(&iron()), {1, 1, 0.3, -0.6, 0, 0.2}, min, max);
    EXPECT_NEAR(min, 0.3 - 0.6 - 2.4, 1e-14);
    EXPECT_NEAR(max, 0.3 + 0.6 + 2.4, 1e-14);
}

TEST(RelaxationInterfaces, StartingValues)
{
    const double g = iron().Γτ, k = std::fabs(iron().K);
    const SpectrumAnalysis four = found_lines({-3.0, -1.0, 1.0, 3.4}, 0.15, 9.0, 0.27);
    const SpectrumAnalysis five = found_lines({-5.0, -3.0, 0.2, 3.0, 5.4}, 0.15, 9.0, 0.27);
    struct Case {
        std::string name;
        SubSpecPtr model;
        const SpectrumAnalysis& analysis;
        std::vector<double> expected;
    } cases[] = {
        {"RelaxDoublet", make_subspec<RelaxDoublet>(&iron()), five, {1, 1, 0.15, 3 * g, 0.15, 3 * g, 0, 1, 2 * g}},
        {"RelaxSextet, 4 lines", make_subspec<RelaxSextet>(&iron()), four,
         {1, 2.0 / 3, 1.0 / 3, 0.15, 0, 9.0 / k, 0, 1, 2 * g}},
        {"RelaxSextet, 5 lines", make_subspec<RelaxSextet>(&iron()), five,
         {1, 2.0 / 3, 1.0 / 3, 0.2, 0, 10.4 / k, 0, 1, 2 * g}},
        {"TwoStateRelaxSextet ignores found lines", make_subspec<TwoStateRelaxSextet>(&iron()), five,
         {1, 2.0 / 3, 1.0 / 3, 0.15, 0, 9.0 / k, 0.15, 0, 9.0 / k, 0, 1, 2 * g}},
        {"SpinRelaxSextet ignores found lines", make_subspec<SpinRelaxSextet>(&iron()), five,
         {1, 2.0 / 3, 1.0 / 3, 0.15, 0, 9.0 / k, 0, 0, 2 * g, 5, 8, 9}},
        {"FluctuatingEFG", make_subspec<FluctuatingEFG>(&iron()), five, {1, 1, 0.15, 3 * g, 0, 2 * g}},
        {"FluctuatingMMF, 5 lines", make_subspec<FluctuatingMMF>(&iron()), five,
         {1, 2.0 / 3, 1.0 / 3, 0.2, 0, 10.4 / k, 0, 2 * g}},
    };
    for (const Case& c : cases) {
        const std::vector<double> p = start_values(*c.model, c.analysis);
        ASSERT_EQ(p.size(), c.expected.size()) << c.name;
        for (std::size_t j = 0; j < p.size(); ++j)
            EXPECT_NEAR(p[j], c.expected[j], 1e-14) << c.name << ", parameter " << j;
    }
}

TEST(RelaxationInterfaces, NamesAndDistributionKinds)
{
    struct Case {
        SubSpecPtr model;
        std::wstring name;
        std::vector<int> kinds;
    } cases[] = {
        {make_subspec<RelaxDoublet>(&iron()), L"Two state paramagnetic relaxation (57Fe)", {1, 2, 12, 13}},
        {make_subspec<RelaxSextet>(&iron()), L"Two state magnetic relaxation (57Fe)", {1, 2, 11, 12, 13}},
        {make_subspec<TwoStateRelaxSextet>(&iron()), L"Two state relaxation (57Fe)", {1, 2, 11, 12, 13}},
        {make_subspec<SpinRelaxSextet>(&iron()), L"Single-ion spin relaxation [S=5/2] (57Fe)", {1, 2, 11, 12, 17}},
        {make_subspec<FluctuatingEFG>(&iron()), L"Isotropic electric field gradient relaxation (57Fe)", {1, 2, 12}},
        {make_subspec<FluctuatingMMF>(&iron()), L"Isotropic magnetic hyperfine field relaxation (57Fe)",
         {1, 2, 11, 12}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.model->display_name(), c.name);
        std::vector<int> kinds;
        dynamic_cast<const IDistVarTypes&>(*c.model).dist_kinds(kinds);
        EXPECT_EQ(kinds, c.kinds);
        EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*c.model).area_expr(2).substr(0, 5), L"[2:I]");
    }
}

}  // namespace
