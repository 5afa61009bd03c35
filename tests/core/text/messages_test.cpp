#include "core/text/messages.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <stdexcept>

#include "core/text/errors.h"
#include "core/text/message_table.h"
#include "core/text/text.h"
#include "tests/core/text/message_format_cases.h"

namespace {

class MessageFormat : public ::testing::TestWithParam<MessageFormatCase> {};

TEST_P(MessageFormat, FollowsTheMessageFormatterRules)
{
    EXPECT_EQ(format_message_text(GetParam().definition, GetParam().inserts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Definitions, MessageFormat, ::testing::ValuesIn(message_format_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Each test leaves the language as it found it.
class Messages : public ::testing::Test {
protected:
    void TearDown() override { set_message_language(0x409); }
};

TEST_F(Messages, EnglishTextsWithInserts)
{
    EXPECT_EQ(MessageText(50000).str(), L"Vexmoor");
    EXPECT_EQ(MessageText(50050).str(), L"The file contains no data points");
    EXPECT_EQ(MessageText(50036, 4u).str(),
              L"Can't find the required number of lines for this model (found 4), please change filter width");
    EXPECT_EQ(MessageText(50045, 3u, 5u).str(), L"Parameter count mismatch between program(3) and model file(5)");
    EXPECT_EQ(MessageText(50044, L"\u0393", std::wstring(L"G")).str(),
              L"Parameter name mismatch between program(\u0393) and model file(G)");
    EXPECT_EQ(MessageText(50032).str(), L"The spectrum is not calibrated.\r\nPlease enter calibration data in "
                                        L"spectrum properties.\r\n\r\nUse anyway?");
    EXPECT_EQ(MessageText(50055).str(), L"&Delete subspectrum\tDel");
    EXPECT_EQ(MessageText(50053, L"57Fe", L"0.097", L"14.41", L"0.09", L"-0.15", L"1", L"2", L"3", L"4").str(),
              L"57Fe\r\n\r\n\u0393\u03c4=0.097\r\nE\u03b3=14.41\r\ng_gr=0.09\r\ng_ex=-0.15\r\n\r\n"
              L"K=1\r\nL=2\r\n\u03b1=3\r\n\u03b2=4");
}

TEST_F(Messages, LanguageSelectsTheTextAndFallsBackToEnglish)
{
    set_message_language(0x419);
    EXPECT_EQ(message_language(), 0x419);
    EXPECT_EQ(MessageText(50002).str(), L"\u041e\u0442\u043c\u0435\u043d\u0430");  // Отмена
    EXPECT_NE(MessageText(50036, 4u).str().find(L"(\u043d\u0430\u0439\u0434\u0435\u043d\u043e 4)"),
              std::wstring::npos);  // (найдено 4)

    set_message_language(0x407);  // a language the table does not have
    EXPECT_EQ(MessageText(50002).str(), L"Cancel");
}

TEST_F(Messages, UnknownIdGivesEmptyText)
{
    EXPECT_EQ(MessageText(50005).str(), L"");
    EXPECT_EQ(MessageText(1).str(), L"");
    EXPECT_EQ(*MessageText(1).c_str(), L'\0');
}

TEST_F(Messages, Utf8FormIsTheExceptionText)
{
    set_message_language(0x419);
    const MessageText text(50047, L"57Fe");
    EXPECT_EQ(text.to_utf8(), "\xD0\x98\xD0\xB7\xD0\xBE\xD1\x82\xD0\xBE\xD0\xBF \xD0\xBD\xD0\xB5 "
                              "\xD0\xBD\xD0\xB0\xD0\xB9\xD0\xB4\xD0\xB5\xD0\xBD (57Fe)");  // Изотоп не найден
    EXPECT_EQ(utf8_to_wide(text.to_utf8()), text.str());
}

// A translation that lost or changed an insert would show the wrong values or fail.
TEST(MessageTable, EveryEntryHasBothLanguagesWithTheSameInserts)
{
    const std::wregex insert(LR"(%[1-9][0-9]?(![^!]*!)?|%[0nrt])");
    std::map<std::uint32_t, std::map<std::uint16_t, std::multiset<std::wstring>>> inserts;
    for (const MessageTableEntry& entry : message_table_entries()) {
        const std::wstring text = utf8_to_wide(entry.text);
        std::multiset<std::wstring>& found = inserts[entry.id][entry.language];
        for (std::wsregex_iterator i(text.begin(), text.end(), insert), end; i != end; ++i) found.insert(i->str());
    }
    EXPECT_GE(inserts.size(), 60u);
    for (const auto& [id, languages] : inserts) {
        ASSERT_EQ(languages.size(), 2u) << id;
        ASSERT_TRUE(languages.count(0x409) && languages.count(0x419)) << id;
        EXPECT_EQ(languages.at(0x409), languages.at(0x419)) << id;
    }
}

// Fit stop reasons, the spectrum information names and the other texts that appear
// inside composed sentences come out exactly as written, without a trailing blank.
TEST_F(Messages, QuotedEnglishTexts)
{
    const std::map<std::uint32_t, std::wstring> texts = {
        {50016, L"g is too small"},
        {50021, L"chisq does not significantly decrease after many iterations"},
        {50024, L"number of variables is greater than the number of data points"},
        {50025, L"unspecified exit reason"},
        {50027, L"stddev is zero"},
        {50028, L"iterations"},
        {50043, L"Invalid distribution parameters"},
        {50054, L"Information"},
        {50069, L"N0 (imp)"},
        {50078, L"Lines"},
        {50121, L"data contain a value that is not a finite number"},
    };
    for (const auto& [id, text] : texts) EXPECT_EQ(MessageText(id).str(), text) << id;
    EXPECT_EQ(MessageText(50064, L"0.250").str(),
              L"Recoilless gamma rays fraction times effect probablity should be more than 0.250");
}

// The system's wording comes through the installed source; the code follows in "%08x".
class Errors : public ::testing::Test {
protected:
    void TearDown() override { set_system_message_source(nullptr); }
};

TEST_F(Errors, TextJoinsPrefixSystemWordingAndCode)
{
    set_system_message_source([](int code) -> std::string {
        return code == static_cast<int>(0x80004005) ? "Unspecified error\r\n" : "";
    });
    const com_error error("COM Error", static_cast<int>(0x80004005));
    EXPECT_STREQ(error.what(), "COM Error: Unspecified error\r\n(80004005)");
    EXPECT_EQ(error.code(), static_cast<int>(0x80004005));

    const win32_error copy = error;  // the text is shared, the code kept
    EXPECT_STREQ(copy.what(), error.what());
    EXPECT_EQ(copy.code(), error.code());
    EXPECT_EQ(win32_error::format_message("CreateFile", 2, "%u"), "CreateFile: (2)");
}

TEST_F(Errors, WithoutSourceTheWordingIsEmpty)
{
    try {
        throw win32_error("Open", 5);
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Open: (00000005)");
    }
}

} // namespace
