// Keyword files: the line grammar, reading files in their encodings, the writer's
// exact output and save-and-reload round trips.
#include "core/text/kwfile.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/text/text.h"

void PrintTo(const KWData& d, std::ostream* os) { *os << "{\"" << wide_to_utf8(d.value) << "\", " << d.flags << "}"; }

namespace {

namespace fs = std::filesystem;

std::wstring wide_path(const fs::path& p)
{
    const std::u8string u8 = p.u8string();
    return utf8_to_wide(std::string(u8.begin(), u8.end()));
}

std::wstring data_file(const char* name) { return utf8_to_wide(VX_TEST_DATA_DIR "/kwfile/") + utf8_to_wide(name); }

KeywordList parsed(std::wstring_view text)
{
    KeywordList list;
    kwfile_load_from_memory(text, list);
    return list;
}

// Entries as a file gives them back: without transient ones, all flags 0.
KeywordList as_stored(const KeywordList& list)
{
    KeywordList out;
    for (const auto& [key, data] : list)
        if (!(data.flags & KWTransient)) out.emplace_back(key, KWData{data.value, 0});
    return out;
}

class KwfileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("vx_kwfile_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::wstring file(const char* name) const { return wide_path(dir_ / name); }
    fs::path dir_;
};

std::string file_bytes(const std::wstring& name) { return read_binary_file(name); }

// ---- Line split ----

TEST(KwfileSplitLine, KeyIsNormalisedValueIsRaw)
{
    struct Case {
        std::wstring_view line;
        bool ok;
        std::wstring_view key, value;
    } cases[] = {
        {L"  my   key :  12  \n", true, L"my key", L"  12  \n"},
        {L":x", true, L"", L"x"},
        {L"a\tb\u3000c:d:e", true, L"a b c", L"d:e"},
        {L"no colon here", false, L"", L""},
        {L"Key:", true, L"Key", L""},
    };
    for (const Case& c : cases) {
        std::wstring key = L"old", value = L"old";
        EXPECT_EQ(kwfile_split_line(c.line, key, value), c.ok) << wide_to_utf8(c.line);
        EXPECT_EQ(key, c.key) << wide_to_utf8(c.line);
        EXPECT_EQ(value, c.value) << wide_to_utf8(c.line);
    }
}

// ---- Grammar ----

TEST(KwfileGrammar, ReadsTheDocumentedShapes)
{
    struct Case {
        const char* what;
        std::wstring_view text;
        KeywordList expected;
    } cases[] = {
        {"end line adds a last empty line", L"Data:\n1 2\nEndData:\n", {{L"Data", {L"1 2\n"}}}},
        {"block without end line runs to the end", L"Data:\n1 2\n", {{L"Data", {L"1 2"}}}},
        {"text before the end key is the last line", L"Data:\n1 2 3 EndData:\nX:1", {{L"Data", {L"1 2 3 "}}, {L"X", {L"1"}}}},
        {"second line with a key ends the block before it",
         L"Comment:\na: b\nEndComment:\n",
         {{L"Comment", {L""}}, {L"a", {L"b"}}, {L"EndComment", {L""}}}},
        {"one-line block value", L"Comment:note\nTitle:x", {{L"Comment", {L"note"}}, {L"Title", {L"x"}}}},
        {"first block line keeps its blanks", L"Comment: x\nTitle:y\n", {{L"Comment", {L" x"}}, {L"Title", {L"y"}}}},
        {"key and value trimmed", L"  my   key :  12  \n", {{L"my key", {L"12"}}}},
        {"line without colon skipped outside a block, data inside",
         L"junk\nData:\n1 2\nno colon\nEndData:\n",
         {{L"Data", {L"1 2\nno colon\n"}}}},
        {"leading empty lines vanish, later ones stay",
         L"Data:\n\n\n1\n\n2\nEndData:\n",
         {{L"Data", {L"1\n\n2\n"}}}},
        {"second line whose key is the end key is data",
         L"Data:x\nEndData:v\n3EndData:\n",
         {{L"Data", {L"x\nEndData:v\n3"}}}},
        {"key line after a one-line block may open a block",
         L"Comment:x\nData:\na:1\nEndData:\n",
         {{L"Comment", {L"x"}}, {L"Data", {L"a:1\n"}}}},
        {"in memory a CR stays part of its line",
         L"Data:\r\n1\r\nEndData:\r\nT: v\r\n",
         {{L"Data", {L"\r\n1\r\nEndData:\r\nT: v\r"}}}},
        {"repeated keys are kept in order", L"A:1\nA:2\n", {{L"A", {L"1"}}, {L"A", {L"2"}}}},
        {"escaped value and key are decoded",
         L"Name:$$a$000ab\n$$k$003a1:$$$0020x\n",
         {{L"Name", {L"a\nb"}}, {L"k:1", {L" x"}}}},
        {"texts that merely look escaped stay literal",
         L"Price:$$100\nA:$$a$00G0\nB:$$\nC:$$a$004Ab\n",
         {{L"Price", {L"$$100"}}, {L"A", {L"$$a$00G0"}}, {L"B", {L"$$"}}, {L"C", {L"$$a$004Ab"}}}},
        {"empty text", L"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parsed(c.text), c.expected) << c.what;
}

TEST(KwfileGrammar, AppendsToTheList)
{
    KeywordList list{{L"Old", {L"1", KWHidden}}};
    kwfile_load_from_memory(L"New:2\n", list);
    EXPECT_EQ(list, (KeywordList{{L"Old", {L"1", KWHidden}}, {L"New", {L"2"}}}));
}

TEST(KwfileGrammar, LongLinesAreNeitherSplitNorCut)
{
    const std::wstring longv(250000, L'7');
    const std::wstring text = L"Long:" + longv + L"\nData:\n" + longv + L" 1\nEndData:\nAfter:x\n";
    EXPECT_EQ(parsed(text),
              (KeywordList{{L"Long", {longv}}, {L"Data", {longv + L" 1\n"}}, {L"After", {L"x"}}}));
}

// ---- Files ----

TEST(KwfileLoad, ReadsEveryEncodingAndLineEnd)
{
    const KeywordList expected{{L"Title", {L"Fe₂O₃ at 295 K"}},
                               {L"Comment", {L"first line\nsecond line\n"}},
                               {L"Data", {L"1 2 3\n4 5 6\n"}},
                               {L"my key", {L"12"}}};
    for (const char* name :
         {"utf8_bom_crlf.spc", "utf8_nobom_lf.spc", "utf16le_bom_crlf.spc", "utf16le_nobom_crlf.spc"}) {
        KeywordList list;
        kwfile_load(data_file(name), list);
        EXPECT_EQ(list, expected) << name;
    }
}

TEST_F(KwfileFiles, LoadKeepsALoneCarriageReturn)
{
    {
        std::ofstream out(fs::path(dir_ / "cr.spc"), std::ios::binary);
        out << "\xEF\xBB\xBF" "Data:\r\n1\r2\r\r\nEndData:\r\n";
    }
    KeywordList list;
    kwfile_load(file("cr.spc"), list);
    EXPECT_EQ(list, (KeywordList{{L"Data", {L"1\r2\r\n"}}}));
}

TEST_F(KwfileFiles, MissingFileThrowsAndKeepsTheList)
{
    KeywordList list{{L"Keep", {L"1"}}};
    const std::wstring name = file("missing.spc");
    try {
        kwfile_load(name, list);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(wide_to_utf8(name)), std::string::npos) << e.what();
    }
    EXPECT_EQ(list, (KeywordList{{L"Keep", {L"1"}}}));
}

// A failed load or save names the file and gives the system's reason.
TEST_F(KwfileFiles, FailuresGiveTheFileAndTheSystemsReason)
{
    const std::wstring missing = file("missing.spc");
    const std::wstring no_folder = file("no such folder/out.spc");
    const std::wstring folder = file("a folder.spc");
    fs::create_directory(fs::path(dir_ / "a folder.spc"));
    const struct {
        const char* what;
        std::function<void()> run;
        std::string text;  // the reason is the platform's wording; empty: any reason
    } cases[] = {
        {"load of a missing file", [&] { KeywordList l; kwfile_load(missing, l); },
         "Can't open file " + wide_to_utf8(missing) + ": No such file or directory"},
        {"save into a missing folder", [&] { kwfile_save(no_folder, {{L"A", {L"1"}}}); },
         "Can't create file " + wide_to_utf8(no_folder) + ": No such file or directory"},
        {"load of a folder", [&] { KeywordList l; kwfile_load(folder, l); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.run();
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            if (!c.text.empty()) {
                EXPECT_EQ(what, c.text);
            } else {
                const std::string name = wide_to_utf8(folder) + ": ";
                ASSERT_NE(what.find(name), std::string::npos) << what;
                EXPECT_GT(what.size(), what.find(name) + name.size()) << what;
            }
        }
    }
}

// ---- Writing ----

TEST(KwfileWrite, ExactText)
{
    struct Case {
        const char* what;
        KeywordList list;
        std::wstring_view text;
    } cases[] = {
        {"ordinary entries", {{L"Title", {L"x"}}, {L"Empty", {L""}}}, L"Title:x\nEmpty:\n"},
        {"transient entries are left out", {{L"A", {L"1", KWTransient}}, {L"B", {L"2", KWHidden | KWReadOnly}}}, L"B:2\n"},
        {"one-line block value", {{L"Data", {L"1 2 3"}}, {L"T", {L"x"}}}, L"Data:1 2 3\nT:x\n"},
        {"block ending with a line feed", {{L"Data", {L"1 2\n3 4\n"}}}, L"Data:\n1 2\n3 4\nEndData:\n"},
        {"block without a final line feed", {{L"Comment", {L"a\nb"}}}, L"Comment:\na\nbEndComment:\n"},
        {"first block line with a colon", {{L"Comment", {L"at 12:30\nok\n"}}}, L"Comment:\n\nat 12:30\nok\nEndComment:\n"},
        {"empty block value", {{L"Comment", {L""}}, {L"T", {L"x"}}}, L"Comment:\nEndComment:\nT:x\n"},
        {"line feed under an ordinary key", {{L"Name", {L"a\nb"}}}, L"Name:$$a$000ab\n"},
        {"blanks around an ordinary value", {{L"Name", {L" x "}}}, L"Name:$$$0020x$0020\n"},
        {"key with a colon", {{L"a:b", {L"1"}}}, L"$$a$003ab:1\n"},
        {"one-line block before its end key", {{L"Data", {L"1"}}, {L"EndData", {L"x"}}}, L"Data:\n1EndData:\nEndData:x\n"},
        {"block starting with an empty line", {{L"Comment", {L"\nx"}}}, L"Comment:$$$000ax\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(kwfile_save_to_memory(c.list), c.text) << c.what;
}

TEST_F(KwfileFiles, SavedFileIsUtf8WithMarkAndCrLf)
{
    const std::wstring name = file("out.spc");
    kwfile_save(name, {{L"Title", {L"Fe₂O₃"}}, {L"Data", {L"1 2\n"}}});
    EXPECT_EQ(file_bytes(name), "\xEF\xBB\xBFTitle:Fe\xE2\x82\x82O\xE2\x82\x83\r\nData:\r\n1 2\r\nEndData:\r\n");
}

TEST_F(KwfileFiles, ReadAndSavedAgainGivesTheSameFile)
{
    const std::wstring first = file("first.spc"), second = file("second.spc");
    KeywordList list;
    kwfile_load(data_file("utf8_bom_crlf.spc"), list);
    kwfile_save(first, list);
    KeywordList again;
    kwfile_load(first, again);
    kwfile_save(second, again);
    EXPECT_EQ(again, list);
    EXPECT_EQ(file_bytes(second), file_bytes(first));
}

TEST_F(KwfileFiles, SaveReplacesTheWholeFileAndFailsCleanly)
{
    const std::wstring name = file("out.spc");
    kwfile_save(name, {{L"Long", {std::wstring(5000, L'x')}}});
    kwfile_save(name, {{L"A", {L"1"}}});
    EXPECT_EQ(file_bytes(name), "\xEF\xBB\xBF" "A:1\r\n");
    EXPECT_THROW(kwfile_save(file("no such folder/out.spc"), {{L"A", {L"1"}}}), std::runtime_error);
}

// Save-and-reload round trips over values that plain key:value lines cannot carry.
TEST_F(KwfileFiles, SavedListsReloadUnchanged)
{
    const wchar_t lone_surrogate[] = {static_cast<wchar_t>(0xD800), L'x', 0};
    const KeywordList lists[] = {
        {{L"Comment", {L"Measured at 12:30\nsecond: line"}}, {L"Title", {L"t"}}},
        {{L"Data", {L"1 2\n"}}, {L"Spectrum", {L"1\n2"}}, {L"DataX", {L"\n\n1"}}},
        {{L"Name", {L"line 1\nline 2\n"}}, {L"Padded", {L"\t x \r"}}, {L"Cr", {L"a\rb\r\nc"}}},
        {{L" odd  key ", {L"1"}}, {L"a:b", {L"c:d"}}, {L"$$k$0041", {L"$$v$0041"}}, {L"", {L""}}},
        {{L"Data", {L"1"}}, {L"EndData", {L"x"}}, {L"Comment", {L""}}, {L"xEndComment", {L""}}},
        {{L"Comment", {L"a EndComment:\nb"}}, {L"Data", {L"EndData:"}}, {L"SpectrumX", {L"EndSpectrumX:\n"}}},
        {{L"Comment", {L"x"}}, {L"Data", {L""}}, {L"T", {L"y"}}},
        {{L"Sym", {L"\U0001F600 \u00e9|$"}}, {L"Bad", {lone_surrogate}}, {L"Nul", {std::wstring(L"a\0b", 3)}}},
        {{L"Long", {std::wstring(150000, L'a') + L"\n" + std::wstring(150000, L'b')}}},
    };
    for (const KeywordList& list : lists) {
        const std::wstring name = file("rt.spc");
        kwfile_save(name, list);
        KeywordList back;
        kwfile_load(name, back);
        EXPECT_EQ(back, as_stored(list)) << wide_to_utf8(kwfile_save_to_memory(list));
        EXPECT_EQ(parsed(kwfile_save_to_memory(list)), as_stored(list));
    }
}

} // namespace
