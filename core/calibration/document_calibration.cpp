#include "core/calibration/document_calibration.h"

#include "core/calibration/velocity_calibration.h"

void apply_calibration(ModelState& document, const Isotope& isotope, double offset, double price)
{
    document.edit_spectrum([&] {
        apply_calibration_keys(document.data, isotope, offset, price);
        return true;
    });
}
