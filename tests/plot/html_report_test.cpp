// The results report: golden fragments of the page of a fitted model with a
// distribution, links and expressions; the sections that flags and empty names leave
// out; the markup of names; and the file as written (marked-up scripts, CR LF, replaced
// only by a complete page).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "core/text/text.h"
#include "plot/html_markup.h"
#include "plot/html_report.h"
#include "tests/plot/report_scene.h"

namespace {

using report_test::Scene;

constexpr unsigned all_sections = ReportPlotImage | ReportComponents | ReportLineTables | ReportExpressions;

std::tm noon()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 12;
    t.tm_min = 5;
    return t;
}

std::wstring page_of(const Scene& scene, unsigned flags = all_sections, const ResultsSource* source = nullptr,
                     const std::wstring& stop = L"Small gradient")
{
    const ReportImageWriter image = [](std::wstring& page) { page += L"IMAGE"; };
    return compose_html_report(source ? *source : scene.source(), stop, flags, noon(), image);
}

std::size_t count_of(const std::wstring& text, const std::wstring& piece)
{
    std::size_t n = 0;
    for (auto at = text.find(piece); at != std::wstring::npos; at = text.find(piece, at + 1))
        ++n;
    return n;
}

std::filesystem::path temp_folder(const char* name)
{
    const auto folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(HtmlReport, GoldenFragmentsOfAFittedModelWithADistributionAndExpressions)
{
    const Scene scene;
    const std::wstring page = page_of(scene);
    const wchar_t* fragments[] = {
        L"<!DOCTYPE html>\n<html>\n  <head>\n",
        L"      v:before { content: \"\u00A0=\u00A0\"; }\n",
        L"  </head>\n  <body>\n<h1>Vexmoor</h1>\n<p>Date: 2026-03-07 12:05</p>\n",
        L"<p>Spectrum data: C:\\data\\fe.spc</p>\n<table class='desc'>\n"
        L"<tr><td>Temperature</td><td class='val'>295</td></tr>\n",
        L"<tr><td>XSc</td><td class='val'>0.000\u00B12.800</td></tr>\n",
        L"<tr><td>Sv</td><td class='val'>0\u00B140</td></tr>\n</table><br>\n",
        L"<p>Model: /m/fe.mdl</p>\n<table class='desc'>\n"
        L"<tr><td>Comment</td><td class='val'>fit &#60;1> &#38; &#37;</td></tr>\n</table><br>\n",
        L"<p>Excluded ranges: [-10.000, -8.000]; [8.000, 10.000]</p>\n",
        L"<p><img src='data:image/png;base64,IMAGE'></p>\n<h2>Results</h2>\n<h3>Global</h3>\n"
        L"<p>Stop code: Small gradient</p>\n",
        L"<c><n>N\u2080</n><v>1000000\u00B11000 imp</v></c>\n<br>\n",
        L"<c><n>I</n><v>4.60\u00B10.04 imp\u00D7mm/s</v></c>\n<br>\n",
        L"<h3>1. PseudoVoigt doublet</h3>\n<c><n>&#37;I</n><v>34.78\u00B10.34&#37;</v></c>"
        L"<c><n>I</n><v>1.6000\u00B10.0020 imp\u00D7mm/s</v></c>",
        // A parameter linked to an expression with factor 0.5.
        L"<c><n>\u0393<sub>2</sub>/\u0393<sub>1</sub></n><v>-0.100\u00B10.005=0.500\u00D7Sum</v></c><br>\n",
        L"<c><n>I<sup>(</sup><sup>1</sup><sup>)</sup></n><v>0.4000\u00B10.0006</v></c>"
        L"<c><n>v<sup>(</sup><sup>1</sup><sup>)</sup></n><v>-0.350\u00B10.005</v></c>",
        L"<h3>2. [D] Lorentz singlet</h3>\n",
        L"<c><n>\u03B4<sub>L</sub></n><v>-1.000\u00B10.010</v></c><c><n>\u03B4<sub>R</sub></n>",
        // The whole range, then the marked one.
        L"<hr>\n<c><n>L</n><v>1</v></c><c><n>R</n><v>5</v></c><c><n>N<sub>max</sub></n><v>5</v></c>",
        L"<hr>\n<c><n>L</n><v>2</v></c><c><n>R</n><v>4</v></c>",
        L"<c><n><span class='over'>\u03B4</span></n><v>0.333\u00B10.014</v></c>",
        L"<h3>Expressions</h3>\n<table class='expr'>\n"
        L"<tr><td>Sum</td><td>[1:I]+[2:\u03B4L]</td><td>-0.200\u00B10.010</td></tr>\n"
        L"<tr><td>Bad</td><td>[7:I]</td></tr>\n</table>\n  </body>\n</html>\n",
    };
    for (const wchar_t* fragment : fragments)
        EXPECT_NE(page.find(fragment), std::wstring::npos) << "missing: " << wide_to_utf8(fragment);
    EXPECT_EQ(page.find(L"Secret"), std::wstring::npos);  // hidden keys stay out
    EXPECT_EQ(count_of(page, L"<hr>"), 2u);
    // A row is closed once: never two line breaks in a row.
    EXPECT_EQ(page.find(L"<br>\n<br>"), std::wstring::npos);
}

TEST(HtmlReport, FlagsAndEmptyNamesLeaveSectionsOut)
{
    const Scene scene;
    const ResultsSource unnamed = scene.source(L"", L"");
    const std::wstring page = page_of(scene, 0, &unnamed, L"");
    for (const wchar_t* absent : {L"Spectrum data", L"<p>Model", L"<img", L"Stop code", L"<h3>0.", L"Expressions",
                                  L"table class='desc'"})
        EXPECT_EQ(page.find(absent), std::wstring::npos) << wide_to_utf8(absent);
    EXPECT_NE(page.find(L"<h2>Results</h2>\n<h3>Global</h3>\n<c><n>N\u2080</n>"), std::wstring::npos);
    EXPECT_NE(page.find(L"<p>Excluded ranges"), std::wstring::npos);

    // Components without line tables.
    const std::wstring no_lines = page_of(scene, ReportComponents);
    EXPECT_NE(no_lines.find(L"<h3>1. PseudoVoigt doublet</h3>"), std::wstring::npos);
    EXPECT_EQ(no_lines.find(L"<sup>(</sup>"), std::wstring::npos);

    // No user expressions: no heading even when asked for.
    Scene plain;
    plain.model.remove_expression(1);
    plain.model.remove_expression(0);
    EXPECT_EQ(page_of(plain).find(L"Expressions"), std::wstring::npos);
}

TEST(HtmlReport, RoundingCutsNumbersAtTheirErrors)
{
    Scene scene;
    const unsigned delta = scene.model.components[1]->first + 2;
    scene.covariance(delta, delta) = 0.05 * 0.05;
    EXPECT_NE(page_of(scene).find(L"<v>0.350\u00B10.050</v>"), std::wstring::npos);
    EXPECT_NE(page_of(scene, all_sections | ReportRoundResults).find(L"<v>0.35\u00B10.05</v>"), std::wstring::npos);
}

TEST(HtmlReport, ABaselineOnlyModelStillHasItsResultsHeadings)
{
    Scene scene;
    SpectrumModel baseline_only;
    baseline_only.insert_component(0, make_subspec<BaseLine>(nullptr));
    baseline_only.rebuild_derived();
    const DVector values(baseline_only.param_count(), 500.0);
    const DMatrix covariance(baseline_only.param_count(), baseline_only.param_count(), 0.0);
    const ResultsSource source{baseline_only, scene.data, values, covariance, L"", L""};
    const std::wstring page = page_of(scene, all_sections, &source);
    EXPECT_NE(page.find(L"<h2>Results</h2>\n<h3>Global</h3>\n<p>Stop code: Small gradient</p>\n"
                        L"<c><n>N\u2080</n><v>500 imp</v></c>\n<br>\n<h3>0. Baseline</h3>\n"),
              std::wstring::npos);
    EXPECT_EQ(page.find(L"<c><n>I</n>"), std::wstring::npos);
}

TEST(HtmlMarkup, NamesAndEscapes)
{
    EXPECT_EQ(html_escape(L"a&b<c>d%e\"f'"), L"a&#38;b&#60;c>d&#37;e\"f'");
    const struct {
        const wchar_t* name;
        const wchar_t* markup;
    } names[] = {
        {L"X\u03B4", L"<span class='over'>\u03B4</span>"},
        {L"X", L"X"},
        {L"\u03B4L", L"\u03B4<sub>L</sub>"},
        {L"L", L"L"},
        {L"Nmax", L"N<sub>max</sub>"},
        {L"\u0393\u2081", L"\u0393<sub>1</sub>"},
        {L"x\u00B2\u00B3\u00B9", L"x<sup>2</sup><sup>3</sup><sup>1</sup>"},
        {L"a\u2071b\u207F", L"a<sup>i</sup>b<sup>n</sup>"},
        {L"%I&<", L"&#37;I&#38;&#60;"},
    };
    for (const auto& n : names) {
        std::wstring page;
        html_param_name(page, n.name);
        EXPECT_EQ(page, n.markup) << wide_to_utf8(n.name);
    }
    std::wstring page;
    EXPECT_FALSE(html_subscript_suffix(page, L"max", L"max"));
    EXPECT_FALSE(html_subscript_suffix(page, L"Nmin", L"max"));
    EXPECT_TRUE(page.empty());
}

TEST(HtmlMarkup, ScriptRunsShareOneElementAndAgreeWithTheNameMarkup)
{
    EXPECT_EQ(html_script_runs(L"(5\u00B11)\u00D710\u207B\u00B9\u2070 N\u2080\u2081x"),
              L"(5\u00B11)\u00D710<sup>-10</sup> N<sub>01</sub>x");
    // From one script straight into the other, and open at the end.
    EXPECT_EQ(html_script_runs(L"a\u00B2\u2083\u2074"), L"a<sup>2</sup><sub>3</sub><sup>4</sup>");
    // The superscript letters i and n are letters, not a digit and a blank.
    EXPECT_EQ(html_script_runs(L"x\u2071y\u207F"), L"x<sup>i</sup>y<sup>n</sup>");
    // Unassigned code points in the script blocks are plain characters.
    EXPECT_EQ(html_script_runs(L"\u2072\u208F"), L"\u2072\u208F");
    for (const wchar_t c : {L'\u2071', L'\u207F', L'\u2070', L'\u00B9', L'\u208E', L'\u2093'}) {
        std::wstring name;
        html_scripted_name(name, std::wstring(1, c));
        EXPECT_EQ(name, html_script_runs(std::wstring(1, c))) << int(c);
    }
}

TEST(HtmlReportFile, WrittenWithMarkupCrLfAndAByteOrderMark)
{
    const Scene scene;
    const auto file = temp_folder("vx_report_test") / "report.html";
    const std::wstring path = file.wstring();
    write_html_report(path, scene.source(), L"", all_sections, [](std::wstring& page) { page += L"AAAA"; });
    const std::string bytes = read_binary_file(path);
    ASSERT_GT(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.substr(3, 17), "<!DOCTYPE html>\r\n");
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_NE(bytes.find("<c><n>N<sub>0</sub></n><v>1000000\xC2\xB1" "1000 imp</v></c>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\xC3\x97" "10<sup>-8</sup> mm/s"), std::string::npos);
    EXPECT_NE(bytes.find("base64,AAAA'></p>"), std::string::npos);
}

TEST(HtmlReportFile, AFailureWhileComposingLeavesTheOldFileAndNothingElse)
{
    const Scene scene;
    const auto folder = temp_folder("vx_report_fail_test");
    const std::wstring path = (folder / "report.html").wstring();
    write_text_file(path, L"old report");
    const ReportImageWriter failing = [](std::wstring& page) {
        page += L"AAAA";
        throw std::runtime_error("COM Error");
    };
    EXPECT_THROW(write_html_report(path, scene.source(), L"", all_sections, failing), std::runtime_error);
    EXPECT_EQ(read_text_file(path), L"old report");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);

    // A folder that does not exist: an error, and no file.
    const std::wstring nowhere = (folder / "missing" / "report.html").wstring();
    EXPECT_THROW(write_html_report(nowhere, scene.source(), L"", 0, nullptr), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
