// Keyword lists: lookups with their error texts, changes, number texts and the
// one-line form.
#include "core/text/kwfile.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/text/text.h"

void PrintTo(const KWData& d, std::ostream* os) { *os << "{\"" << wide_to_utf8(d.value) << "\", " << d.flags << "}"; }

namespace {

KeywordList one(std::wstring_view key, std::wstring_view value)
{
    return {{std::wstring(key), KWData{std::wstring(value)}}};
}

std::string error_text(auto&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no exception";
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---- Lookups ----

TEST(KwlistLookup, FirstExactKeyAnswers)
{
    const KeywordList list{{L"Key", {L"1"}}, {L"Key", {L"2"}}, {L"key", {L"3"}}, {L" Key", {L"4"}}};
    std::wstring v = L"untouched";
    EXPECT_FALSE(kwlist_find(list, L"KEY", v));
    EXPECT_EQ(v, L"untouched");
    EXPECT_TRUE(kwlist_find(list, L"Key", v));
    EXPECT_EQ(v, L"1");
    EXPECT_TRUE(kwlist_find(list, L"key", v));
    EXPECT_EQ(v, L"3");
    EXPECT_TRUE(kwlist_has(list, L" Key"));
    EXPECT_FALSE(kwlist_has(list, L"Ke"));
}

TEST(KwlistGetInt, ReadsLeadingIntegers)
{
    struct Case {
        std::wstring_view value;
        int expected;
    } cases[] = {
        {L"12abc", 12},       {L"  -7 ", -7},          {L"+3", 3},
        {L"\t42\n", 42},      {L"0012", 12},           {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN}, {L"-2147483648", INT_MIN}, {L"1.9", 1},
    };
    for (const Case& c : cases) {
        int n = -1;
        EXPECT_TRUE(kwlist_get_int(one(L"N", c.value), L"N", n)) << wide_to_utf8(c.value);
        EXPECT_EQ(n, c.expected) << wide_to_utf8(c.value);
    }
}

TEST(KwlistGetInt, AbsentOrWithoutDigits)
{
    int n = 5;
    EXPECT_FALSE(kwlist_get_int(one(L"N", L"1"), L"M", n));
    EXPECT_EQ(n, 5);
    for (std::wstring_view bad : {L"abc", L"", L"-", L"  + 1", L"x12"}) {
        EXPECT_EQ(error_text([&] { kwlist_get_int(one(L"Points", bad), L"Points", n); }),
                  "Invalid integer format for <Points>: " + wide_to_utf8(bad));
        EXPECT_EQ(n, 5);
    }
    EXPECT_EQ(error_text([&] { kwlist_get_int(one(L"Tσ", L"é"), L"Tσ", n); }),
              "Invalid integer format for <T\xCF\x83>: \xC3\xA9");
}

TEST(KwlistGetDouble, ReadsLeadingNumbers)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        std::wstring_view value;
        double expected;
    } cases[] = {
        {L"1.5e3x", 1500},  {L"  -2.5", -2.5}, {L"+.5", 0.5},     {L"5.", 5},       {L"1e", 1},
        {L"0x10", 16},      {L"0x1p-2", 0.25}, {L"0xg", 0},       {L"inf", inf},    {L"-Infinity", -inf},
        {L"1e400", inf},    {L"-1e400", -inf}, {L"1e-400", 0},    {L"4.9e-324", 4.9e-324},
        {L"0.1", 0.1},      {L"1-2", 1},       {L"2,5", 2},
    };
    for (const Case& c : cases) {
        double x = -99;
        EXPECT_TRUE(kwlist_get_double(one(L"X", c.value), L"X", x)) << wide_to_utf8(c.value);
        EXPECT_TRUE(same_bits(x, c.expected)) << wide_to_utf8(c.value) << " gave " << x;
    }
    double x = -99;
    EXPECT_TRUE(kwlist_get_double(one(L"X", L"nan"), L"X", x));
    EXPECT_TRUE(std::isnan(x));
}

TEST(KwlistGetDouble, FalseWithoutANumber)
{
    for (std::wstring_view bad : {L"", L"abc", L"+-1", L"e5", L".", L"-", L"  "}) {
        double x = -99;
        EXPECT_FALSE(kwlist_get_double(one(L"X", bad), L"X", x)) << wide_to_utf8(bad);
        EXPECT_EQ(x, -99);
    }
    double x = -99;
    EXPECT_FALSE(kwlist_get_double(one(L"X", L"1"), L"Y", x));
    EXPECT_EQ(x, -99);
}

TEST(KwlistGetDoubles, SeparatorsAndErrors)
{
    struct Case {
        std::wstring_view value;
        std::vector<double> expected;
    } cases[] = {
        {L"1, 2,,3  4", {1, 2, 3, 4}},
        {L"", {}},
        {L" ,\n, ", {}},
        {L"1-2", {1, -2}},
        {L"1\r\n2\n\t3,", {1, 2, 3}},
        {L"-0x10 1e400", {-16, std::numeric_limits<double>::infinity()}},
        {L"0.5-1000.25-999.75+2e3-1", {0.5, -1000.25, -999.75, 2000, -1}},  // numbers that touch
    };
    for (const Case& c : cases) {
        std::vector<double> out{9, 9};
        EXPECT_TRUE(kwlist_get_doubles(one(L"S", c.value), L"S", out)) << wide_to_utf8(c.value);
        EXPECT_EQ(out, c.expected) << wide_to_utf8(c.value);
    }
    std::vector<double> out{9};
    EXPECT_FALSE(kwlist_get_doubles(one(L"S", L"1"), L"T", out));
    EXPECT_EQ(error_text([&] { kwlist_get_doubles(one(L"Spectrum", L"1 x 2"), L"Spectrum", out); }),
              "Invalid floating point format for <Spectrum>: x 2");
    EXPECT_EQ(error_text([&] { kwlist_get_doubles(one(L"S", L"1 2;3"), L"S", out); }),
              "Invalid floating point format for <S>: ;3");
    EXPECT_EQ(out, std::vector<double>{9});
}

// Numbers the program cannot do without: blank counts as absent, anything else that is
// not a finite number is refused with the key.
TEST(KwlistGetFinite, RefusesTextAndNonFiniteNumbers)
{
    double x = -99;
    EXPECT_TRUE(kwlist_get_finite_double(one(L"P", L" 0.25 mm/s"), L"P", x));
    EXPECT_EQ(x, 0.25);
    EXPECT_FALSE(kwlist_get_finite_double(one(L"P", L" \t"), L"P", x));
    EXPECT_FALSE(kwlist_get_finite_double(one(L"P", L"1"), L"Q", x));
    EXPECT_EQ(x, 0.25);
    std::vector<double> v;
    EXPECT_TRUE(kwlist_get_finite_doubles(one(L"S", L"1 2"), L"S", v));
    EXPECT_EQ(v, (std::vector<double>{1, 2}));
    EXPECT_FALSE(kwlist_get_finite_doubles(one(L"S", L"1 2"), L"T", v));

    const struct {
        std::wstring_view key, value;
        bool block;
        const char* error;
    } cases[] = {
        {L"ChannelPrice(mm/s)", L"abc", false, "Invalid floating point format for <ChannelPrice(mm/s)>: abc"},
        {L"ZeroChannel", L"nan", false, "Value 1 of <ZeroChannel> is not a finite number"},
        {L"ZeroChannel", L"-inf", false, "Value 1 of <ZeroChannel> is not a finite number"},
        {L"StdDev", L"1e400", false, "Value 1 of <StdDev> is not a finite number"},
        {L"Spectrum", L"1 2 nan 4", true, "Value 3 of <Spectrum> is not a finite number"},
        {L"Spectrum", L"1 -1e999", true, "Value 2 of <Spectrum> is not a finite number"},
        {L"Spectrum", L"1 x", true, "Invalid floating point format for <Spectrum>: x"},
    };
    for (const auto& c : cases) {
        x = -99;
        v = {9};
        EXPECT_EQ(error_text([&] {
                      if (c.block)
                          kwlist_get_finite_doubles(one(c.key, c.value), c.key, v);
                      else
                          kwlist_get_finite_double(one(c.key, c.value), c.key, x);
                  }),
                  c.error);
        EXPECT_EQ(x, -99);
        EXPECT_EQ(v, std::vector<double>{9});
    }
}

// ---- Changes ----

TEST(KwlistChange, SetReplacesTheFirstOrAppends)
{
    KeywordList list{{L"A", {L"1", KWHidden}}, {L"B", {L"2"}}, {L"A", {L"3", KWReadOnly}}};
    kwlist_set(list, L"A", L"x", KWReadOnly);
    kwlist_set(list, L"C", L"y");
    kwlist_set_int(list, L"B", -12);
    EXPECT_EQ(list, (KeywordList{{L"A", {L"x", KWReadOnly}},
                                 {L"B", {L"-12"}},
                                 {L"A", {L"3", KWReadOnly}},
                                 {L"C", {L"y"}}}));
    kwlist_set_flags(list, L"A", KWHidden);
    kwlist_set_flags(list, L"Absent", KWHidden);
    kwlist_set_uint(list, L"A", 4000000000u);  // resets the flags
    EXPECT_EQ(list[0].second, (KWData{L"4000000000", 0}));
    EXPECT_EQ(list.size(), 4u);
}

TEST(KwlistChange, PrefixesAndRemoval)
{
    KeywordList list{{L"P01", {L"a"}}, {L"Q", {L"b"}}, {L"P02", {L"c"}}, {L"Q", {L"d"}}, {L"p03", {L"e"}}};
    kwlist_set_flags_by_prefix(list, L"P", KWHidden);
    EXPECT_EQ(list[0].second.flags, KWHidden);
    EXPECT_EQ(list[2].second.flags, KWHidden);
    EXPECT_EQ(list[4].second.flags, 0);
    kwlist_remove(list, L"Q");
    EXPECT_EQ(list, (KeywordList{{L"P01", {L"a", KWHidden}}, {L"P02", {L"c", KWHidden}}, {L"p03", {L"e"}}}));
    kwlist_remove_by_prefix(list, L"P0");
    EXPECT_EQ(list, (KeywordList{{L"p03", {L"e"}}}));
    kwlist_remove_by_prefix(list, L"");
    EXPECT_TRUE(list.empty());
}

TEST(KwlistChange, DoubleTexts)
{
    KeywordList list;
    kwlist_set_double(list, L"F", 0.1, L"%f");
    kwlist_set_double(list, L"E", -1234.5, L"%.15e");
    kwlist_set_double_transient(list, L"T", 2.5, L"%.1f");
    kwlist_set_double(list, L"S", 0.1 + 0.2);
    EXPECT_EQ(list, (KeywordList{{L"F", {L"0.100000"}},
                                 {L"E", {L"-1.234500000000000e+03"}},
                                 {L"T", {L"2.5", KWTransient}},
                                 {L"S", {L"0.30000000000000004"}}}));
}

TEST(KwlistChange, ShortestDoubleTextReadsBackExactly)
{
    const double values[] = {0.1,     1.0 / 3,  -2.0 / 3 * 1e-300, 5e-324,  std::numeric_limits<double>::max(),
                             -0.0,    1e21,     123456789012345678.0, 9007199254740993.0, 0.30000000000000004,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (double v : values) {
        KeywordList list;
        kwlist_set_double(list, L"X", v);
        double back = 0;
        ASSERT_TRUE(kwlist_get_double(list, L"X", back)) << wide_to_utf8(list[0].second.value);
        EXPECT_TRUE(same_bits(back, v)) << wide_to_utf8(list[0].second.value);
    }
}

// ---- One-line form ----

TEST(KwlistString, WritesTheDocumentedForm)
{
    EXPECT_EQ(kwlist_to_string({{L"Points", {L"100"}}, {L"Comment", {L"a b", KWHidden}}}),
              L"0|Points|100|2|Comment|a$0020b");
    EXPECT_EQ(kwlist_to_string({{L"T", {L"x", KWTransient}}, {L"K|$", {L"é\U0001F600", 6}}}),
              L"6|K$007c$0024|$00e9$d83d$de00");
    EXPECT_EQ(kwlist_to_string({}), L"");
    EXPECT_EQ(kwlist_to_string({{L"", {L""}}}), L"0||");
    std::wstring out = L"pre:";
    kwlist_escape(L"a-1", out);
    EXPECT_EQ(out, L"pre:a$002d1");
}

TEST(KwlistString, ReadsFieldsAndAppends)
{
    struct Case {
        std::wstring_view text;
        KeywordList expected;
    } cases[] = {
        {L"", {}},
        {L"0|Points|100|2|Comment|a$0020b", {{L"Points", {L"100"}}, {L"Comment", {L"a b", 2}}}},
        {L"3|k", {{L"k", {L"", 3}}}},
        {L"x|k|v", {{L"k", {L"v", 0}}}},
        {L"0|a|b|", {{L"a", {L"b"}}}},
        {L"0|a|b|1", {{L"a", {L"b"}}, {L"", {L"", 1}}}},
        {L"0||", {{L"", {L""}}}},
        {L"4294967295|k|v| 7|x|y", {{L"k", {L"v", -1}}, {L"x", {L"y", 7}}}},
    };
    for (const Case& c : cases) {
        KeywordList list;
        kwlist_from_string(c.text, list);
        EXPECT_EQ(list, c.expected) << wide_to_utf8(c.text);
    }
    KeywordList list{{L"Old", {L"1"}}};
    kwlist_from_string(L"0|New|2", list);
    EXPECT_EQ(list, (KeywordList{{L"Old", {L"1"}}, {L"New", {L"2"}}}));
}

TEST(KwlistString, Unescape)
{
    struct Case {
        std::wstring_view text;
        std::wstring expected;
    } cases[] = {
        {L"a$0020b", L"a b"},
        {L"a$4", std::wstring(L"a\x04")},
        {L"$41zzq", L"Aq"},
        {L"$0024$0041", L"$A"},
        {L"$00E9", L"é"},
        {L"$d83d$de00!", L"\U0001F600!"},
        {L"a$", std::wstring(L"a\0", 2)},
        {L"plain é", L"plain é"},
    };
    for (const Case& c : cases) {
        std::wstring s(c.text);
        kwlist_unescape(s);
        EXPECT_EQ(s, c.expected) << wide_to_utf8(c.text);
    }
}

TEST(KwlistString, NextField)
{
    const std::wstring_view text = L"a||bc";
    size_t pos = 0;
    EXPECT_EQ(kwlist_next_field(text, pos), L"a");
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(kwlist_next_field(text, pos), L"");
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(kwlist_next_field(text, pos), L"bc");
    EXPECT_EQ(pos, 5u);
    EXPECT_EQ(kwlist_next_field(text, pos), L"");
    EXPECT_EQ(pos, 5u);
}

TEST(KwlistString, RoundTripOfAnyText)
{
    const wchar_t lone[] = {static_cast<wchar_t>(0xDC00), static_cast<wchar_t>(0xD800), 0};
    const KeywordList list{{L"a|b$c", {L"x\ny\r\n|$0041", 0}},
                           {L"", {L"", KWHidden | KWReadOnly}},
                           {L"\U0001F600 é", {lone, -8}},
                           {L"gone", {L"t", KWTransient | KWHidden}},
                           {L"Points", {std::wstring(L"1\0" L"2", 3), 4}}};
    KeywordList back;
    kwlist_from_string(kwlist_to_string(list), back);
    KeywordList expected(list);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(back, expected);
}

} // namespace
