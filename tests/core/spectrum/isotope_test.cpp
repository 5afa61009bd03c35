#include "core/spectrum/isotope.h"

#include <cmath>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "core/text/text.h"

namespace {

// Loads an isotope file written from `text` into the temporary folder. The name is
// unique to the process and the test, since test programs run in parallel.
void load_text(IsotopeTable& table, const std::wstring& text)
{
    static const std::string process_tag = std::to_string(std::random_device{}());
    const std::string name = std::string("vx_isotope_") + process_tag + "_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    struct TempFile {
        std::filesystem::path path;
        ~TempFile() { std::filesystem::remove(path); }
    } file{std::filesystem::temp_directory_path() / name};
    write_text_file(file.path.wstring(), text);
    table.load(file.path.wstring());
}

// The five required keys of isotope `id` with display name `name`.
std::wstring isotope_keys(const std::wstring& id, const std::wstring& name, const std::wstring& energy = L"14.4")
{
    return id + L".Γτ:0.1\n" + id + L".Eγ:" + energy + L"\n" + id + L".g_gr:0.2\n" + id + L".g_ex:-0.1\n" + id +
           L".name:" + name + L"\n";
}

IsotopeTable loaded(const std::wstring& text)
{
    IsotopeTable table;
    load_text(table, text);
    return table;
}

TEST(IsotopeTable, ProgramDataFileLoads)
{
    IsotopeTable table;
    table.load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
    ASSERT_EQ(table.count(), 8u);
    EXPECT_EQ(table.at(0).name, L"57Fe");  // the default isotope comes first
    for (const wchar_t* name : {L"57Fe", L"119Sn", L"151Eu", L"121Sb", L"125Te", L"129I", L"197Au", L"161Dy"}) {
        const Isotope* isotope = table.find(name);
        ASSERT_NE(isotope, nullptr) << wide_to_utf8(name);
        EXPECT_GT(isotope->Eγ, 10.0);
        EXPECT_GT(isotope->Γτ, 0.0);
        EXPECT_TRUE(std::isfinite(isotope->K) && std::isfinite(isotope->α) && std::isfinite(isotope->β));
        for (const CalibrationVariant& v : isotope->variants)
            EXPECT_FALSE(v.model_name.empty() || v.param_text.empty());
    }

    // 57Fe: the natural width from the 14.4 keV level's mean life of 141 ns.
    const Isotope& fe = *table.find(L"57Fe");
    EXPECT_NEAR(fe.Γτ, 6.582119569e-16 * 2.99792458e11 / (14412.5 * 141.1e-9), 5e-4);
    ASSERT_EQ(fe.variants.size(), 4u);
    EXPECT_EQ(fe.variants[0].standard, L"α-Fe");
    EXPECT_EQ(fe.variants[0].line_count, 6u);
    EXPECT_EQ(fe.variants[0].model_name, L"PseudoVoigt sextet");
    EXPECT_EQ(fe.variants[3].standard, L"SNP");
    EXPECT_EQ(fe.variants[3].line_count, 2u);
    EXPECT_EQ(fe.variants[3].model_name, L"PseudoVoigt doublet");
    EXPECT_DOUBLE_EQ(fe.variants[3].distance, 1.712);
}

// With the signed 57Fe g-factors, K is negative: a positive field puts line 1 at the
// most negative velocity, the lines come in increasing order, and the distance from
// line 1 to line 6, −K·H, is positive as the calibration needs it.
TEST(IsotopeTable, IronSextetOfAlphaIronAt330kOe)
{
    IsotopeTable table;
    table.load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
    const Isotope& fe = table.at(0);
    EXPECT_LT(fe.K, 0.0);

    const double h = fe.K * 330.0 / 2;  // lines at δ ± h, ± α·h, ± β·h with δ = ε = 0
    const double lines[6] = {h, fe.α * h, fe.β * h, -fe.β * h, -fe.α * h, -h};
    const double alpha_iron[6] = {-5.312, -3.076, -0.840, 0.840, 3.076, 5.312};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(lines[i], alpha_iron[i], 0.005) << "line " << i + 1;
        if (i > 0) {
            EXPECT_LT(lines[i - 1], lines[i]);
        }
    }

    // Every α-Fe variant gives the outer-line distance; the pair ratios of the constants
    // reproduce the inner distances, so 4 and 2 found lines calibrate alike.
    for (int v = 0; v < 3; ++v) {
        EXPECT_EQ(fe.variants[v].standard, L"α-Fe");
        EXPECT_DOUBLE_EQ(fe.variants[v].distance, 10.624);
    }
    EXPECT_EQ(fe.variants[1].line_count, 4u);
    EXPECT_EQ(fe.variants[2].line_count, 2u);
    EXPECT_NEAR(-fe.K * 330.0, 10.624, 0.01);
    EXPECT_NEAR(10.624 * fe.α, 2 * 3.076, 0.002);
    EXPECT_NEAR(10.624 * fe.β, 2 * 0.840, 0.002);
}

TEST(IsotopeTable, DerivedConstants)
{
    const IsotopeTable table = loaded(L"Isotopes:X\nX.Γτ:0.1\nX.Eγ:10\nX.g_gr:1\nX.g_ex:1\nX.name:Ten\n");
    const Isotope& x = table.at(0);
    EXPECT_EQ(x.KN, 0.09450811114935828);
    EXPECT_EQ(x.K, 0.18901622229871656);
    EXPECT_EQ(x.L, 5.067730716156395e7);
    EXPECT_EQ(x.α, 0.0);
    EXPECT_EQ(x.β, -1.0);
    EXPECT_TRUE(x.variants.empty());
}

TEST(IsotopeTable, TwoIsotopesInFileOrderAndLookups)
{
    const IsotopeTable table = loaded(L"Isotopes:A B\n" + isotope_keys(L"A", L"first") + isotope_keys(L"B", L""));
    ASSERT_EQ(table.count(), 2u);
    EXPECT_EQ(table.at(0).name, L"first");
    EXPECT_EQ(table.at(1).name, L"");  // a name key with nothing after the colon
    try {
        table.at(2);
        ADD_FAILURE() << "no error";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Isotope index out of range");
    }
    EXPECT_EQ(table.find(L"first"), &table.at(0));
    EXPECT_EQ(table.find(L"First"), nullptr);
    EXPECT_EQ(table.find(L" first"), nullptr);
}

TEST(IsotopeTable, CalibrationVariants)
{
    const IsotopeTable table = loaded(L"Isotopes:A\n" + isotope_keys(L"A", L"a") +
                                      L"A.cm:S T U\n"
                                      L"A.cm.S.lines:6 2\n"
                                      L"A.cm.S.6.name:Sextet\nA.cm.S.6.param:δ=0\nA.cm.S.6.distance:10.6\n"
                                      L"A.cm.S.2.name:Doublet\nA.cm.S.2.param:ε=1F\nA.cm.S.2.distance:abc\n"
                                      L"A.cm.T.lines:4x -1\n"
                                      L"A.cm.T.4.name:M4\nA.cm.T.4.param:p\n"
                                      L"A.cm.T.4294967295.name:Wrapped\nA.cm.T.4294967295.param:q\n");
    const std::vector<CalibrationVariant>& v = table.at(0).variants;
    ASSERT_EQ(v.size(), 4u);  // U has no lines key: no variant, no error
    const struct {
        const wchar_t* standard;
        std::uint32_t lines;
        double distance;
        const wchar_t* model;
        const wchar_t* param;
    } expected[] = {
        {L"S", 6, 10.6, L"Sextet", L"δ=0"},
        {L"S", 2, 0.0, L"Doublet", L"ε=1F"},
        {L"T", 4, 0.0, L"M4", L"p"},
        {L"T", 4294967295u, 0.0, L"Wrapped", L"q"},
    };
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(v[i].standard, expected[i].standard);
        EXPECT_EQ(v[i].line_count, expected[i].lines);
        EXPECT_EQ(v[i].distance, expected[i].distance);
        EXPECT_EQ(v[i].model_name, expected[i].model);
        EXPECT_EQ(v[i].param_text, expected[i].param);
    }
}

TEST(IsotopeTable, FileErrors)
{
    const std::wstring a = isotope_keys(L"A", L"a");
    const struct {
        std::wstring text;
        const char* message;
        unsigned loaded_before;  // records that stay in the table
    } cases[] = {
        {L"Comment:no list\n", "Invalid isotope file format: can't get isotopes list", 0},
        {L"Isotopes:\n", "Invalid isotope file format: can't get isotope parameters", 0},
        {L"Isotopes:A  B\n" + a + isotope_keys(L"B", L"b"),
         "Invalid isotope file format: can't get isotope parameters", 1},
        {L"Isotopes:A\n" + isotope_keys(L"A", L"a", L"abc"), "Invalid isotope file format: can't get isotope parameters",
         0},
        {L"Isotopes:A\nA.Γτ:0.1\nA.Eγ:14\nA.g_gr:1\nA.g_ex:1\n", "Invalid isotope file format: can't get isotope parameters",
         0},
        {L"Isotopes:A\n" + a + L"A.cm:S\nA.cm.S.lines:x\n", "line number is not an integer", 0},
        {L"Isotopes:A\n" + a + L"A.cm:S\nA.cm.S.lines:6\nA.cm.S.6.name:M\n", "can't get calibration model", 0},
        {L"Isotopes:A\n" + a + L"A.cm:S\nA.cm.S.lines:6\nA.cm.S.6.param:p\n", "can't get calibration model", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        IsotopeTable table;
        try {
            load_text(table, c.text);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(table.count(), c.loaded_before);
    }

    // Keys for the empty id (two blanks in the list) make the same list load.
    const IsotopeTable table =
        loaded(L"Isotopes:A  B\n" + a + isotope_keys(L"", L"empty id") + isotope_keys(L"B", L"b"));
    ASSERT_EQ(table.count(), 3u);
    EXPECT_EQ(table.at(1).name, L"empty id");

    IsotopeTable missing;
    EXPECT_THROW(missing.load(utf8_to_wide(VX_TEST_DATA_DIR "/no_such_isotope_file.txt")), std::runtime_error);
}

TEST(IsotopeTable, RecordsStayInPlaceWhenMoreAreLoaded)
{
    IsotopeTable table;
    load_text(table, L"Isotopes:A\n" + isotope_keys(L"A", L"a"));
    const Isotope* first = &table.at(0);
    load_text(table, L"Isotopes:B C\n" + isotope_keys(L"B", L"b") + isotope_keys(L"C", L"c"));
    EXPECT_EQ(table.count(), 3u);
    EXPECT_EQ(&table.at(0), first);
    EXPECT_EQ(&isotope_table(), &isotope_table());
}

}  // namespace
