#include "ui/logic/language_list.h"

#include <gtest/gtest.h>

TEST(LanguageList, ReadsTheShippedList)
{
    EXPECT_EQ(parse_language_list(L"0x409,English;0x419,Русский"),
              (LanguageList{{0x409, L"English"}, {0x419, L"Русский"}}));
}

TEST(LanguageList, SkipsMalformedPiecesAndKeepsTheRestInOrder)
{
    struct Case {
        const wchar_t* text;
        LanguageList expected;
    };
    const Case cases[] = {
        // A piece without a comma and an empty last piece are skipped.
        {L"0x409,English;nocomma;0x419,Русский;", {{0x409, L"English"}, {0x419, L"Русский"}}},
        // Three parts, an unreadable number, empty pieces.
        {L"0x409,English,UK;zz,Bad;;419,Russian", {{0x419, L"Russian"}}},
        // Names stay untrimmed; hex digits in either case; a bare "0x" prefix is optional.
        {L"0X40C, Français ", {{0x40C, L" Français "}}},
        {L"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(parse_language_list(c.text), c.expected) << c.text;
}
