#include "core/spectrum/spectrum_data.h"

#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>
#include <utility>

#include "core/spectrum/analyze_spectrum.h"
#include "core/text/format_value.h"
#include "core/text/messages.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"

SpectrumData::SpectrumData()
{
    absorption.reset();
    emission = absorption.emission_reading();
}

const SpectrumAnalysis& SpectrumData::analysis(bool emission_reading) const
{
    return emission_reading ? emission : absorption;
}

double SpectrumData::depth() const
{
    return std::fabs(absorption.depth);
}

void SpectrumData::set_y(const std::vector<double>& y)
{
    if (y.size() != x_data.size())
        throw std::invalid_argument("set_y: one count per point needed");
    y_data = y;
}

void SpectrumData::assign(SpectrumData& other)
{
    x_data = other.x_data;
    y_data = other.y_data;
    std_dev_data = other.std_dev_data;
    keywords = std::move(other.keywords);
    other.keywords.clear();
    absorption = std::move(other.absorption);
    emission = std::move(other.emission);
}

void SpectrumData::update_analysis()
{
    absorption.valid = false;
    if (analyze_spectrum(absorption, x_data, y_data, std_dev_data, 0))
        absorption.valid = true;
    else
        absorption.reset();
    emission = absorption.emission_reading();
}

void SpectrumData::make_velocity_axis(unsigned n, double from, double to)
{
    if (n < 2)
        throw std::invalid_argument("make_velocity_axis: at least two points needed");
    const double step = (to - from) / (n - 1);
    // The points stay sorted by x even when the channels run from `from` down to `to`.
    x_data.resize(n);
    for (unsigned i = 0; i < n; ++i)
        x_data[i] = from + (step < 0.0 ? n - 1 - i : i) * step;
    y_data.assign(n, 0.0);
    std_dev_data.assign(n, 0.0);
    kwlist_set_int(keywords, L"FirstChannel", 1);
    kwlist_set_uint(keywords, L"LastChannel", n);
    // Under the key the axis is read from, which an older price key would otherwise win.
    double old_price = 0.0;
    const std::wstring_view price_key = channel_price_key(keywords, old_price);
    kwlist_set_double(keywords, price_key.empty() ? std::wstring_view(L"ChannelPrice(mm/s)") : price_key, step, L"%f");
    int first = 1;
    kwlist_get_int(keywords, L"FirstChannel", first);
    kwlist_set_double(keywords, L"ZeroChannel", first - from / step, L"%f");
}

void SpectrumData::set_zero_channel(double offset)
{
    int first = 1;
    kwlist_get_int(keywords, L"FirstChannel", first);
    kwlist_set_double(keywords, L"ZeroChannel", first + offset, L"%f");
}

bool SpectrumData::edit_properties(int editor_option)
{
    try {
        store_keywords();
        // The editor works on a copy: an edit that does not read leaves the spectrum as it was.
        KeywordList edited = keywords;
        if (user_interface().edit_keyword_list(edited, editor_option, L"") != 1)
            return false;
        load_keywords(edited);
        keywords = std::move(edited);
        return true;
    } catch (const std::exception& e) {
        user_interface().message_box(utf8_to_wide(e.what()), L"Error");
        return false;
    }
}

namespace {

// No information text shows "nan" or "inf": a quantity without a finite value is left
// empty (the record keeps what it holds), an error without one is left out.
std::wstring shown(std::wstring_view format, double value)
{
    return std::isfinite(value) ? format_number(format, value) : std::wstring();
}

std::wstring shown(double value, double error, bool use_format_precision)
{
    if (!std::isfinite(value))
        return {};
    return format_value_with_error(value, std::isfinite(error) ? error : 0.0, L"%.3f", use_format_precision);
}

}  // namespace

void SpectrumData::property_list(PropertyList& out, bool emission_reading, bool with_lines) const
{
    const SpectrumAnalysis& a = analysis(emission_reading);
    auto add = [&out](unsigned id, std::wstring text) { out.emplace_back(MessageText(id).str(), std::move(text)); };
    add(50069, shown(L"%.0f", a.N0));
    add(50070, shown(L"%.0f", a.Q));
    add(50071, shown(L"%.3f", a.WH2));
    add(50072, shown(L"%.3f", a.XWH2));
    add(50073, shown(L"%.3f", a.Xc));
    add(50074, shown(L"%.0f", a.S));
    add(50075, shown(a.XSc, a.XSc_err, true));
    add(50076, shown(a.Dv, a.Dv_err, false));
    // A dispersion below zero (signals of both signs, as an emission reading of an
    // absorption spectrum can have) has no spread to show.
    const double sv = a.Dv >= 0.0 ? std::sqrt(a.Dv) : std::numeric_limits<double>::quiet_NaN();
    add(50077, shown(sv, a.Dv_err * 0.5 / sv, false));
    if (with_lines && !a.lines.empty()) {
        std::wstring text;
        for (const SpectrumLine& line : a.lines) {
            if (!text.empty())
                text += L", ";
            text += shown(L"%.3f", line.x);
        }
        add(50078, std::move(text));
    }
}
