// What the report commands take from the document: its fit results (not its start
// values), its spectrum, excluded ranges and expressions reach the report and the table;
// a document without complete results gives none; the report's sections and plot
// options from the window's settings; the file name proposed.
#include "ui/logic/report_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "plot/html_report.h"
#include "plot/results_table.h"
#include "core/text/text.h"
#include "tests/support/model_test_parts.h"

namespace {

// A Lorentz line on a baseline, fitted: the start values are 1, 0 and 0.3 for the line
// (I, δ, Γ) and the fit moved them to 1.25, -0.125 and 0.5 with errors 0.05, 0.002 and
// 0.01.
struct FittedDocument {
    ModelState document;
    unsigned line = 0;  // the line's first flat index

    FittedDocument()
    {
        document.data.make_velocity_axis(64, -10.0, 10.0);
        document.data.set_counts_and_std_dev(std::vector<double>(64, 1.0e6), std::vector<double>(64, 1000.0));
        document.data.keywords = {{L"Temperature", {L"77", 0}}};
        document.data.update_analysis();
        document.add_component(0, document.data.analysis(false), model_test::baseline(), true);
        document.add_component(1, document.data.analysis(false), model_test::lorentz(), true);
        document.add_xrange({-10.0, -9.5});
        document.add_expression(0, L"Twice", L"[1:I]*2");
        const unsigned n = document.model.param_count();
        line = document.model.components[1]->first;
        document.fit_values = document.values;
        document.covariance = DMatrix(n, n, 0.0);
        const double fitted[][2] = {{1.25, 0.05}, {-0.125, 0.002}, {0.5, 0.01}};
        for (unsigned j = 0; j < 3; ++j) {
            document.fit_values(line + j) = fitted[j][0];
            document.covariance(line + j, line + j) = fitted[j][1] * fitted[j][1];
        }
    }
};

std::tm noon()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 10;
    t.tm_hour = 12;
    return t;
}

TEST(ReportCommands, TheReportShowsTheDocumentsFitResultsRangesAndExpressions)
{
    const FittedDocument fitted;
    ASSERT_EQ(fitted.document.values(fitted.line), 1.0);  // the start value the report must not show
    const std::optional<ResultsSource> source =
        document_results(fitted.document, L"C:\\spectra\\fe77.spc", L"C:\\models\\fe.mdl");
    ASSERT_TRUE(source);
    const std::wstring page = compose_html_report(*source, L"Small gradient", report_flags(0, false), noon(),
                                                  [](std::wstring& p) { p += L"IMAGE"; });
    for (const wchar_t* fragment : {
             L"<p>Spectrum data: C:\\spectra\\fe77.spc</p>\n",
             L"<tr><td>Temperature</td><td class='val'>77</td></tr>\n",
             L"<p>Model: C:\\models\\fe.mdl</p>\n",
             L"<p>Excluded ranges: [-10.000, -9.500]</p>\n",
             L"<p><img src='data:image/png;base64,IMAGE'></p>\n",
             L"<p>Stop code: Small gradient</p>\n",
             L"<c><n>I</n><v>1.250±0.050</v></c>",
             L"<v>-0.1250±0.0020</v>",
             L"<v>0.500±0.010</v>",
             L"<tr><td>Twice</td><td>[1:I]*2</td><td>2.50±0.10</td></tr>\n",
         })
        EXPECT_NE(page.find(fragment), std::wstring::npos) << fragment;
    EXPECT_EQ(page.find(L"<v>1.00"), std::wstring::npos);

}

std::vector<std::wstring> fields(const std::wstring& line)
{
    std::vector<std::wstring> out(1);
    for (wchar_t c : line) {
        if (c == L';')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST(ReportCommands, TheTableShowsTheDocumentsFitResults)
{
    const FittedDocument fitted;
    const std::optional<ResultsSource> source = document_results(fitted.document, L"/s/fe77.spc", L"");
    ASSERT_TRUE(source);
    const std::wstring table = compose_results_table(*source, 100.0, 1.25, true);
    const std::size_t end = table.find(L'\n');
    const std::vector<std::wstring> header = fields(table.substr(0, end));
    const std::vector<std::wstring> row = fields(table.substr(end + 1, table.size() - end - 2));
    ASSERT_EQ(header.size(), row.size());
    const std::vector<std::wstring> first = {L"Spectrum", L"Model", L"T", L"Χ²", L"ΔΧ²"};
    EXPECT_EQ(std::vector<std::wstring>(header.begin(), header.begin() + 5), first);
    EXPECT_EQ(std::vector<std::wstring>(row.begin(), row.begin() + 4),
              (std::vector<std::wstring>{L"fe77.spc", L"", L"77", L"1.25"}));
    // The line's parameters and the expression: fit values, not start values.
    const auto value_of = [&](const std::wstring& prefix) {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i].starts_with(prefix))
                return row[i];
        return std::wstring(L"(no column)");
    };
    EXPECT_EQ(value_of(L"I / 1 / "), L"1.25");
    EXPECT_EQ(value_of(L"δ / 1 / "), L"-0.125");
    EXPECT_EQ(value_of(L"Γ / 1 / "), L"0.5");
    EXPECT_EQ(value_of(L"Twice"), L"2.5");
}

TEST(ReportCommands, NoResultsWithoutAFitValueAndACovarianceEntryForEveryParameter)
{
    FittedDocument empty_covariance;
    empty_covariance.document.covariance = DMatrix();
    EXPECT_FALSE(document_results(empty_covariance.document, L"", L""));

    FittedDocument short_values;
    short_values.document.fit_values.resize(short_values.document.model.param_count() - 1, true);
    EXPECT_FALSE(document_results(short_values.document, L"", L""));
}

TEST(ReportCommands, SectionsAndPlotOptionsFromTheWindowsSettings)
{
    struct Case {
        std::int32_t plot_options;
        bool round;
        unsigned flags;
        std::int32_t view_options;
    };
    for (const Case& c : {
             Case{0, false, 62, 0},
             Case{0x200, false, 126, 0x200},
             Case{0x200, true, 127, 0x200},
             Case{0, true, 63, 0},
             Case{-1, false, 126, 0x7F7B},
             Case{0x8084, false, 62, 0},  // bits the report's image does not take
         }) {
        EXPECT_EQ(report_flags(c.plot_options, c.round), c.flags) << c.plot_options;
        EXPECT_EQ(report_view_options(c.plot_options), c.view_options) << c.plot_options;
    }
}

TEST(ReportCommands, TheProposedNameIsTheModelsElseTheSpectrums)
{
    struct Case {
        const wchar_t* model;
        const wchar_t* spectrum;
        const wchar_t* stem;
    };
    for (const Case& c : {
             Case{L"C:\\any\\folder\\fe.mdl", L"C:\\spectra\\x.spc", L"fe"},
             Case{L"/home/u/fe.mdl", L"", L"fe"},
             Case{L"", L"C:\\spectra\\fe77.spc", L"fe77"},
             Case{L"", L"", L""},
         })
        EXPECT_EQ(report_file_stem(c.model, c.spectrum), c.stem) << c.model << L" " << c.spectrum;
}

TEST(ReportCommands, FilesBesideTheModelFileShareItsName)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* html;
    };
    for (const Case& c : {
             Case{L"C:\\data\\fe.mdl", L"C:\\data\\fe.html"},
             Case{L"C:\\data.v2\\fe", L"C:\\data.v2\\fe.html"},  // a dot in the folder is not an extension
             Case{L"/home/u/fe.fit.mdl", L"/home/u/fe.fit.html"},
             Case{L"fe.mdl", L"fe.html"},
         })
        EXPECT_EQ(sibling_path(c.path, L".html"), c.html) << c.path;
}

} // namespace

TEST(ReportCommands, OnlyTheProgramsOwnTemporaryReportsExpireAfterADay)
{
    const std::pair<const wchar_t*, bool> names[] = {
        {L"Vexmoor-report-0f8fad5b-d9cb-469f-a165-70867728950e.html", true},
        {L"Vexmoor-report-0F8FAD5B-D9CB-469F-A165-70867728950E.html", true},
        {L"0f8fad5b-d9cb-469f-a165-70867728950e.html", false},            // another program's
        {L"Vexmoor-report-0f8fad5b-d9cb-469f-a165-70867728950e.htm", false},
        {L"Vexmoor-report-0f8fad5b-d9cb-469f-a165-70867728950.html", false},  // one digit short
        {L"Vexmoor-report-0f8fad5bxd9cb-469f-a165-70867728950e.html", false},
        {L"Vexmoor-report-0f8fad5b-d9cb-469f-a165-70867728950g.html", false},
        {L"Vexmoor-report-.html", false},
    };
    for (const auto& [name, own] : names) EXPECT_EQ(is_temporary_report_name(name), own) << wide_to_utf8(name);
    constexpr std::uint64_t hour = 36'000'000'000ull, now = 1'000'000 * hour;
    EXPECT_FALSE(temporary_report_expired(now - 23 * hour, now));
    EXPECT_FALSE(temporary_report_expired(now - 24 * hour, now));
    EXPECT_TRUE(temporary_report_expired(now - 25 * hour, now));
    EXPECT_FALSE(temporary_report_expired(now + hour, now));  // a clock set back keeps the file
}
