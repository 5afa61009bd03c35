#include "core/text/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::wstring text;
};

class DecodeText : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeText, ReadsByMarkOrByContent)
{
    EXPECT_EQ(decode_text(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DecodeText,
    ::testing::Values(
        DecodeCase{"utf8_bom", std::string("\xEF\xBB\xBF" "a\xCE\x93", 6), L"a\u0393"},
        DecodeCase{"utf16le_bom", std::string("\xFF\xFE" "a\0\x93\x03", 6), L"a\u0393"},
        DecodeCase{"utf16le_without_bom", std::string("N\0=\0" "5\0", 6), L"N=5"},
        DecodeCase{"ascii_without_bom", "Spectrum: 1 2 3\r\n", L"Spectrum: 1 2 3\r\n"},
        DecodeCase{"utf8_without_bom", "\xCE\xB4=0.1", L"\u03b4=0.1"},
        DecodeCase{"malformed_utf8", "a\xFFz", L"a\uFFFDz"},
        DecodeCase{"truncated_utf8", "a\xCE", L"a\uFFFD"},
        DecodeCase{"empty", "", L""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf, RoundTripsOutsideTheBasicPlane)
{
    const std::wstring text = utf8_to_wide("x\xF0\x9D\x9B\xBC y");  // mathematical italic small alpha
    EXPECT_EQ(wide_to_utf8(text), "x\xF0\x9D\x9B\xBC y");
    const std::u16string u16 = wide_to_utf16(text);
    ASSERT_EQ(u16.size(), 5u);  // a surrogate pair, whatever the width of wchar_t
    EXPECT_EQ(u16[1], 0xD835);
    EXPECT_EQ(utf16_to_wide(u16), text);
}

class TextFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Test programs run side by side: every test gets a folder of its own.
        dir = std::filesystem::temp_directory_path() /
              ("vx_text_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::wstring name(const char* leaf) const { return (dir / leaf).wstring(); }
    std::filesystem::path dir;
};

TEST_F(TextFile, WritesUtf8WithMarkAndReplacesAnExistingFile)
{
    const std::wstring file = name("a.spc");
    write_text_file(file, L"old content that is longer");
    write_text_file(file, L"\u0393 new");
    EXPECT_EQ(read_binary_file(file), "\xEF\xBB\xBF\xCE\x93 new");
    EXPECT_EQ(read_text_file(file), L"\u0393 new");
    // Nothing but the target is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST_F(TextFile, FailedWriteKeepsTheOldFile)
{
    const std::wstring file = name("kept.spc");
    write_text_file(file, L"precious");
    // The temporary file cannot be created where a directory of its name stands.
    std::filesystem::create_directory(to_path(file + L".tmp~"));
    EXPECT_THROW(write_text_file(file, L"lost"), std::runtime_error);
    EXPECT_EQ(read_text_file(file), L"precious");
}

TEST_F(TextFile, MissingFileThrowsWithItsName)
{
    try {
        read_text_file(name("missing.spc"));
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("missing.spc"), std::string::npos);
    }
}

} // namespace
