// The write-back of a calibration into the spectrum's keyword list.
#include <cmath>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "core/calibration/velocity_calibration.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"
#include "core/text/number_text.h"

void apply_calibration_keys(SpectrumData& spectrum, const Isotope& isotope, double offset, double price)
{
    if (!stands_on_channels(spectrum.keywords))
        throw std::runtime_error(MessageText(msg_calibration_needs_channels).to_utf8());
    spectrum.store_keywords();
    KeywordList list = spectrum.keywords;
    const bool had_deviations = kwlist_has(list, L"StdDevSpectrum");
    for (const wchar_t* key : {L"VelocitySpectrum", L"VelocitySpectrumStdDev", L"Data", L"StdDevSpectrum"})
        kwlist_remove(list, key);
    // The counts in channel order, which is the order of increasing x only for a
    // positive price.
    const std::vector<std::size_t> order = increasing_order(counts_axis(list, spectrum.y_data.size()));
    std::vector<double> counts(spectrum.y_data.size()), deviations(spectrum.y_data.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        counts[order[i]] = spectrum.y_data[i];
        deviations[order[i]] = spectrum.std_dev_data[i];
    }
    kwlist_set(list, L"Spectrum", format_double_list(counts), 0);
    if (had_deviations)
        kwlist_set(list, L"StdDevSpectrum", format_double_list(deviations), 0);

    int first = 1;
    kwlist_get_int(list, L"FirstChannel", first);
    kwlist_set_double(list, L"ZeroChannel", first + offset, L"%f");
    if (price != 0.0) {
        double old_price = 0.0;
        const std::wstring_view key = channel_price_key(list, old_price);
        kwlist_set_double(list, key.empty() ? std::wstring_view(L"ChannelPrice(mm/s)") : key, price, L"%f");
        if (kwlist_has(list, L"ChannelPrice(kOe)"))
            kwlist_set_double(list, L"ChannelPrice(kOe)", price / std::fabs(isotope.K), L"%f");
    }
    spectrum.load_keywords(list);
    spectrum.keywords = std::move(list);
}
