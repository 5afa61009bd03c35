// Whatever the program can hold, it saves, and the saved file reopens to the same
// document: every catalogue type, plain and as a distribution, Lua models and user
// expressions under names of every kind a user can type, saved, reopened and saved
// again give the same file.
#include "catalogue/program_model_file_parts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/lua_models.h"
#include "catalogue/sub_spec_factory.h"
#include "core/document/model_state.h"
#include "core/text/text.h"
#include "subspec/distribution.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace {

namespace fs = std::filesystem;
using test_support::iron;

const std::string support_dir = VX_TEST_DATA_DIR "/../../data/models";

fs::path scratch(const std::string& stem)
{
    return fs::temp_directory_path() / (stem + std::to_string(std::random_device{}()));
}

std::wstring wide(const fs::path& path)
{
    const std::u8string u8 = path.u8string();
    return utf8_to_wide(std::string(u8.begin(), u8.end()));
}

// A Lua string literal of any text: every byte as a decimal escape.
std::string lua_string(const std::wstring& text)
{
    std::string out = "\"";
    for (unsigned char c : wide_to_utf8(text))
        out += "\\" + std::to_string(c);
    return out + "\"";
}

// Names of the kinds a user types: blanks, "=", ":", parentheses, tabs, letters of
// other scripts, the escape mark, the word of the model data, and the empty name.
class NameMaker {
public:
    explicit NameMaker(unsigned seed) : rng_(seed) {}

    std::wstring next()
    {
        static const wchar_t* const pieces[] = {L"a",  L"Z", L" ",   L"  ", L"=",         L":",     L"(",
                                                L")",  L"\t", L"τ",  L"Γ₁", L"ü",         L"$$",    L"$0041",
                                                L"(Lua)", L"(57Fe)", L"|", L"extradata", L"[D] ", L"\u3000"};
        std::uniform_int_distribution<int> count(0, 5);
        std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
        std::wstring name;
        for (int n = count(rng_); n > 0; --n)
            name += pieces[piece(rng_)];
        return name;
    }
    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }

private:
    std::mt19937 rng_;
};

// Lua models with random names and parameter names, loaded once into the program's
// catalogue, which the program's model file parts create components from.
class ModelFileRoundTrip : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = scratch("vx_round_trip_lua_");
        fs::create_directories(folder_);
        lua_models().init(utf8_to_wide(support_dir + "/lib.lua"), utf8_to_wide(support_dir + "/dualImpl.lua"));
        NameMaker names(7);
        std::set<std::wstring> used;
        for (unsigned k = 0; k < 24; ++k) {
            std::wstring name = k == 0   ? L"Gauss singlet (Lua)"
                                : k == 1 ? L"Lorentz singlet (57Fe)"
                                : k == 2 ? L"No parameters"
                                : k == 3 ? L"[D] Scripted"
                                         : names.next();
            // Names the catalogue holds already, or that name a distribution of one, make
            // no new type.
            const auto known = [](std::wstring_view n) {
                return SubSpecFactory::instance().create_by_name(n, &iron()) != nullptr;
            };
            if (!used.insert(name).second || known(name) || (name.starts_with(L"[D] ") && known(name.substr(4))))
                continue;
            std::string script = "return { name = " + lua_string(name) + ", params = {";
            const unsigned params = k == 2 ? 0 : 1 + names.pick(4);
            for (unsigned p = 0; p < params; ++p)
                script += " { name = " + lua_string(p == 0 ? L"I" : names.next()) + ", default = " +
                          std::to_string(p + 1) + " },";
            script += " }, value = function(x, ...) return 0 end }";
            const fs::path path = folder_ / ("m" + std::to_string(k) + ".lua");
            std::ofstream(path, std::ios::binary) << script;
            lua_models().load(wide(path), SubSpecFactory::instance());
        }
    }

    static void TearDownTestSuite()
    {
        lua_models().close();
        fs::remove_all(folder_);
    }

    static fs::path folder_;
};

fs::path ModelFileRoundTrip::folder_;

// Every type the catalogue can create for ⁵⁷Fe, and a distribution of each that can be
// distributed.
std::vector<SubSpecPtr> every_catalogue_type()
{
    std::vector<SubSpecPtr> out;
    const SubSpecFactory& catalogue = SubSpecFactory::instance();
    for (unsigned i = 0; i < catalogue.size(); ++i) {
        SubSpecPtr s;
        try {
            s = catalogue.create_at(i, &iron());
        } catch (const std::runtime_error&) {
            continue;  // a separator or a type the program does not have yet
        }
        out.push_back(s);
        try {
            out.push_back(make_distribution(catalogue.create_at(i, &iron()), 3 + i % 4, {1}));
        } catch (const std::exception&) {
            // not a type that can be distributed
        }
    }
    return out;
}

std::wstring saved_text(ModelState& d, const ProgramModelFileParts& parts, const std::wstring& path)
{
    d.save_model_file(path, parts);
    return read_text_file(path);
}

TEST_F(ModelFileRoundTrip, EveryTypeAndEveryNameReopensToTheSameFile)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    const std::wstring path = wide(scratch("vx_round_trip_") += ".mdl");
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        NameMaker names(seed);
        ModelState d;
        std::vector<SubSpecPtr> types = every_catalogue_type();
        std::shuffle(types.begin(), types.end(), std::mt19937(seed));
        for (SubSpecPtr& s : types)
            document_test::add(d, std::move(s));
        ASSERT_GT(d.model.component_count(), 40u);
        for (unsigned e = 0; e < 12; ++e) {
            const SubModel& c = *d.model.components[names.pick(d.model.component_count())];
            const std::wstring param = c.count > 0 ? c.subspec->param_info(0).name : L"none";
            d.add_expression(e, names.next(), L"[" + std::to_wstring(c.index) + L":" + param + L"]*2");
        }
        DVector v = d.values;
        for (unsigned i = 0; i < v.size(); ++i)
            v(i) += 0.125 * names.pick(9);
        d.accept_fit_values(v);

        const std::wstring first = saved_text(d, parts, path);
        ModelState back;
        back.load_model_file(&iron(), path, parts);
        EXPECT_EQ(saved_text(back, parts, path), first);
        const document_test::Snapshot a(d), b(back);
        EXPECT_TRUE(document_test::same_doubles(a.values, b.values));
        EXPECT_EQ(a.expressions, b.expressions);
    }
    fs::remove(fs::path(path));
}

// The shipped example models carry "(Lua)" in their names, which is no isotope; a
// scripted model's name may also look like an isotope's or a distribution's.
TEST_F(ModelFileRoundTrip, ANameEndingInAParenthesisedWordIsNoIsotope)
{
    const ProgramModelFileParts parts(test_support::program_isotopes());
    ModelState d;
    for (const wchar_t* name : {L"Gauss singlet (Lua)", L"Lorentz singlet (57Fe)", L"[D] Scripted", L"Lorentz singlet"})
        document_test::add(d, create_subspec(name, &iron()));
    const std::wstring path = wide(scratch("vx_round_trip_lua_names_") += ".mdl");
    d.save_model_file(path, parts);
    ModelState back;
    back.load_model_file(&iron(), path, parts);
    fs::remove(fs::path(path));
    ASSERT_EQ(back.model.component_count(), 4u);
    for (unsigned k = 0; k < 4; ++k)
        EXPECT_EQ(back.model.components[k]->subspec->display_name(), d.model.components[k]->subspec->display_name());
}

// A scripted model without parameters has no area: adding it is one step like any other.
TEST_F(ModelFileRoundTrip, AModelWithoutParametersIsAddedAsOneStep)
{
    ModelState d;
    document_test::add(d, create_subspec(L"Lorentz singlet", &iron()));
    const document_test::Snapshot before(d);
    document_test::add(d, create_subspec(L"No parameters", &iron()));
    document_test::add(d, create_subspec(L"No parameters", &iron()));
    ASSERT_EQ(d.model.component_count(), 3u);
    EXPECT_TRUE(document_test::vectors_fit_model(d));
    d.model_history.undo(d);
    d.model_history.undo(d);
    EXPECT_EQ(document_test::Snapshot(d).difference(before), "");
}

}  // namespace
