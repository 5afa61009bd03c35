// The program's own isotope table (data/isotope.txt), loaded once, and its ⁵⁷Fe record.
// Needs the macro VX_TEST_DATA_DIR, the folder tests/data.
#pragma once

#include <stdexcept>

#include "core/spectrum/isotope.h"
#include "core/text/text.h"

namespace test_support {

inline const IsotopeTable& program_isotopes()
{
    static const IsotopeTable table = [] {
        IsotopeTable t;
        t.load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
        return t;
    }();
    return table;
}

inline const Isotope& iron()
{
    const Isotope* iso = program_isotopes().find(L"57Fe");
    if (!iso)
        throw std::runtime_error("57Fe missing from isotope.txt");
    return *iso;
}

}  // namespace test_support
