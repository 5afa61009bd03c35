// The Calibrate submenu's standards: distinct, in ordinal order, no more than the
// command range holds, none without an isotope.
#include <gtest/gtest.h>

#include "ui/logic/calibration_menu.h"

namespace {

TEST(CalibrationMenu, DistinctStandardsInOrdinalOrderWithinTheCommandRange)
{
    EXPECT_TRUE(calibration_standards(nullptr).empty());
    Isotope isotope;
    for (const wchar_t* name : {L"\u03B1-Fe", L"SNP", L"\u03B1-Fe", L"Na2[Fe(CN)5NO]"})
        isotope.variants.push_back({name, 0, 0.0, L"", L""});
    EXPECT_EQ(calibration_standards(&isotope), (std::vector<std::wstring>{L"Na2[Fe(CN)5NO]", L"SNP", L"\u03B1-Fe"}));

    Isotope many;
    for (int k = 0; k < 25; ++k) many.variants.push_back({L"S" + std::to_wstring(100 + k), 0, 0.0, L"", L""});
    const std::vector<std::wstring> listed = calibration_standards(&many);
    ASSERT_EQ(listed.size(), last_calibrate_command - first_calibrate_command + 1);
    EXPECT_EQ(listed.front(), L"S100");
    EXPECT_EQ(listed.back(), L"S118");
}

}  // namespace
