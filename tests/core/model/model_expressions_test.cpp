// Predefined expressions: the file format, the lookup by display name, the two text forms
// of an entry, and the program's own "model_expressions.txt", every entry of which must
// compile against a component of its model type.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/model/expr.h"
#include "core/model/model_expressions.h"
#include "core/text/text.h"
#include "tests/support/expr_test_parts.h"

namespace {

using namespace expr_test;

// A file name of the running test's own: ctest runs the tests of this program at once.
std::filesystem::path temp_file(const std::string& suffix)
{
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return std::filesystem::temp_directory_path() / ("vx_model_expressions_" + test + suffix);
}

void write_utf8(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::wstring wide_path(const std::filesystem::path& p)
{
    return p.wstring();
}

// Loads `content` (UTF-8 with a mark) as the table.
void load_text(const std::string& content)
{
    const auto path = temp_file(".txt");
    write_utf8(path, "\xEF\xBB\xBF" + content);
    model_expressions_load(wide_path(path));
    std::filesystem::remove(path);
}

using Entries = std::vector<ModelExpressionEntry>;

TEST(ModelExpressions, FileFormat)
{
    const std::string long_text(3000, '7');
    load_text(" orphan=1\n"                   // before any model name
              "A\n"
              " a = b \n"                     // one blank: name "a ", text " b"
              "  c=d\r\n"                     // two blanks: trimmed
              " no equals sign\n"
              " =first\n"
              " last=\n"
              " x=" + long_text + "\n"        // far beyond 1023 characters: still one entry
              " a=second\n"
              "\n"
              " lost=1\n"                     // the empty line made the model name empty
              "\tB\t\n"
              " e==f\n"
              "A\n"
              " g=h");                        // no line break at the end
    EXPECT_EQ(model_expressions_find(L"A"),
              (Entries{{L"a ", L" b"}, {L"c", L"d"}, {L"x", std::wstring(3000, L'7')}, {L"a", L"second"},
                       {L"g", L"h"}}));
    EXPECT_EQ(model_expressions_find(L"B"), (Entries{{L"e", L"=f"}}));
    EXPECT_TRUE(model_expressions_find(L"").empty());
    EXPECT_TRUE(model_expressions_find(L"7777").empty());
}

TEST(ModelExpressions, LookupCutsOneQualifier)
{
    load_text("Sextet\n t=1\nSextet (57Fe)\n u=2\n");
    EXPECT_EQ(model_expressions_find(L"Sextet (57Fe)"), (Entries{{L"u", L"2"}}));  // exact first
    EXPECT_EQ(model_expressions_find(L"Sextet (119Sn) (x)"), (Entries{{L"t", L"1"}}));
    EXPECT_TRUE(model_expressions_find(L"Sextet(119Sn)").empty());
    EXPECT_TRUE(model_expressions_find(L"sextet").empty());
    const SubSpecPtr sextet = inert<SimplePseudoVoigtSextetParams>(nullptr);
    EXPECT_TRUE(model_expressions_for(*sextet).empty());
}

TEST(ModelExpressions, AMissingFileKeepsTheTable)
{
    load_text("M\n k=v\n");
    model_expressions_load(wide_path(temp_file("_missing.txt")));
    EXPECT_EQ(model_expressions_find(L"M"), (Entries{{L"k", L"v"}}));
}

TEST(ModelExpressions, Utf16FileWithoutMark)
{
    const std::wstring content = L"Δ\r\n ε=[ε]\r\n";
    std::string bytes;
    for (char16_t c : wide_to_utf16(content)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    const auto path = temp_file("_utf16.txt");
    write_utf8(path, bytes);
    model_expressions_load(wide_path(path));
    std::filesystem::remove(path);
    EXPECT_EQ(model_expressions_find(L"Δ"), (Entries{{L"ε", L"[ε]"}}));
}

TEST(ModelExpressions, BoundAndUnboundTexts)
{
    const ModelExpressionEntry e{L"ratio", L"[I1]/([I1]+[I2])"};
    EXPECT_EQ(expr_text_bound(e, 3), L"[3:I1]/([3:I1]+[3:I2])");
    EXPECT_EQ(expr_text_unbound(e), L"I1/(I1+I2)");
}

// ---- The program's own file ----

template <class... Params>
std::vector<SubSpecPtr> components_of(const Isotope* isotope)
{
    return {inert<Params>(Params::needs_isotope ? isotope : nullptr)...};
}

// The names of a transform's parameters: the runs of letters and digits after "$",
// except v and I, which every transform has; then v and I.
std::vector<std::wstring> transform_variables(const std::wstring& text)
{
    std::vector<std::wstring> names;
    for (std::size_t at = text.find(L'$'); at != std::wstring::npos; at = text.find(L'$', at)) {
        std::size_t end = ++at;
        while (end < text.size() && std::iswalnum(text[end]))
            ++end;
        const std::wstring name = text.substr(at, end - at);
        if (!name.empty() && name != L"v" && name != L"I" &&
            std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
        at = end;
    }
    names.push_back(L"v");
    names.push_back(L"I");
    return names;
}

TEST(ProgramModelExpressions, EveryEntryCompilesForItsModelType)
{
    model_expressions_load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/model_expressions.txt"));
    const Isotope isotope = test_isotope();
    const std::vector<SubSpecPtr> types = components_of<
        AutoBaseLine2Params, AutoBaseLineParams, BaseLineParams, LorenzLineParams, PseudoVoigtLineParams,
        PseudoVoigtDoubletParams, SimplePseudoVoigtSextetParams, PseudoVoigtSextetParams, VoigtLineParams,
        VoigtDoubletParams, SimpleVoigtSextetParams, HamiltonParams, Hamilton8Params, SDW_CDW_SextetParams,
        AnharmonicSpinModulationParams, AnharmonicSpinModulationAnisotropicParams,
        AnharmonicSpinModulationHamiltonParams, Spiral_Spin_SextetParams, Spiral_Spin_HamiltonParams,
        NMR_AnharmonicSpinModulationParams, NMR_Spiral_SpinParams, RelaxDoubletParams, RelaxSextetParams,
        TwoStateRelaxSextetParams, SpinRelaxSextetParams, ManyStateRelaxSextetParams, ManyStateSPRelaxSextetParams,
        FluctuatingMMFParams, FluctuatingEFGParams, SpectrumMParams, FreeVarParams>(&isotope);
    ASSERT_EQ(types.size(), 31u);

    std::size_t entries = 0;
    std::set<std::wstring> covered;
    for (const SubSpecPtr& type : types) {
        SpectrumModel model;
        model.isotope = &isotope;
        model.insert_component(0, inert<BaseLineParams>());
        model.insert_component(1, type);
        const ModelExpressionList& list = model_expressions_for(*type);
        if (!list.empty())
            covered.insert(type->display_name().substr(0, type->display_name().find(L" (")));
        for (const ModelExpressionEntry& e : list) {
            ++entries;
            EXPECT_TRUE(Expr::create(expr_text_bound(e, 1), model))
                << "entry " << wide_to_utf8(e.name) << " of " << wide_to_utf8(type->display_name());
        }
    }
    EXPECT_GE(covered.size(), 26u);
    EXPECT_GT(entries, 80u);

    const ModelExpressionList& transforms = model_expressions_find(L"Transform");
    EXPECT_FALSE(transforms.empty());
    for (const ModelExpressionEntry& e : transforms)
        EXPECT_TRUE(Expr::create(e.text, SpectrumModel(), transform_variables(e.text))) << wide_to_utf8(e.name);
}

TEST(ProgramModelExpressions, EveryModelNameIsAModelType)
{
    const std::wstring content = read_text_file(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/model_expressions.txt"));
    const std::set<std::wstring> known = {
        L"Lorentz singlet", L"PseudoVoigt singlet", L"Voigt singlet", L"PseudoVoigt doublet", L"Voigt doublet",
        L"PseudoVoigt sextet [simple]", L"PseudoVoigt sextet", L"Voigt sextet [simple]", L"Hamilton",
        L"Hamilton/separate width", L"Spin/Charge density wave", L"Anharmonic spin modulation",
        L"Anharmonic spin modulation [anisotropic]", L"Anharmonic spin modulation [Hamilton]",
        L"Spiral-like spin structure", L"Spiral-like spin structure [Hamilton]", L"NMR Anharmonic spin modulation",
        L"NMR Spiral-like spin structure", L"Two state paramagnetic relaxation", L"Two state magnetic relaxation",
        L"Two state relaxation", L"Single-ion spin relaxation [S=5/2]", L"Many-state spin relaxation",
        L"Many-state superparamagnetic relaxation", L"Isotropic magnetic hyperfine field relaxation",
        L"Isotropic electric field gradient relaxation", L"Transform"};
    const ModelExpressionMap map = model_expressions_parse(content);
    EXPECT_FALSE(map.empty());
    for (const auto& [name, entries] : map)
        EXPECT_TRUE(known.count(name)) << wide_to_utf8(name);
}

}  // namespace
