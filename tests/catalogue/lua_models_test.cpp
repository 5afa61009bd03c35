#include "catalogue/lua_models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "lineshapes/doublets.h"
#include "lineshapes/singlets.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/scripted_user_interface.h"
#include "tests/support/subspec_ranges.h"

namespace {

namespace fs = std::filesystem;
using test_support::all_of;

const std::string data_dir = VX_TEST_DATA_DIR "/../../data/models";

// A folder of its own: test programs of several builds run side by side.
fs::path scratch_folder(const char* stem)
{
    return fs::temp_directory_path() / (stem + std::to_string(std::random_device{}()));
}

std::wstring wide(const fs::path& path)
{
    const std::u8string u8 = path.u8string();
    return utf8_to_wide(std::string(u8.begin(), u8.end()));
}

std::wstring support(const char* name)
{
    return utf8_to_wide(data_dir + "/" + name);
}

void write(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A models folder as a user would fill it: the three example scripts, a model of three
// declared parameters, a hidden one, one that fails at some velocities, and what the
// loading must pass over (a dot file, a subfolder, the support scripts).
class LuaModels : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = scratch_folder("vx_lua_models_test_");
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "sub");
        write(folder_ / "a_three.lua", R"(
return {
  name = "Quadratic",
  params = {
    { name = "a", format = "%.4f", kind = 7, lower = -1, upper = 10, varied = false, default = 2 },
    { name = "b₁", kind = 14, default = -0.5 },
    { name = "c" },
  },
  value = function(x, a, b, c) return a + b * x + c * x * x end,
})");
        write(folder_ / "b_hidden.lua", "\xEF\xBB\xBF" R"(return { name = "@Secret", value = function(x) return x end })");
        write(folder_ / "c_lorentz.lua", read(data_dir + "/examples/lorentz_singlet.lua"));
        write(folder_ / "d_gauss.lua", read(data_dir + "/examples/gauss_singlet.lua"));
        write(folder_ / "e_doublet.lua", read(data_dir + "/examples/quadrupole_doublet.lua"));
        write(folder_ / "f_failing.lua", R"(
return {
  name = "Failing",
  params = { { name = "k", default = 1 } },
  value = function(x, k)
    if x > 1 then error("beyond the calibration") end
    return k * x
  end,
})");
        write(folder_ / ".hidden.lua", "error('dot files are not loaded')");
        write(folder_ / "sub" / "nested.lua", "error('subfolders are not read')");
        write(folder_ / "lib.lua", "error('the support scripts are not models')");

        runtime_ = new LuaModelRuntime;
        catalogue_ = new SubSpecFactory(SubSpecFactory::instance());
        runtime_->init(support("lib.lua"), support("dualImpl.lua"));
        runtime_->load_folder(wide(folder_), *catalogue_);
    }

    static void TearDownTestSuite()
    {
        delete runtime_;
        delete catalogue_;
        fs::remove_all(folder_);
    }

    static SubSpecPtr lua(const wchar_t* name) { return catalogue_->create_by_name(name, nullptr); }

    static fs::path folder_;
    static LuaModelRuntime* runtime_;
    static SubSpecFactory* catalogue_;
};

fs::path LuaModels::folder_;
LuaModelRuntime* LuaModels::runtime_ = nullptr;
SubSpecFactory* LuaModels::catalogue_ = nullptr;

struct Evaluation {
    std::vector<double> values;
    DMatrix jacobian;
};

Evaluation evaluate(const ISubSpec& s, const DVector& x, const DVector& p)
{
    Evaluation e{std::vector<double>(x.size()), DMatrix(x.size(), p.size())};
    s.evaluate_with_jacobian(all_of(x), all_of(p), e.values.data(), all_of(e.jacobian));
    return e;
}

// A Lua model's values with derivatives: the dual numbers of the script side compute
// the value exactly as plain numbers do.
Evaluation evaluate_lua(const ISubSpec& s, const DVector& x, const DVector& p)
{
    const Evaluation e = evaluate(s, x, p);
    const std::vector<double> plain = test_support::values_of(s, x, p);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_TRUE(plain[i] == e.values[i] || (std::isnan(plain[i]) && std::isnan(e.values[i]))) << i;
    return e;
}

// Equal to rounding: the script computes the formula its own way.
void expect_same_model(const Evaluation& lua, const Evaluation& built_in, unsigned columns)
{
    for (std::size_t i = 0; i < lua.values.size(); ++i) {
        EXPECT_NEAR(lua.values[i], built_in.values[i], 1e-12 * (1.0 + std::fabs(built_in.values[i]))) << i;
        for (unsigned j = 0; j < columns; ++j)
            EXPECT_NEAR(lua.jacobian(i, j), built_in.jacobian(i, j), 1e-11 * (1.0 + std::fabs(built_in.jacobian(i, j))))
                << i << " " << j;
    }
}

TEST_F(LuaModels, EachScriptIsAnEntryAfterASeparatorInNameOrder)
{
    ASSERT_EQ(catalogue_->size(), 37u + 1u + 6u);
    EXPECT_TRUE(catalogue_->at(37).is_separator());
    const wchar_t* names[] = {L"Quadratic", L"Secret", L"Lorentz singlet (Lua)", L"Gauss singlet (Lua)",
                              L"Quadrupole doublet (Lua)", L"Failing"};
    for (unsigned k = 0; k < 6; ++k) {
        EXPECT_EQ(catalogue_->name_at(38 + k), names[k]);
        EXPECT_EQ(catalogue_->is_hidden(38 + k), k == 1);
        EXPECT_FALSE(catalogue_->is_baseline(38 + k));
        EXPECT_FALSE(catalogue_->at(38 + k).needs_isotope);
    }
    EXPECT_EQ(SubSpecFactory::instance().size(), 37u);
}

TEST(LuaSupportScripts, AreKnownByTheirNamesInAnyFolder)
{
    EXPECT_TRUE(is_lua_support_script(L"C:\\Vexmoor\\models\\lib.lua"));
    EXPECT_TRUE(is_lua_support_script(L"/opt/vexmoor/models/dualImpl.lua"));
    EXPECT_TRUE(is_lua_support_script(L"lib.lua"));
    EXPECT_FALSE(is_lua_support_script(L"models/mylib.lua"));
    EXPECT_FALSE(is_lua_support_script(L"models/lib.lua.bak"));
}

TEST_F(LuaModels, AHiddenModelIsNamedAsTheCatalogueKnowsIt)
{
    const SubSpecPtr hidden = catalogue_->create_at(39, nullptr);
    EXPECT_EQ(hidden->display_name(), L"Secret");
    EXPECT_TRUE(catalogue_->create_by_name(hidden->display_name(), nullptr));
}

TEST_F(LuaModels, DeclaredParametersComeInDeclarationOrder)
{
    const SubSpecPtr s = lua(L"Quadratic");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->param_count(), 3u);
    EXPECT_EQ(s->shown_param_count(), 3u);
    const ParamInfo& a = s->param_info(0);
    EXPECT_EQ(a.name, L"a");
    EXPECT_EQ(a.format, L"%.4f");
    EXPECT_EQ(a.kind, 7);
    EXPECT_EQ(a.lower, -1.0);
    EXPECT_EQ(a.upper, 10.0);
    EXPECT_FALSE(a.free);
    const ParamInfo& b = s->param_info(1);
    EXPECT_EQ(b.name, L"b₁");
    EXPECT_EQ(b.format, L"%.3f");
    EXPECT_EQ(b.lower, -unbounded);
    EXPECT_TRUE(b.free);
    EXPECT_EQ(s->param_info(2).name, L"c");
    EXPECT_THROW(s->param_info(3), std::runtime_error);

    DVector p(5, 9.0);
    s->init_params(SpectrumAnalysis{}, p, 1, 3);
    EXPECT_EQ(p(0), 9.0);
    EXPECT_EQ(p(1), 2.0);
    EXPECT_EQ(p(2), -0.5);
    EXPECT_EQ(p(3), 0.0);
    std::vector<unsigned> layout;
    s->param_layout(layout);
    EXPECT_EQ(layout, (std::vector<unsigned>{0, 1, 2}));
    EXPECT_EQ(dynamic_cast<const ISubSpecArea&>(*s).area_expr(4), L"[4:a]");
    EXPECT_EQ(dynamic_cast<const IAAParam*>(s.get()), nullptr);
    EXPECT_EQ(s->clone()->display_name(), L"Quadratic");
}

TEST_F(LuaModels, ValuesAndDerivativesComeFromTheScript)
{
    const SubSpecPtr s = lua(L"Quadratic");
    const DVector x = test_support::grid(-3.0, 3.0, 70);
    const DVector p = test_support::vec({1.5, -0.25, 0.75});
    const Evaluation e = evaluate_lua(*s, x, p);
    for (std::size_t i = 0; i < x.size(); ++i) {
        EXPECT_DOUBLE_EQ(e.values[i], 1.5 - 0.25 * x(i) + 0.75 * x(i) * x(i));
        EXPECT_EQ(e.jacobian(i, 0), 1.0);
        EXPECT_DOUBLE_EQ(e.jacobian(i, 1), x(i));
        EXPECT_DOUBLE_EQ(e.jacobian(i, 2), x(i) * x(i));
    }
}

TEST_F(LuaModels, ExampleScriptsEqualTheBuiltInModels)
{
    const DVector x = test_support::grid(-4.0, 4.0, 301);
    expect_same_model(evaluate_lua(*lua(L"Lorentz singlet (Lua)"), x, test_support::vec({1.2, 0.2, 0.35})),
                      evaluate(*make_subspec<LorenzLine>(nullptr), x, test_support::vec({1.2, 0.2, 0.35})), 3);
    expect_same_model(evaluate_lua(*lua(L"Gauss singlet (Lua)"), x, test_support::vec({1.2, 0.2, 0.35})),
                      evaluate(*make_subspec<PseudoVoigtLine>(nullptr), x, test_support::vec({1.2, 0.2, 0.35, 1.0})),
                      3);
    expect_same_model(
        evaluate_lua(*lua(L"Quadrupole doublet (Lua)"), x, test_support::vec({1.1, 0.8, 0.3, 0.6, 0.3})),
        evaluate(*make_subspec<PseudoVoigtDoublet>(nullptr), x, test_support::vec({1.1, 0.8, 0.3, 0.6, 0.3, 1.0, 0.0})),
        5);
}

TEST_F(LuaModels, ConcurrentBlocksEqualOneSerialCall)
{
    const SubSpecPtr s = lua(L"Lorentz singlet (Lua)");
    const DVector x = test_support::grid(-4.0, 4.0, 1024);
    const DVector p = test_support::vec({1.2, 0.2, 0.35});
    const Evaluation serial = evaluate_lua(*s, x, p);

    // Sixteen blocks on sixteen threads at once, values with derivatives.
    Evaluation blocks{std::vector<double>(x.size()), DMatrix(x.size(), 3)};
    std::vector<std::thread> threads;
    for (std::size_t b = 0; b < 16; ++b)
        threads.emplace_back([&, b] {
            const boost::numeric::ublas::range rows(b * 64, b * 64 + 64);
            s->evaluate_with_jacobian(XPoints(x, rows), all_of(p), blocks.values.data() + b * 64,
                                      JacobianRange(blocks.jacobian, rows, boost::numeric::ublas::range(0, 3)));
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(blocks.values, serial.values);
    for (std::size_t i = 0; i < x.size(); ++i)
        for (unsigned j = 0; j < 3; ++j)
            ASSERT_EQ(blocks.jacobian(i, j), serial.jacobian(i, j));
}

// The model's own 16-block evaluation on the OpenMP team.
TEST_F(LuaModels, ModelBlocksEqualOneSerialCall)
{
    const SubSpecPtr s = lua(L"Lorentz singlet (Lua)");
    const DVector x = test_support::grid(-4.0, 4.0, 1024);
    const DVector p = test_support::vec({1.2, 0.2, 0.35});
    SpectrumModel model;
    model.scale = 1.0;
    model.insert_component(0, s);
    DVector out(x.size());
    model.evaluate(x, 0, x.size(), p, out);
    const std::vector<double> plain = test_support::values_of(*s, x, p);
    for (std::size_t i = 0; i < x.size(); ++i)
        ASSERT_EQ(out(i), plain[i]);
}

TEST_F(LuaModels, AFailingScriptGivesNaNAndIsReportedOnce)
{
    test_support::ScriptedUserInterface log;  // keeps the debugger output
    const SubSpecPtr s = lua(L"Failing");
    const DVector x = test_support::grid(0.0, 2.0, 9);
    for (int round = 0; round < 3; ++round) {
        const Evaluation e = evaluate_lua(*s, x, test_support::vec({3.0}));
        for (std::size_t i = 0; i < x.size(); ++i) {
            EXPECT_TRUE(std::isnan(e.values[i])) << i;
            EXPECT_TRUE(std::isnan(e.jacobian(i, 0))) << i;
        }
    }
    ASSERT_EQ(log.debug_lines.size(), 1u);
    EXPECT_NE(log.debug_lines[0].find(L"beyond the calibration"), std::wstring::npos)
        << wide_to_utf8(log.debug_lines[0]);
    // Where the script does not fail it evaluates.
    const Evaluation fine = evaluate_lua(*s, test_support::vec({0.5}), test_support::vec({3.0}));
    EXPECT_EQ(fine.values[0], 1.5);
    EXPECT_EQ(fine.jacobian(0, 0), 0.5);
}

std::string load_error(LuaModelRuntime& runtime, SubSpecFactory& catalogue, const fs::path& script)
{
    try {
        runtime.load(wide(script), catalogue);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

TEST(LuaModelErrors, EachFailureSaysWhereAndChangesNothing)
{
    const fs::path folder = scratch_folder("vx_lua_errors_test_");
    fs::create_directories(folder);
    SubSpecFactory catalogue;
    LuaModelRuntime runtime;
    EXPECT_EQ(load_error(runtime, catalogue, folder / "any.lua"), "lua is not initialized");

    EXPECT_THROW(runtime.init(wide(folder / "missing.lua"), support("dualImpl.lua")), std::runtime_error);
    try {
        runtime.init(wide(folder / "missing.lua"), support("dualImpl.lua"));
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error loading library: ", 0), 0u) << e.what();
    }
    try {
        runtime.init(support("lib.lua"), wide(folder / "missing.lua"));
        ADD_FAILURE() << "a missing dualImpl.lua initialised";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error initializing library: ", 0), 0u) << e.what();
    }
    EXPECT_FALSE(runtime.is_open());

    runtime.init(support("lib.lua"), support("dualImpl.lua"));
    ASSERT_TRUE(runtime.is_open());
    write(folder / "syntax.lua", "return { name = ");
    write(folder / "nothing.lua", "return 42");
    write(folder / "raises.lua", "error('not today')");
    for (const char* name : {"syntax.lua", "nothing.lua", "raises.lua", "absent.lua"}) {
        const std::string error = load_error(runtime, catalogue, folder / name);
        EXPECT_EQ(error.rfind("Error loading model: ", 0), 0u) << error;
    }
    EXPECT_NE(load_error(runtime, catalogue, folder / "raises.lua").find("not today"), std::string::npos);
    EXPECT_EQ(catalogue.size(), 0u);

    // A script that never names its model gives an entry without a name.
    write(folder / "unnamed.lua", "return { value = function(x) return 0 end }");
    runtime.load(wide(folder / "unnamed.lua"), catalogue);
    ASSERT_EQ(catalogue.size(), 2u);
    EXPECT_EQ(catalogue.name_at(1), L"");
    EXPECT_FALSE(catalogue.at(1).is_separator());

    // After the state is closed its models evaluate to NaN.
    const SubSpecPtr s = catalogue.create_at(1, nullptr);
    runtime.close();
    test_support::ScriptedUserInterface log;  // keeps the debugger output
    const DVector x = test_support::grid(0.0, 1.0, 4);
    EXPECT_TRUE(std::isnan(test_support::values_of(*s, x, DVector(0))[2]));
    fs::remove_all(folder);
}

// Runs `call` and fails the whole program when it does not return within `seconds`: a
// thread caught in a script cannot be stopped from outside.
template <class Call>
void returns_within(double seconds, Call call)
{
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&] {
        call();
        done.set_value();
    });
    if (finished.wait_for(std::chrono::duration<double>(seconds)) != std::future_status::ready) {
        std::fprintf(stderr, "a script call did not return within %g s\n", seconds);
        std::_Exit(1);
    }
    worker.join();
}

// Endless loops while a script loads and while a model evaluates: each call fails at the
// time limit as that script's error, the models loaded before and after work, and the
// model that overran is not called again. The loops run long enough to be compiled, so
// the limit holds for compiled code as well; a second state at the same time, which runs
// interpreted, is bounded too.
TEST(LuaModelLimits, EndlessLoopsFailAtTheTimeLimit)
{
    const fs::path folder = scratch_folder("vx_lua_limits_test_");
    fs::create_directories(folder);
    write(folder / "a_line.lua", R"(return { name = "Line", params = { { name = "k" } },
  value = function(x, k) return k * x end })");
    write(folder / "b_loading.lua", "local n = 0\nwhile true do n = n + 1 end\n");
    write(folder / "c_evaluating.lua", R"(return { name = "Loop", params = { { name = "k" } },
  value = function(x, k)
    local s = 0
    while s >= 0 do s = s + k end
    return s
  end })");
    write(folder / "d_bare.lua", "while true do end\n");
    write(folder / "e_compiler.lua", "return { name = 'compiler ' .. tostring(jit.status()), value = function(x) return x end }");

    using namespace std::chrono;
    const milliseconds limit{300};
    LuaModelRuntime first(limit), second(limit);
    SubSpecFactory first_catalogue, second_catalogue;
    first.init(support("lib.lua"), support("dualImpl.lua"));
    second.init(support("lib.lua"), support("dualImpl.lua"));
    for (LuaModelRuntime* runtime : {&first, &second}) {
        SubSpecFactory& catalogue = runtime == &first ? first_catalogue : second_catalogue;
        SCOPED_TRACE(runtime == &first ? "first state" : "second state");
        runtime->load(wide(folder / "a_line.lua"), catalogue);
        for (const char* script : {"b_loading.lua", "d_bare.lua"}) {
            std::string error;
            const auto start = steady_clock::now();
            returns_within(30.0, [&] { error = load_error(*runtime, catalogue, folder / script); });
            EXPECT_GE(steady_clock::now() - start, limit);
            EXPECT_EQ(error.rfind("Error loading model: ", 0), 0u) << error;
            EXPECT_NE(error.find(std::string(script) + ":"), std::string::npos) << error;  // where it ran
            EXPECT_NE(error.find("the script ran longer than 300 ms and was stopped"), std::string::npos) << error;
        }
        ASSERT_EQ(catalogue.size(), 2u);  // the separator and "Line"
        runtime->load(wide(folder / "c_evaluating.lua"), catalogue);
        runtime->load(wide(folder / "e_compiler.lua"), catalogue);
        ASSERT_EQ(catalogue.size(), 4u);
        EXPECT_EQ(catalogue.name_at(3), runtime == &first ? L"compiler true" : L"compiler false");

        test_support::ScriptedUserInterface log;  // keeps the debugger output
        const SubSpecPtr loop = catalogue.create_by_name(L"Loop", nullptr);
        const DVector x = test_support::grid(0.0, 1.0, 8);
        std::vector<double> values;
        returns_within(30.0, [&] { values = test_support::values_of(*loop, x, test_support::vec({1.0})); });
        EXPECT_TRUE(std::isnan(values[3]));
        ASSERT_EQ(log.debug_lines.size(), 1u);
        EXPECT_NE(log.debug_lines[0].find(L"c_evaluating.lua:"), std::wstring::npos) << wide_to_utf8(log.debug_lines[0]);
        EXPECT_NE(log.debug_lines[0].find(L"ran longer than 300 ms"), std::wstring::npos);

        // Not called again: no wait, no second report; the other model evaluates.
        const auto again = steady_clock::now();
        const Evaluation e = evaluate(*loop, x, test_support::vec({1.0}));
        EXPECT_LT(steady_clock::now() - again, limit);
        EXPECT_TRUE(std::isnan(e.values[3]));
        EXPECT_TRUE(std::isnan(e.jacobian(3, 0)));
        EXPECT_EQ(log.debug_lines.size(), 1u);
        const Evaluation line = evaluate(*catalogue.create_by_name(L"Line", nullptr), x, test_support::vec({3.0}));
        EXPECT_DOUBLE_EQ(line.values[3], 3.0 * x(3));
        EXPECT_DOUBLE_EQ(line.jacobian(3, 0), x(3));
    }
    first.close();
    second.close();
    fs::remove_all(folder);
}

}  // namespace
