#include "core/text/data_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "tests/support/scripted_user_interface.h"

namespace {

namespace fs = std::filesystem;

std::wstring wide(const fs::path& path)
{
    const std::u8string u8 = path.u8string();
    return utf8_to_wide(std::string(u8.begin(), u8.end()));
}

// A program installed in <temp>/<unique>/bin.
class DataFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("vx_data_files_" + std::to_string(std::random_device()()));
        fs::create_directories(root_ / "bin");
        ui_.folder = bin();
    }
    void TearDown() override { fs::remove_all(root_); }

    std::wstring bin() const { return wide(root_ / "bin"); }
    void create(const fs::path& folder, const std::wstring& name) const { std::ofstream(folder / to_path(name)) << "x"; }

    fs::path root_;

private:
    test_support::ScriptedUserInterface ui_;  // the program folder is bin()
};

const std::wstring sep(1, fs::path::preferred_separator);

TEST_F(DataFiles, BesideTheProgramFirst)
{
    create(root_ / "bin", L"isotope.txt");
    create(root_, L"isotope.txt");
    EXPECT_EQ(find_data_file(L"isotope.txt"), bin() + sep + L"isotope.txt");
}

TEST_F(DataFiles, ThenInTheParentFolderWithoutNormalising)
{
    create(root_, L"\u0438\u0437\u043e\u0442\u043e\u043f.txt");
    EXPECT_EQ(find_data_file(L"\u0438\u0437\u043e\u0442\u043e\u043f.txt"),
              bin() + sep + L".." + sep + L"\u0438\u0437\u043e\u0442\u043e\u043f.txt");
}

TEST_F(DataFiles, FoldersCountAsWell)
{
    fs::create_directories(root_ / "models");
    EXPECT_EQ(find_data_file(L"models"), bin() + sep + L".." + sep + L"models");
}

// A file of that name in the working folder is not the program's: the path stays in
// the program's parent folder, where opening it fails and reports the missing file.
TEST_F(DataFiles, NeitherGivesTheParentFolderPathNotTheWorkingFolder)
{
    const fs::path previous = fs::current_path();
    fs::create_directories(root_ / "work");
    fs::current_path(root_ / "work");
    create(root_ / "work", L"model_expressions.txt");
    const std::wstring found = find_data_file(L"model_expressions.txt");
    fs::current_path(previous);
    EXPECT_EQ(found, bin() + sep + L".." + sep + L"model_expressions.txt");
    EXPECT_THROW(read_text_file(found), std::runtime_error);
}

TEST(FileStem, DropsFolderAndLastExtension)
{
    EXPECT_EQ(file_stem(L"C:\\fits\\run1\\\u03b1-Fe.spc"), L"\u03b1-Fe");
    EXPECT_EQ(file_stem(L"/data/spectra/sample.tar.gz"), L"sample.tar");
    EXPECT_EQ(file_stem(L"C:\\dir.d/plain"), L"plain");
    EXPECT_EQ(file_stem(L"name."), L"name");
    EXPECT_EQ(file_stem(L"C:\\dir\\.hidden"), L".hidden");
    EXPECT_EQ(file_stem(L"C:\\dir\\."), L".");
    EXPECT_EQ(file_stem(L".."), L"..");
    EXPECT_EQ(file_stem(L"C:\\dir\\"), L"");
    EXPECT_EQ(file_stem(L""), L"");
}

} // namespace
