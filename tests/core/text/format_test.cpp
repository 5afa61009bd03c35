#include "core/text/format_value.h"
#include "core/text/index_range.h"
#include "core/text/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

struct ValueErrorCase {
    const char* name;
    double value;
    double error;
    const wchar_t* format;
    bool keep_precision;
    std::wstring expected;
};

class ValueWithError : public ::testing::TestWithParam<ValueErrorCase> {};

TEST_P(ValueWithError, CutsBothAtTheErrorsDigits)
{
    const ValueErrorCase& c = GetParam();
    EXPECT_EQ(format_value_with_error(c.value, c.error, c.format, c.keep_precision), c.expected);
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueWithError,
    ::testing::Values(
        ValueErrorCase{"two_error_digits_below_four", 12.3456, 0.0234, L"%.3f", false, L"12.346\u00b10.023"},
        ValueErrorCase{"one_error_digit", 12.34, 0.5, L"%.3f", false, L"12.3\u00b10.5"},
        ValueErrorCase{"leading_digit_three_keeps_two", 12.34, 0.25, L"%.3f", false, L"12.34\u00b10.25"},
        ValueErrorCase{"tens", 1234.5, 56, L"%.3f", false, L"1230\u00b160"},
        ValueErrorCase{"small_exponent", 5e-7, 2e-8, L"%.3f", false, L"(500\u00b120)\u00d710\u207b\u2079"},
        ValueErrorCase{"large_exponent", 1.23456e7, 5e5, L"%.3f", false, L"(123\u00b15)\u00d710\u2075"},
        ValueErrorCase{"zero_shown_without_minus", -0.00004, 0.05, L"%.3f", false, L"0.00\u00b10.05"},
        ValueErrorCase{"f_precision_kept", 12.3, 4.2, L"%.3f", true, L"12.300\u00b14.000"},
        ValueErrorCase{"f_precision_not_kept", 12.3, 4.2, L"%.3f", false, L"12\u00b14"},
        ValueErrorCase{"f_precision_already_finer", 12.3456, 0.0234, L"%.1f", true, L"12.346\u00b10.023"},
        ValueErrorCase{"e_precision_kept", 1234.5, 200, L"%.3e", true, L"1235\u00b1200"},
        ValueErrorCase{"e_precision_by_magnitude", -1234.5, 200, L"%.3e", true, L"-1235\u00b1200"},
        ValueErrorCase{"e_precision_not_kept", -1234.5, 200, L"%.3e", false, L"-1230\u00b1200"},
        ValueErrorCase{"e_precision_zero_value", 0.0, 0.5, L"%.3e", true, L"0.0\u00b10.5"},
        ValueErrorCase{"g_format_unaffected", 12.3456, 0.0234, L"%.5g", true, L"12.346\u00b10.023"},
        ValueErrorCase{"zero_error_value_alone", 1500, 0, L"%.3e", false, L"1.500\u00d710\u00b3"},
        ValueErrorCase{"negative_error_value_alone", 2.5, -1, L"%.2f", false, L"2.50"},
        ValueErrorCase{"error_below_a_millionth", 2e7, 1, L"%.1f", false, L"20000000.0"},
        ValueErrorCase{"infinite_error_value_alone", 12.3456, inf, L"%.3f", true, L"12.346"},
        ValueErrorCase{"nan_error_value_alone", 12.3456, nan, L"%.3f", false, L"12.346"}),
    [](const auto& info) { return std::string(info.param.name); });

// A value with no decimal place of its own never reaches the integer rounding.
TEST(ValueWithErrorSpecial, NonFiniteValueIsShownAlone)
{
    for (double value : {inf, -inf, nan}) {
        EXPECT_EQ(format_value_with_error(value, 0.5, L"%.3f", false), format_superscript_exponent(L"%.3f", value));
        EXPECT_EQ(format_value_with_error(value, 0.5, L"%.3e", true), format_superscript_exponent(L"%.3e", value));
    }
}

TEST(SuperscriptExponent, RewritesTheExponent)
{
    EXPECT_EQ(format_superscript_exponent(L"%.3e", 1500), L"1.500\u00d710\u00b3");
    EXPECT_EQ(format_superscript_exponent(L"%.3e", 0.0015), L"1.500\u00d710\u207b\u00b3");
    EXPECT_EQ(format_superscript_exponent(L"%.1e", 2.5e10), L"2.5\u00d710\u00b9\u2070");
    EXPECT_EQ(format_superscript_exponent(L"%.2e", -1e-100), L"-1.00\u00d710\u207b\u00b9\u2070\u2070");
    EXPECT_EQ(format_superscript_exponent(L"%.0e", 7e4), L"7\u00d710\u2074");
    EXPECT_EQ(format_superscript_exponent(L"%g", 1e-5), L"1\u00d710\u207b\u2075");
    EXPECT_EQ(format_superscript_exponent(L"%.3f", 1500), L"1500.000");
}

TEST(NumberText, NegativeZeroLosesItsSign)
{
    EXPECT_FALSE(std::signbit(fix_negative_zero(-0.0)));
    EXPECT_EQ(fix_negative_zero(-2.5), -2.5);
}

TEST(NumberText, DoubleToTextIsShortestGeneralForm)
{
    EXPECT_EQ(double_to_text(0.1), L"0.1");
    EXPECT_EQ(double_to_text(123456), L"123456");
    EXPECT_EQ(double_to_text(299792458), L"2.99792458e+08");  // %g style from an exponent of 6
    EXPECT_EQ(double_to_text(1.602176634e-19), L"1.602176634e-19");
    EXPECT_EQ(double_to_text(1e21), L"1e+21");
    EXPECT_EQ(double_to_text(-0.0), L"-0");
    EXPECT_EQ(double_to_text(1.0 / 3.0), L"0.3333333333333333");
}

TEST(NumberText, DoubleListReadsBackExactly)
{
    const std::vector<double> values = {0.1, 10000, 100000, 0.00001, -2.5, 1.0 / 3.0, 1e-300, -0.0, 123456789};
    EXPECT_EQ(format_double_list(values),
              L"0.1 10000 1e+05 1e-05 -2.5 0.3333333333333333 1e-300 -0\r\n123456789");
    EXPECT_EQ(format_double_list({}), L"");
}

TEST(NumberText, DoubleListLinesOfEight)
{
    const std::vector<double> values(17, 1.0);
    EXPECT_EQ(format_double_list(values), L"1 1 1 1 1 1 1 1\r\n1 1 1 1 1 1 1 1\r\n1");
}

TEST(NumberText, DoubleListSpecialValues)
{
    const auto from_bits = [](std::uint64_t bits) { return std::bit_cast<double>(bits); };
    const std::vector<double> values = {
        inf,
        -inf,
        from_bits(0x7FF8000000000000),  // quiet NaN
        from_bits(0xFFF8000000000000),  // negative quiet NaN without payload
        from_bits(0xFFF8000000000001),  // negative quiet NaN with payload
        from_bits(0x7FF0000000000001),  // signalling NaN
        from_bits(0xFFF4000000000000),  // negative signalling NaN
    };
    EXPECT_EQ(format_double_list(values), L"inf -inf nan -nan(ind) -nan nan(snan) -nan(snan)");
}

struct RangeCase {
    const char* name;
    std::wstring text;
    bool allow_single;
    bool valid;
    std::size_t first;
    std::size_t last;
};

class IndexRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(IndexRange, ReadsOneBasedRangesOfTen)
{
    const RangeCase& c = GetParam();
    std::pair<std::size_t, std::size_t> range{77, 88};
    EXPECT_EQ(parse_index_range(c.text, range, 10, c.allow_single), c.valid);
    if (c.valid)
        EXPECT_EQ(range, std::make_pair(c.first, c.last));
    else
        EXPECT_EQ(range, std::make_pair(std::size_t{77}, std::size_t{88}));  // untouched
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexRange,
    ::testing::Values(RangeCase{"range", L"3-5", false, true, 2, 4},
                      RangeCase{"whole", L"1-10", false, true, 0, 9},
                      RangeCase{"blanks_and_sign", L" 3- +5 points", false, true, 2, 4},
                      RangeCase{"zero_first", L"0-2", false, false, 0, 0},
                      RangeCase{"reversed", L"5-3", false, false, 0, 0},
                      RangeCase{"beyond_count", L"4-11", false, false, 0, 0},
                      RangeCase{"single_refused", L"4", false, false, 0, 0},
                      RangeCase{"single_allowed", L"4", true, true, 3, 3},
                      RangeCase{"same_ends_refused", L"4-4", false, false, 0, 0},
                      RangeCase{"same_ends_allowed", L"4-4", true, true, 3, 3},
                      RangeCase{"dash_without_end_is_single", L"4-x", true, true, 3, 3},
                      RangeCase{"blank_before_dash_is_single", L"4 -6", true, true, 3, 3},
                      RangeCase{"negative", L"-3", true, false, 0, 0},
                      RangeCase{"no_number", L"x", true, false, 0, 0},
                      RangeCase{"empty", L"", true, false, 0, 0},
                      RangeCase{"huge_end", L"3-99999999999999999999", false, false, 0, 0},
                      RangeCase{"huge_start", L"99999999999999999999-3", true, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
