// The statistics page of a fitted distribution: one table per range with the whole
// distribution last, names marked up as in the report, values with their errors, and
// nothing but ASCII in the page, every other character as a decimal reference.
#include "plot/dist_stats_page.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/plot/report_scene.h"

namespace {

using report_test::Scene;

std::size_t count_of(const std::string& text, const std::string& piece)
{
    std::size_t n = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

std::string page_of(const Scene& scene, const PointRangeList& ranges, bool with_errors = true, bool rounding = true)
{
    const DMatrix none;
    return dist_stats_page(
        dist_stats_tables(scene.model, 0, ranges, scene.values, with_errors ? scene.covariance : none), rounding);
}

TEST(DistStatsPage, GoldenFragmentsOfAFittedDistribution)
{
    const Scene scene;
    // Points 1-2 and 3-5, then the whole distribution (1-5).
    const std::string page = page_of(scene, {{0, 1}, {2, 4}});
    const char* fragments[] = {
        "<html><head><style type='text/css'>html,body { margin:0pt; padding:0pt; }body {padding: 3px; }"
        "body,td { background:white; color:black; font-size:10pt; font-family:sans-serif; }"
        "td { white-space: nowrap; vertical-align: baseline; }td.v { padding-left: 15pt; }"
        ".over { text-decoration: overline; }</style></head><body><table border='0'><tr>"
        "<td align='right'>L</td><td>=</td><td>1</td><td align='right' class='v'>R</td><td>=</td><td>2</td>",
        // The second range's table follows a rule; a row that starts a line closes the last.
        "</tr></table><hr><table border='0'><tr><td align='right'>L</td><td>=</td><td>3</td>"
        "<td align='right' class='v'>R</td><td>=</td><td>5</td>",
        // The whole distribution, as the report shows it: Nmax subscripted, δ̄ overlined,
        // δ and ± as references, '%' escaped.
        "<hr><table border='0'><tr><td align='right'>L</td><td>=</td><td>1</td><td align='right' class='v'>R</td>"
        "<td>=</td><td>5</td><td align='right' class='v'>N<sub>max</sub></td><td>=</td><td>5</td>",
        "<td align='right'>&#948;<sub>L</sub></td><td>=</td><td>-1.000&#177;0.010</td>",
        "<td align='right'><span class='over'>&#948;</span></td><td>=</td><td>0.333&#177;0.014</td>",
        "<td align='right'>&#37;I</td><td>=</td><td>65.22&#177;0.34</td>",
    };
    for (const char* fragment : fragments) EXPECT_NE(page.find(fragment), std::string::npos) << "missing: " << fragment;
    EXPECT_EQ(count_of(page, "<table border='0'>"), 3u);
    EXPECT_EQ(count_of(page, "<hr>"), 2u);
    EXPECT_EQ(count_of(page, "<tr>"), count_of(page, "</tr>"));
    EXPECT_TRUE(page.ends_with("</tr></table></body>"));  // no closing html element
    EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return c > 0 && c < 127; }));
}

TEST(DistStatsPage, WithoutRangesOnlyTheWholeDistributionAndWithoutErrorsOnlyValues)
{
    const Scene scene;
    const std::string page = page_of(scene, {}, false);
    EXPECT_EQ(count_of(page, "<table"), 1u);
    EXPECT_EQ(page.find("<hr>"), std::string::npos);
    EXPECT_EQ(page.find("&#177;"), std::string::npos);
    EXPECT_NE(page.find("<span class='over'>&#948;</span></td><td>=</td><td>0.333</td>"), std::string::npos);
    // Rounding cuts a value to its error's digits; without it the format's stay.
    const DistStatistic row{L"x", L"%.4f", 1.23456, 0.5, false};
    EXPECT_LT(dist_stat_value_text(row, true).size(), dist_stat_value_text(row, false).size());
    EXPECT_TRUE(dist_stats_tables(scene.model, 1, {}, scene.values, scene.covariance).empty());  // no such distribution
}

TEST(DistStatsPage, CharactersAsReferencesAndScriptsAsElements)
{
    const std::pair<std::wstring, std::string> cases[] = {
        {L"\u0393", "&#915;"},                       // Γ
        {L"\u03B1", "&#945;"},                       // α
        {L"a<b&c%", "a&#60;b&#38;c&#37;"},
        {L"x\u00B2", "x<sup>2</sup>"},
        {L"\u0393\u2081", "&#915;<sub>1</sub>"},
        {L"10\u207B\u00B3", "10<sup>-</sup><sup>3</sup>"},
        {L"\u00B1\u00D7", "&#177;&#215;"},
        // 𝛼, beyond the basic plane: one reference
        {std::wstring(1, static_cast<wchar_t>(0xD835)) + static_cast<wchar_t>(0xDEFC), "&#120572;"},
    };
    for (const auto& [text, marked] : cases) {
        std::string page;
        html_marked_scripts(page, text);
        EXPECT_EQ(page, marked) << marked;
    }
    std::string plain;
    html_escape_numeric(plain, L"<b>\u0393</b>");  // markup stays markup
    EXPECT_EQ(plain, "<b>&#915;</b>");
}

#ifdef VX_STATS_PAGE
// The page for the browser test to open.
TEST(DistStatsPage, WritesThePageForTheBrowser)
{
    const Scene scene;
    std::ofstream(VX_STATS_PAGE, std::ios::binary) << page_of(scene, {{0, 1}, {2, 4}});
}
#endif

} // namespace
