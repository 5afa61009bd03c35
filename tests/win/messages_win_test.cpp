// The portable message formatting against FormatMessageW itself: over the message table
// compiled from the same .mc file into this program's resources, and over definitions
// given as strings.
#include "core/text/messages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdarg>
#include <regex>
#include <vector>

#include "core/text/errors.h"
#include "core/text/message_table.h"
#include "core/text/text.h"
#include "tests/core/text/message_format_cases.h"

namespace {

constexpr DWORD table_flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_MAX_WIDTH_MASK;

std::wstring take(DWORD length, wchar_t* buffer)
{
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    return text;
}

// FormatMessageW with the inserts as an argument array; the empty text when it fails.
std::wstring windows_format(DWORD source_flag, const void* source, DWORD id, WORD language,
                            const std::vector<MessageInsert>& inserts)
{
    std::vector<DWORD_PTR> arguments;
    for (const MessageInsert& insert : inserts)
        arguments.push_back(insert.number() ? static_cast<DWORD_PTR>(static_cast<DWORD>(*insert.number()))
                                            : reinterpret_cast<DWORD_PTR>(insert.text().c_str()));
    arguments.push_back(0);
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(table_flags | FORMAT_MESSAGE_ARGUMENT_ARRAY | source_flag, source, id, language,
                       reinterpret_cast<wchar_t*>(&buffer), 0, reinterpret_cast<va_list*>(arguments.data()));
    return take(length, buffer);
}

// FormatMessageW over the table with the inserts as a variable argument list, as the
// Windows program calls it.
std::wstring windows_message(DWORD id, WORD language, ...)
{
    va_list arguments;
    va_start(arguments, language);
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(table_flags | FORMAT_MESSAGE_FROM_HMODULE, nullptr, id, language,
                                        reinterpret_cast<wchar_t*>(&buffer), 0, &arguments);
    va_end(arguments);
    return take(length, buffer);
}

// Inserts that fit an entry's own "%n!x!" sequences: numbers for integer conversions,
// non-ASCII texts for the others.
std::vector<MessageInsert> inserts_for(const std::wstring& definition)
{
    const std::wregex insert(LR"(%([1-9][0-9]?)(!([^!]*)!)?)");
    std::vector<MessageInsert> inserts;
    for (std::wsregex_iterator i(definition.begin(), definition.end(), insert), end; i != end; ++i) {
        const size_t number = std::stoul((*i)[1].str());
        const std::wstring format = (*i)[3].str();
        while (inserts.size() < number) inserts.emplace_back(L"");
        if (!format.empty() && std::wstring(L"diuxXo").find(format.back()) != std::wstring::npos)
            inserts[number - 1] = MessageInsert(static_cast<unsigned>(40 + number));
        else
            inserts[number - 1] = MessageInsert(L"\u00ab" + std::to_wstring(number) + L"\u0416\u00bb");
    }
    return inserts;
}

class MessagesOnWindows : public ::testing::Test {
protected:
    void TearDown() override { set_message_language(0x409); }
};

TEST_F(MessagesOnWindows, EveryTableEntryFormatsAsFormatMessageW)
{
    for (const MessageTableEntry& entry : message_table_entries()) {
        const std::wstring definition = utf8_to_wide(entry.text);
        const std::vector<MessageInsert> inserts = inserts_for(definition);
        const std::wstring expected =
            windows_format(FORMAT_MESSAGE_FROM_HMODULE, nullptr, entry.id, entry.language, inserts);
        EXPECT_FALSE(expected.empty()) << entry.id;
        EXPECT_EQ(format_message_text(definition, inserts), expected) << entry.id << " " << entry.language;
    }
}

TEST_F(MessagesOnWindows, MessageTextEqualsTheVariableArgumentCall)
{
    for (WORD language : {WORD{0x409}, WORD{0x419}}) {
        set_message_language(language);
        EXPECT_EQ(MessageText(50000).str(), windows_message(50000, language));
        EXPECT_EQ(MessageText(50036, 6u).str(), windows_message(50036, language, 6u));
        EXPECT_EQ(MessageText(50044, L"\u03b4", L"d").str(), windows_message(50044, language, L"\u03b4", L"d"));
        EXPECT_EQ(MessageText(50045, 3u, 17u).str(), windows_message(50045, language, 3u, 17u));
        EXPECT_EQ(MessageText(50053, L"57Fe", L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h").str(),
                  windows_message(50053, language, L"57Fe", L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"));
        EXPECT_EQ(MessageText(50055).str(), windows_message(50055, language));
    }
}

TEST_F(MessagesOnWindows, MissingIdsAreEmptyBothWays)
{
    for (DWORD id : {DWORD{50005}, DWORD{50085}, DWORD{1}}) {
        EXPECT_EQ(windows_message(id, 0x409), L"") << id;
        EXPECT_EQ(MessageText(id).str(), L"") << id;
    }
}

class StringDefinitions : public ::testing::TestWithParam<MessageFormatCase> {};

TEST_P(StringDefinitions, FormatAsFormatMessageW)
{
    const MessageFormatCase& c = GetParam();
    if (!c.compare_with_windows) GTEST_SKIP() << "no defined result to compare with";
    EXPECT_EQ(format_message_text(c.definition, c.inserts),
              windows_format(FORMAT_MESSAGE_FROM_STRING, c.definition.c_str(), 0, 0, c.inserts));
}

INSTANTIATE_TEST_SUITE_P(Definitions, StringDefinitions, ::testing::ValuesIn(message_format_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The Windows program's source of system wording for win32_error and com_error.
std::string windows_system_message(int code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                        nullptr);
    return wide_to_utf8(take(length, buffer));
}

TEST(ErrorsOnWindows, ComErrorCarriesTheSystemWording)
{
    set_system_message_source(&windows_system_message);
    const com_error error("COM Error", E_OUTOFMEMORY);
    set_system_message_source(nullptr);
    const std::string wording = windows_system_message(E_OUTOFMEMORY);
    EXPECT_FALSE(wording.empty());
    EXPECT_EQ(error.what(), "COM Error: " + wording + "(8007000e)");
    EXPECT_EQ(error.code(), E_OUTOFMEMORY);
}

} // namespace
