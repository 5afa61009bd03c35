#include "core/spectrum/spectrum_data.h"

#include <cmath>
#include <exception>
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
    x_data.resize(n);
    for (unsigned i = 0; i < n; ++i)
        x_data[i] = from + i * step;
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

void SpectrumData::property_list(PropertyList& out, bool emission_reading, bool with_lines) const
{
    const SpectrumAnalysis& a = analysis(emission_reading);
    auto add = [&out](unsigned id, std::wstring text) { out.emplace_back(MessageText(id).str(), std::move(text)); };
    add(50069, format_number(L"%.0f", a.N0));
    add(50070, format_number(L"%.0f", a.Q));
    add(50071, format_number(L"%.3f", a.WH2));
    add(50072, format_number(L"%.3f", a.XWH2));
    add(50073, format_number(L"%.3f", a.Xc));
    add(50074, format_number(L"%.0f", a.S));
    add(50075, format_value_with_error(a.XSc, a.XSc_err, L"%.3f", true));
    add(50076, format_value_with_error(a.Dv, a.Dv_err, L"%.3f", false));
    const double sv = std::sqrt(a.Dv);
    add(50077, format_value_with_error(sv, a.Dv_err * 0.5 / sv, L"%.3f", false));
    if (with_lines && !a.lines.empty()) {
        std::wstring text;
        for (const SpectrumLine& line : a.lines) {
            if (!text.empty())
                text += L", ";
            text += format_number(L"%.3f", line.x);
        }
        add(50078, std::move(text));
    }
}
