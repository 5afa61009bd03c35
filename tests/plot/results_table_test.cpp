// The results table: header and value rows of the same length, ';' fields quoted in CSV
// and left alone with tabs, unrounded numbers, split property texts, and no number
// made up where the chi-square gives none.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/text/text.h"
#include "plot/results_table.h"
#include "tests/plot/report_scene.h"

namespace {

using report_test::Scene;

// The rows of a table and their fields, quotes undone: a field that begins with '"' is
// quoted, a doubled quote in it stands for one, and separators and line feeds in it are
// its text.
std::vector<std::vector<std::wstring>> rows(const std::wstring& text, wchar_t separator)
{
    std::vector<std::vector<std::wstring>> out(1, std::vector<std::wstring>(1));
    bool quoted = false;
    bool field_start = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (quoted && c == L'"' && i + 1 < text.size() && text[i + 1] == L'"') {
            out.back().back() += text[++i];
        } else if (c == L'"' && (quoted || field_start)) {
            quoted = !quoted;
        } else if (!quoted && (c == separator || c == L'\n')) {
            if (c == separator)
                out.back().emplace_back();
            else
                out.emplace_back(1);
            field_start = true;
            continue;
        } else {
            out.back().back() += c;
        }
        field_start = false;
    }
    if (out.back() == std::vector<std::wstring>(1))
        out.pop_back();  // after the last line feed
    return out;
}

struct Table {
    std::vector<std::wstring> header, values;

    Table(const std::wstring& text, wchar_t separator)
    {
        const auto r = rows(text, separator);
        EXPECT_EQ(r.size(), 2u);
        header = r.at(0);
        values = r.at(1);
    }

    std::wstring operator[](const std::wstring& name) const
    {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == name)
                return values.at(i);
        return L"<no column " + name + L">";
    }
};

TEST(ResultsTable, CsvColumnsValuesAndQuoting)
{
    const Scene scene;
    const std::wstring text = compose_results_table(scene.source(L"C:\\d\\fe;1.spc", L"a\"b\".mdl"), 200.0, 4.0, true);
    ASSERT_EQ(std::count(text.begin(), text.end(), L'\n'), 2);
    EXPECT_EQ(text.substr(0, 32), L"Spectrum;Model;T;\u03A7\u00B2;\u0394\u03A7\u00B2;N0 (imp)");
    EXPECT_NE(text.find(L"\n\"fe;1.spc\";\"a\"\"b\"\".mdl\";295;4;0.2;"), std::wstring::npos);
    const Table t(text, L';');
    ASSERT_EQ(t.header.size(), t.values.size());
    EXPECT_EQ(t[L"Model"], L"a\"b\".mdl");
    EXPECT_EQ(t[L"XSc"], L"0.000");
    EXPECT_EQ(t[L"S_XSc"], L"2.800");
    EXPECT_EQ(t[L"Q"], L"2");
    EXPECT_EQ(t[L"S_Q"], L"");
    EXPECT_EQ(t[L"In"], L"4.6e-06");
    // Components: the baseline has no area columns; † is the error times √χ²ᵣ = 2.
    EXPECT_EQ(t[L"N\u2080 / 0 / Baseline"], L"1e+06");
    EXPECT_EQ(t[L"\u0394N\u2080 / 0 / Baseline"], L"1000");
    EXPECT_EQ(t[L"\u2020\u0394N\u2080 / 0 / Baseline"], L"2000");
    EXPECT_EQ(t[L"\u03B4 / 1 / PseudoVoigt doublet"], L"0.35");
    EXPECT_EQ(t[L"\u0394\u03B4 / 1 / PseudoVoigt doublet"], L"0.003");
    EXPECT_EQ(t[L"In / 1 / PseudoVoigt doublet"], L"1.6e-06");
    // Linked to half of an expression: half its error.
    EXPECT_EQ(t[L"\u0394\u0393\u2082/\u0393\u2081 / 1 / PseudoVoigt doublet"], L"0.005024937810560445");
    // The distribution: its weights are parameters; statistics for both intervals.
    EXPECT_EQ(t[L"\u03B4L / 2 / [D] Lorentz singlet"], L"-1");
    EXPECT_EQ(std::count(t.header.begin(), t.header.end(), L"L / 2 / [D] Lorentz singlet"), 2);
    EXPECT_EQ(t[L"Sum"], L"-0.19999999999999996");  // 0.8 + (−1), unrounded
    EXPECT_EQ(t[L"Bad"], L"<no column Bad>");  // did not compile
}

TEST(ResultsTable, TabsQuoteNothingAndAZeroChiSquareLeavesItsSpreadEmpty)
{
    const Scene scene;
    const std::wstring text = compose_results_table(scene.source(L"fe;1.spc", L"a\"b\""), 0.0, 0.0, false);
    EXPECT_EQ(text.find(L';'), text.find(L"fe;1.spc") + 2);
    EXPECT_NE(text.find(L"\nfe;1.spc\ta\"b\"\t295\t0\t\t"), std::wstring::npos);
    const Table t(text, L'\t');
    EXPECT_EQ(t.header.size(), t.values.size());
    EXPECT_EQ(t[L"\u0394\u03A7\u00B2"], L"");
    for (const std::wstring& v : t.values)
        EXPECT_EQ(v.find(L"nan"), std::wstring::npos) << wide_to_utf8(v);
}

// A name that holds the separator, a line break or a leading quote is one quoted field
// in either form, so no later column moves.
TEST(ResultsTable, ANameWithATabOrALineBreakStaysOneField)
{
    const Scene scene;
    for (const bool csv : {false, true}) {
        SCOPED_TRACE(csv);
        const std::wstring text =
            compose_results_table(scene.source(L"fe\t1;a.spc", L"\"m\"\r\nx.mdl"), 200.0, 4.0, csv);
        const Table t(text, csv ? L';' : L'\t');
        EXPECT_EQ(t.header.size(), t.values.size());
        EXPECT_EQ(t[L"Spectrum"], L"fe\t1;a.spc");
        EXPECT_EQ(t[L"Model"], L"\"m\"\r\nx.mdl");
        EXPECT_EQ(t[L"T"], L"295");
    }
}

TEST(ResultsTable, CsvOnlyForNamesEndingInDotCsv)
{
    for (const auto& [path, csv] : {std::pair{L"a.csv", true}, {L"a.CSV", true}, {L"C:\\x\\b.Csv", true},
                                    {L".csv", false}, {L"csv", false}, {L"a.txt", false}, {L"a.csvx", false}})
        EXPECT_EQ(is_csv_path(path), csv) << wide_to_utf8(path);
}

TEST(ResultsTable, TheSameDocumentGivesTheSameFileWrittenWithCrLf)
{
    const Scene scene;
    const auto folder = std::filesystem::temp_directory_path() / "vx_table_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::wstring a = (folder / "a.CSV").wstring(), b = (folder / "b.txt").wstring();
    write_results_table(a, scene.source(), 200.0, 4.0);
    const std::string first = read_binary_file(a);
    write_results_table(a, scene.source(), 200.0, 4.0);
    EXPECT_EQ(read_binary_file(a), first);
    EXPECT_EQ(first.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(first.substr(first.size() - 2), "\r\n");
    write_results_table(b, scene.source(), 200.0, 4.0);
    EXPECT_NE(read_binary_file(b).find("Spectrum\tModel"), std::string::npos);
    EXPECT_THROW(write_results_table((folder / "no" / "c.csv").wstring(), scene.source(), 1.0, 1.0),
                 std::runtime_error);
}

TEST(ResultsTable, AFailureHalfWayLeavesTheOldFile)
{
    const Scene scene;
    const auto folder = std::filesystem::temp_directory_path() / "vx_table_fail_test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::wstring path = (folder / "t.csv").wstring();
    write_text_file(path, L"old table");
    // A covariance that ends before the last component: the errors fail after the first
    // components' columns were formed.
    const DMatrix short_covariance(4, 4, 0.0);
    const ResultsSource source{scene.model, scene.data, scene.values, short_covariance, L"s", L"m"};
    EXPECT_THROW(write_results_table(path, source, 1.0, 1.0), std::out_of_range);
    EXPECT_EQ(read_text_file(path), L"old table");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

}  // namespace
