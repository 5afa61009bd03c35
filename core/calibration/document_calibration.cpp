#include "core/calibration/document_calibration.h"

#include <cmath>
#include <stdexcept>

#include "core/calibration/velocity_calibration.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"

void apply_calibration(ModelState& document, const Isotope& isotope, double offset, double price)
{
    document.edit_spectrum([&] {
        apply_calibration_keys(document.data, isotope, offset, price);
        return true;
    });
}

StoredCalibration stored_calibration(const SpectrumData& source, std::size_t points)
{
    StoredCalibration calibration;
    const KeywordList& keys = source.keywords;
    if (!channel_price(keys, calibration.price) || !std::isfinite(calibration.price) || calibration.price == 0.0 ||
        calibration.price == 1.0)
        throw std::runtime_error(MessageText(50039).to_utf8());
    if (source.y_data.size() != points)
        throw std::runtime_error(MessageText(50038).to_utf8());
    int first = 1;
    double zero = 0.0;
    kwlist_get_int(keys, L"FirstChannel", first);
    kwlist_get_double(keys, L"ZeroChannel", zero);
    calibration.offset = zero - first;
    return calibration;
}

void load_calibration(ModelState& document, const Isotope& isotope, const SpectrumData& source)
{
    const StoredCalibration calibration = stored_calibration(source, document.data.y_data.size());
    apply_calibration(document, isotope, calibration.offset, calibration.price);
}
