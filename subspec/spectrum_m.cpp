#include "subspec/spectrum_m.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <stdexcept>
#include <utility>

#include "core/spectrum/fir_filter.h"
#include "core/spectrum/savitzky_golay.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/data_files.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "subspec/subspec_impl.h"

void SpectrumM::init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
{
    p[0] = 1.0;
    p[1] = 0.0;
    p[2] = 0.0;
    p[3] = 1.0;
}

void SpectrumM::extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
{
    const std::vector<double>& xs = reference_.x_data;
    min = xs.empty() ? p[2] : xs.front() * p[3] + p[2];
    max = xs.empty() ? p[2] : xs.back() * p[3] + p[2];
}

SpectrumM::Prepared SpectrumM::prepare(const SpectrumData& reference)
{
    Prepared prepared;
    std::vector<double> kernel;
    savitzky_golay_coefficients(4, 3, 1, kernel);
    // Both derivatives are per point step; their ratio is the slope per mm/s.
    std::vector<double> steps;
    fir_filter_vector(kernel, reference.y_data, prepared.slopes);
    fir_filter_vector(kernel, reference.x_data, steps);
    for (std::size_t i = 0; i < steps.size(); ++i)
        prepared.slopes[i] = steps[i] != 0.0 ? prepared.slopes[i] / steps[i] : 0.0;
    prepared.peaks_up = reference.analysis(false).peaks_up;
    prepared.analysis = reference.analysis(prepared.peaks_up);
    // The component divides by the area: a reference without one (a flat spectrum,
    // whose area is rounding noise) gives no profile.
    const double span = reference.x_data.empty() ? 0.0 : reference.x_data.back() - reference.x_data.front();
    const double negligible = 1e-9 * std::max(1.0, std::fabs(prepared.analysis.N0)) * span;
    if (!(std::fabs(prepared.analysis.S) > negligible) || !std::isfinite(prepared.analysis.S))
        throw std::runtime_error("The reference spectrum has no area, so it cannot be normalised; "
                                 "choose a spectrum with a line");
    return prepared;
}

void SpectrumM::take_reference(KeywordList list)
{
    SpectrumData fresh;
    fresh.load_keywords(list);
    fresh.keywords = std::move(list);
    Prepared prepared = prepare(fresh);
    reference_ = std::move(fresh);
    prepared_ = std::move(prepared);
}

bool SpectrumM::set_defaults(const std::wstring& folder)
{
    const std::optional<std::wstring> path = user_interface().choose_open_file(
        L"spc", L"Spectrum data files (*.spc)|*.spc|All files (*.*)|*.*|", folder);
    if (!path)
        return false;
    SpectrumData chosen;
    chosen.load_file(*path);
    double price = 0.0;
    if (channel_price(chosen.keywords, price) && price == 1.0 &&
        !user_interface().ask_ok_cancel(MessageText(50032).str(), MessageText(50033).str()))
        return false;
    KeywordList list = chosen.keywords;
    kwlist_set(list, L"FileName", file_stem(*path));
    take_reference(std::move(list));
    return true;
}

bool SpectrumM::load_extra(const std::wstring& text)
{
    KeywordList list;
    kwlist_from_string(text, list);
    take_reference(std::move(list));
    return true;
}

std::wstring SpectrumM::save_extra() const
{
    return kwlist_to_string(reference_.keywords);
}

bool SpectrumM::edit_properties()
{
    SpectrumData edited = reference_;
    if (!edited.edit_properties(1))
        return false;
    try {
        Prepared prepared = prepare(edited);
        reference_ = std::move(edited);
        prepared_ = std::move(prepared);
        return true;
    } catch (const std::exception& e) {
        user_interface().message_box(utf8_to_wide(e.what()), L"Error");
        return false;
    }
}

std::wstring SpectrumM::description() const
{
    std::wstring text;
    if (!kwlist_find(reference_.keywords, L"FileName", text))
        kwlist_find(reference_.keywords, L"Comment", text);
    return text;
}
