// The Calibrate submenu: one item per calibration standard of the current isotope.
#pragma once

#include <string>
#include <vector>

#include "core/spectrum/isotope.h"

inline constexpr unsigned first_calibrate_command = 231;
inline constexpr unsigned last_calibrate_command = 249;

// The distinct standard names of the isotope's variants in ascending order (ordinal, as
// UTF-16), at most as many as the command range holds; none without an isotope.
std::vector<std::wstring> calibration_standards(const Isotope* isotope);
