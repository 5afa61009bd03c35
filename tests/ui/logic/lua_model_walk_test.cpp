#include "ui/logic/lua_model_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/text/text.h"

namespace fs = std::filesystem;

namespace {

// A models folder of its own per test, with a loader that records its calls.
class LuaModelWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("vx-lua-walk-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void file(const std::string& name) { std::ofstream(folder / name) << "return {}\n"; }
    std::wstring folder_text() const { return folder.wstring(); }

    LuaModelLoader recording_loader(const std::wstring& failing = L"")
    {
        return {[this] { ++init_calls; },
                [this, failing](const std::wstring& path) {
                    const std::wstring name = fs::path(path).filename().wstring();
                    if (name == failing) throw std::runtime_error("Error loading model: [string]:3: boom");
                    loaded.push_back(name);
                }};
    }

    fs::path folder;
    int init_calls = 0;
    std::vector<std::wstring> loaded;
};

} // namespace

TEST_F(LuaModelWalk, TakesOnlyRegularFilesNotStartingWithADot)
{
    file("a.lua");
    file(".hidden.lua");
    fs::create_directories(folder / "sub");
    std::ofstream(folder / "sub" / "inner.lua") << "x";
    const auto failures = load_lua_models(folder_text(), recording_loader());
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(loaded, std::vector<std::wstring>{L"a.lua"});
    EXPECT_EQ(init_calls, 1);
}

TEST_F(LuaModelWalk, ABrokenScriptIsNamedAndTheOthersStillLoad)
{
    for (const char* name : {"a.lua", "broken.lua", "c.lua"}) file(name);
    const auto failures = load_lua_models(folder_text(), recording_loader(L"broken.lua"));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], L"broken.lua: Error loading model: [string]:3: boom");
    std::sort(loaded.begin(), loaded.end());
    EXPECT_EQ(loaded, (std::vector<std::wstring>{L"a.lua", L"c.lua"}));
}

TEST_F(LuaModelWalk, NoFolderOrAFileOfThatNameLoadsNothingAndSaysNothing)
{
    file("models");
    for (const fs::path& path : {folder / "absent", folder / "models"}) {
        EXPECT_TRUE(load_lua_models(path.wstring(), recording_loader()).empty());
    }
    EXPECT_EQ(init_calls, 0);
}

TEST_F(LuaModelWalk, AnEmptyFolderNeverCreatesTheLuaState)
{
    file(".only-hidden");
    EXPECT_TRUE(load_lua_models(folder_text(), recording_loader()).empty());
    EXPECT_EQ(init_calls, 0);
}

TEST_F(LuaModelWalk, AFailingInitialisationEndsTheWalkWithItsText)
{
    file("a.lua");
    file("b.lua");
    const auto failures = load_lua_models(folder_text(), unavailable_lua_loader());
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find(L"no Lua support"), std::wstring::npos);
}
