// Model files written and read through the program's catalogue and component line: a
// model of the program's own types comes back the same, and a file naming a type that
// does not exist is refused without changing the document.
#include "catalogue/program_model_file_parts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "core/document/model_state.h"
#include "core/text/text.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/density_wave.h"
#include "relaxation/many_state_relaxation.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "catalogue/sub_spec_factory.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

std::wstring temp_file(const char* name)
{
    return utf8_to_wide((std::filesystem::temp_directory_path() / name).string());
}

SubSpecPtr create(std::wstring_view name)
{
    SubSpecPtr s = create_subspec(name, &iron());
    if (!s)
        throw std::runtime_error("no such model");
    return s;
}

void expect_same(const ModelState& a, const ModelState& b)
{
    const document_test::Snapshot sa(a), sb(b);
    EXPECT_TRUE(document_test::same_doubles(sa.values, sb.values));
    EXPECT_TRUE(document_test::same_doubles(sa.lower, sb.lower));
    EXPECT_TRUE(document_test::same_doubles(sa.upper, sb.upper));
    EXPECT_EQ(sa.flags, sb.flags);
    EXPECT_EQ(sa.expressions, sb.expressions);
    EXPECT_EQ(sa.xranges, sb.xranges);
    ASSERT_EQ(sa.components.size(), sb.components.size());
    for (std::size_t k = 0; k < sa.components.size(); ++k) {
        EXPECT_EQ(a.model.components[k]->subspec->display_name(), b.model.components[k]->subspec->display_name());
        EXPECT_EQ(sa.components[k].links, sb.components[k].links) << k;
        EXPECT_EQ(sa.components[k].points, sb.components[k].points) << k;
        EXPECT_EQ(sa.components[k].color, sb.components[k].color) << k;
    }
}

TEST(ProgramModelFile, AModelOfTheProgramsTypesLoadsBackTheSame)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelState d;
    document_test::add(d, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
    document_test::add(d, create(PseudoVoigtSextet::catalogue_name));
    document_test::add(d, make_distribution(create(LorenzLine::catalogue_name), 12, {1}));
    document_test::add(d, create(PseudoVoigtDoublet::catalogue_name));
    d.set_param(4, 0.1 + 0.2);
    d.add_expression(0, L"H", L"[2:Hn]/10");
    d.add_link({3, 1, LinkToParam, 2, 3, 0.5});  // the doublet's shift follows the sextet's δ
    d.add_xrange({-0.25, 0.125});

    const std::wstring path = temp_file("vx_program_model.mdl");
    d.save_model_file(path, parts);
    ModelState back;
    back.load_model_file(&iron(), path, parts);
    std::filesystem::remove(std::filesystem::path(path));
    expect_same(d, back);
}

// The level count travels as model data in the component line; a line without it (a
// hand-made file) gives the one default, 101 levels.
TEST(ProgramModelFile, ManyStateModelsKeepTheirLevelCount)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelState d;
    document_test::add(d, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
    SubSpecPtr spin = create(ManyStateRelaxSextet::catalogue_name);
    dynamic_cast<ISubSpecData&>(*spin).load_extra(L"0|Levels (2S+1)|7|0|Other|x");
    document_test::add(d, spin);
    document_test::add(d, create(ManyStateSPRelaxSextet::catalogue_name));
    const auto description = [](const ModelState& m, unsigned c) {
        return dynamic_cast<const ISubSpecDesc&>(*m.model.components.at(c)->subspec).description();
    };

    const std::wstring path = temp_file("vx_many_state_model.mdl");
    d.save_model_file(path, parts);
    std::wstring text = read_text_file(path);
    const std::wstring stored = L"extradata=0|Levels$0020$00282S$002b1$0029|7|0|Other|x ";
    const std::size_t at = text.find(stored);
    ASSERT_NE(at, std::wstring::npos);
    ModelState back;
    back.load_model_file(&iron(), path, parts);
    expect_same(d, back);
    EXPECT_EQ(description(back, 1), L"7");
    EXPECT_EQ(description(back, 2), L"101");
    EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*back.model.components[1]->subspec).save_extra(),
              L"0|Levels$0020$00282S$002b1$0029|7|0|Other|x");

    text.erase(at, stored.size());
    write_text_file(path, text);
    ModelState bare;
    bare.load_model_file(&iron(), path, parts);
    std::filesystem::remove(std::filesystem::path(path));
    EXPECT_EQ(description(bare, 1), L"101");
}

// The spin-modulation models keep their sampling settings through a model file, and the
// reloaded components give the same spectrum.
TEST(ProgramModelFile, SpinModulationModelsKeepTheirSampling)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelState d;
    document_test::add(d, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
    const std::pair<const wchar_t*, const wchar_t*> models[] = {
        {AnharmonicSpinModulation::catalogue_name, L"0|Points|120|0|DPoints|300|0|HPoints|2000"},
        {AnharmonicSpinModulationAnisotropic::catalogue_name, L"0|Points|60|0|DPoints|40|0|HPoints|999"},
        {AnharmonicSpinModulationHamilton::catalogue_name, L"0|Points|33|0|HPoints|777"},
        {NMR_AnharmonicSpinModulation::catalogue_name, L"0|Points|17"},
        {Spiral_Spin_Sextet::catalogue_name, L"0|Points|41"},
        {Spiral_Spin_Hamilton::catalogue_name, L"0|Points|29"},
        {NMR_Spiral_Spin::catalogue_name, L"0|Points|13"},
        {SDW_CDW_Sextet::catalogue_name, L"0|Points|57"},
    };
    for (const auto& [name, data] : models) {
        SubSpecPtr s = create(name);
        dynamic_cast<ISubSpecData&>(*s).load_extra(data);
        document_test::add(d, s);
    }
    const std::wstring path = temp_file("vx_spin_modulation_model.mdl");
    d.save_model_file(path, parts);
    ModelState back;
    back.load_model_file(&iron(), path, parts);
    std::filesystem::remove(std::filesystem::path(path));
    expect_same(d, back);
    DVector x(64), before(64), after(64);
    for (std::size_t i = 0; i < x.size(); ++i)
        x(i) = -10.0 + 0.3 * double(i);
    for (unsigned c = 1; c <= 4; ++c) {
        EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*back.model.components[c]->subspec).save_extra(),
                  models[c - 1].second);
        d.model.evaluate_component(c, x, d.values, before);
        back.model.evaluate_component(c, x, back.values, after);
        for (std::size_t i = 0; i < x.size(); ++i)
            EXPECT_EQ(before(i), after(i)) << c << ", " << i;
    }
}

TEST(ProgramModelFile, AnUnknownModelTypeLeavesTheDocumentAsItWas)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelState d;
    document_test::add(d, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
    document_test::add(d, create(LorenzLine::catalogue_name));
    const document_test::Snapshot before(d);

    ModelState source;
    document_test::add(source, SubSpecFactory::instance().create_baseline(&iron(), 1e5));
    document_test::add(source, create(PseudoVoigtDoublet::catalogue_name));
    const std::wstring path = temp_file("vx_program_model_unknown.mdl");
    source.save_model_file(path, parts);
    std::wstring text = read_text_file(path);
    const std::wstring name(PseudoVoigtDoublet::catalogue_name);
    text.replace(text.find(name), name.size(), L"No such model");
    write_text_file(path, text);

    EXPECT_THROW(d.load_model_file(&iron(), path, parts), std::runtime_error);
    std::filesystem::remove(std::filesystem::path(path));
    EXPECT_TRUE(document_test::Snapshot(d) == before);
}

}  // namespace
