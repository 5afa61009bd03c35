#include "ui/logic/calibration_menu.h"

#include <set>

std::vector<std::wstring> calibration_standards(const Isotope* isotope)
{
    if (!isotope) return {};
    std::set<std::wstring> names;
    for (const CalibrationVariant& variant : isotope->variants) names.insert(variant.standard);
    std::vector<std::wstring> sorted(names.begin(), names.end());
    // Names beyond the command range would have no command to run them.
    const std::size_t capacity = last_calibrate_command - first_calibrate_command + 1;
    if (sorted.size() > capacity) sorted.resize(capacity);
    return sorted;
}
