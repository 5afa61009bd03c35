#include "catalogue/calibration_models.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/text/text.h"
#include "tests/support/program_isotopes.h"

namespace {

// Every calibration standard of the program's isotope table names a catalogue model
// and a parameter text that reads as the parameter part of a component line.
TEST(CalibrationModels, EveryStandardOfTheIsotopeTableReads)
{
    const ICalibrationCatalogue& catalogue = calibration_catalogue();
    const IsotopeTable& table = test_support::program_isotopes();
    unsigned standards = 0;
    for (unsigned k = 0; k < table.count(); ++k) {
        const Isotope& isotope = table.at(k);
        for (const CalibrationVariant& variant : isotope.variants) {
            SCOPED_TRACE(wide_to_utf8(isotope.name + L" " + variant.standard));
            const SubSpecPtr component = catalogue.create_by_name(variant.model_name, &isotope);
            ASSERT_TRUE(component);
            std::vector<double> values{7.0}, lower{7.0}, upper{7.0};
            std::vector<int> flags{1};
            catalogue.parse_params(variant.param_text, *component, values, flags, lower, upper);
            ASSERT_EQ(values.size(), 1 + component->param_count());
            EXPECT_EQ(flags.size(), values.size());
            EXPECT_EQ(values[1], 1.0);  // every standard starts with I = 1
            ++standards;
        }
    }
    EXPECT_GT(standards, 5u);
    EXPECT_EQ(catalogue.create_baseline(&test_support::iron(), 2e6)->display_name(), L"Baseline [auto,scaled]");
}

}  // namespace
