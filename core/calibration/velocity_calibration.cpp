// One calibration run: the analysis at the chosen smoothing width with the marked lines
// merged, the standard's variant for that many lines, a baseline and the variant's
// component with starting values from its parameter text, the analysis and the found
// lines (the values the text fixes stay as it gives them), a Levenberg-Marquardt fit, and from the fitted values the zero channel and the
// corrected price. Their standard errors follow from the fit's covariance to first
// order, the line distance's gradient by central differences.
#include "core/calibration/velocity_calibration.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <locale>
#include <stdexcept>
#include <utility>

#include <boost/format.hpp>

#include "core/fit/lm_fit.h"
#include "core/spectrum/analyze_spectrum.h"
#include "core/spectrum/report_text.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"
#include "core/text/text.h"

namespace {

constexpr unsigned msg_invalid_filter_width = 50067;
constexpr unsigned msg_line_count = 50036;
constexpr unsigned msg_model_not_found = 50048;

// The first parameter named exactly "δ"; false when there is none.
bool shift_param(const ISubSpec& component, unsigned& index)
{
    for (unsigned j = 0; j < component.param_count(); ++j)
        if (component.param_info(j).name == L"δ") {
            index = j;
            return true;
        }
    return false;
}

DVector to_dvector(const std::vector<double>& v)
{
    DVector out(v.size());
    std::copy(v.begin(), v.end(), out.begin());
    return out;
}

std::wstring result_text(double reduced_chi_square, const std::optional<double>& spread, FitStopCode code)
{
    const std::wstring reason = MessageText(fit_stop_message_id(code)).str();
    if (spread)
        return (boost::wformat(L"χ²: %.3f±%.3f, %s", std::locale::classic()) % reduced_chi_square % *spread % reason)
            .str();
    return (boost::wformat(L"χ²: %.3f, %s", std::locale::classic()) % reduced_chi_square % reason).str();
}

}  // namespace

void append_descriptor_defaults(const ISubSpec& component, std::vector<double>& values, std::vector<int>& flags,
                                std::vector<double>& lower, std::vector<double>& upper)
{
    for (unsigned j = 0; j < component.param_count(); ++j) {
        const ParamInfo& info = component.param_info(j);
        values.push_back(0.0);
        flags.push_back(info.free ? 1 : 0);
        lower.push_back(info.lower);
        upper.push_back(info.upper);
    }
}

FitSettings calibration_fit_settings()
{
    FitSettings s;
    s.tau = 1e-5;
    s.eps1 = 1e-15;
    s.eps2 = 1e-15;
    s.eps3 = 1e-15;
    s.eps4 = 0.0;
    s.kmax = 200;
    s.dmax = 0;
    return s;
}

VelocityCalibration::VelocityCalibration(const Isotope& isotope, std::wstring standard,
                                         const SpectrumModel& document_model, const SpectrumData& spectrum,
                                         const ICalibrationCatalogue& catalogue)
    : isotope_(isotope), standard_(std::move(standard)), document_model_(document_model), spectrum_(spectrum),
      catalogue_(catalogue)
{
    reset();
}

void VelocityCalibration::reset()
{
    analysis_.reset();
    variant_ = nullptr;
    model_ = SpectrumModel();
    start_.resize(0);
    lower_.resize(0);
    upper_.resize(0);
    fitted_.resize(0);
    flags_.clear();
    message_.clear();
    success_ = false;
    stop_code_ = FitStopNoVariables;
    reduced_chi_square_ = 0.0;
    spread_.reset();
    offset_ = offset_error_ = 0.0;
    new_price_ = new_price_error_ = 0.0;
    first_channel_ = 1;
}

const CalibrationVariant* VelocityCalibration::choose_variant(std::size_t lines) const
{
    for (const CalibrationVariant& v : isotope_.variants) {
        if (v.standard != standard_)
            continue;
        if (v.line_count == lines || (v.line_count == 0 && (lines == 1 || lines == 2)))
            return &v;
    }
    return nullptr;
}

CalibrationOutcome VelocityCalibration::run(int filter_width)
{
    reset();
    if (filter_width < 2) {
        message_ = MessageText(msg_invalid_filter_width).str();
        return CalibrationOutcome::invalid_filter_width;
    }
    // A spectrum of velocities has no channels whose zero and price could be set.
    if (!stands_on_channels(spectrum_.keywords)) {
        message_ = MessageText(msg_calibration_needs_channels).str();
        return CalibrationOutcome::no_channels;
    }
    analysis_.valid = analyze_spectrum(analysis_, spectrum_.x_data, spectrum_.y_data, spectrum_.std_dev_data,
                                       static_cast<unsigned>(filter_width));
    if (document_model_.is_emission())
        analysis_ = analysis_.emission_reading();
    merge_marked_lines(spectrum_, analysis_.lines, marked);

    const CalibrationVariant* variant = choose_variant(analysis_.lines.size());
    variant_ = variant;
    if (!variant) {
        message_ = MessageText(msg_line_count, static_cast<unsigned>(analysis_.lines.size())).str();
        return CalibrationOutcome::no_variant;
    }
    try {
        if (!fit_model(*variant)) {
            message_ = MessageText(msg_model_not_found, variant->model_name).str();
            return CalibrationOutcome::model_not_found;
        }
    } catch (const std::exception& e) {
        message_ = utf8_to_wide(e.what());
        return CalibrationOutcome::failed;
    }
    return CalibrationOutcome::fitted;
}

bool VelocityCalibration::fit_model(const CalibrationVariant& variant)
{
    // The document's model without components and user expressions: its isotope,
    // keywords, direction and excluded ranges apply to the calibration fit as well.
    model_ = SpectrumModel();
    model_.isotope = document_model_.isotope;
    model_.keywords = document_model_.keywords;
    model_.scale = document_model_.scale;
    model_.xranges = document_model_.xranges;
    // The levels of the spectrum being calibrated, whatever the document's model last saw.
    model_.set_levels(analysis_.S, analysis_.N0);

    const SubSpecPtr baseline = catalogue_.create_baseline(&isotope_, analysis_.N0);
    if (!baseline)
        throw std::runtime_error(MessageText(msg_model_not_found, L"Baseline").to_utf8());
    model_.insert_component(0, baseline);
    std::vector<double> values, lower, upper;
    append_descriptor_defaults(*baseline, values, flags_, lower, upper);

    const SubSpecPtr component = catalogue_.create_by_name(variant.model_name, &isotope_);
    if (!component)
        return false;
    const unsigned first = baseline->param_count();
    const unsigned count = component->param_count();
    model_.insert_component(1, component);
    catalogue_.parse_params(variant.param_text, *component, values, flags_, lower, upper);
    if (values.size() != first + count || flags_.size() != values.size() || lower.size() != values.size() ||
        upper.size() != values.size())
        throw std::logic_error("the parameter text reader gave the wrong number of parameters");
    start_ = to_dvector(values);
    lower_ = to_dvector(lower);
    upper_ = to_dvector(upper);
    baseline->init_params(analysis_, start_, 0, first);

    // The standard's own shift, as its parameter text states it, before the analysis
    // overwrites the starting values: zero velocity lies that far from the fitted δ.
    unsigned shift_index = 0;
    const bool has_shift = shift_param(*component, shift_index);
    const double reference_shift = has_shift ? start_(first + shift_index) : 0.0;

    component->init_params(analysis_, start_, first, count);
    if (const auto* from_peaks = dynamic_cast<const ICalibrationInit*>(component.get()))
        from_peaks->init_from_peaks(analysis_, start_, first, count);
    // What the standard fixes holds (α-iron's ε = 0): the found lines only start the
    // values the fit varies, or the fit could never reach the standard's own pattern.
    for (unsigned k = first; k < first + count; ++k)
        if (flags_[k] == 0)
            start_(k) = values[k];

    DMatrix covariance, directions;
    double chi_square = 0.0;
    unsigned iterations = 0;
    lm_fit(model_, spectrum_, start_, flags_, lower_, upper_, calibration_fit_settings(), fitted_, covariance,
           directions, chi_square, reduced_chi_square_, iterations, stop_code_);

    // Codes 8 to 10 end the fit before any step, with the starting values: nothing was
    // calibrated; nor was it when the fit took no step at all.
    success_ = iterations > 0 && stop_code_ != FitStopIterationLimit && stop_code_ != FitStopNuTooLarge &&
               stop_code_ != FitStopByCaller && stop_code_ != FitStopTooManyVariables &&
               stop_code_ != FitStopNoVariables && stop_code_ != FitStopZeroStdDev;
    long dof = static_cast<long>(spectrum_.x_data.size());
    for (int f : flags_)
        dof -= f != 0;
    if (dof > 0)
        spread_ = std::sqrt(2.0 / static_cast<double>(dof));

    kwlist_get_int(spectrum_.keywords, L"FirstChannel", first_channel_);
    derive_calibration(variant, first, reference_shift, covariance);
    message_ = result_text(reduced_chi_square_, spread_, stop_code_);
    return true;
}

void VelocityCalibration::derive_calibration(const CalibrationVariant& variant, unsigned first,
                                             double reference_shift, const DMatrix& covariance)
{
    const SubModel& c = *model_.components[1];
    const auto variance = [&](unsigned i, unsigned j) {
        return i < covariance.size1() && j < covariance.size2() ? covariance(i, j) : 0.0;
    };

    double measured = 0.0, measured_error = 0.0;
    const auto* distance = dynamic_cast<const ILineDistance*>(c.subspec.get());
    if (variant.distance > 0.0 && distance) {
        measured = distance->line_distance(c.param_slice(fitted_));
        // Gradient by central differences over the component's parameters.
        DVector p = fitted_;
        std::vector<double> gradient(c.count, 0.0);
        for (unsigned j = 0; j < c.count; ++j) {
            const unsigned k = first + j;
            if (variance(k, k) == 0.0)
                continue;
            const double h = 1e-6 * std::max(1.0, std::fabs(fitted_(k)));
            p(k) = fitted_(k) + h;
            const double up = distance->line_distance(c.param_slice(p));
            p(k) = fitted_(k) - h;
            const double down = distance->line_distance(c.param_slice(p));
            p(k) = fitted_(k);
            gradient[j] = (up - down) / (2.0 * h);
        }
        double sum = 0.0;
        for (unsigned i = 0; i < c.count; ++i)
            for (unsigned j = 0; j < c.count; ++j)
                sum += gradient[i] * gradient[j] * variance(first + i, first + j);
        measured_error = std::sqrt(std::max(sum, 0.0));
    }

    double price = 1.0;
    channel_price(spectrum_.keywords, price);
    const bool corrects_price = measured > 0.0 && variant.distance > 0.0;
    // The velocity scale of the spectrum relative to the true one: the standard's known
    // shift is that much longer on it.
    const double scale = corrects_price ? measured / variant.distance : 1.0;

    unsigned shift_index = 0;
    if (shift_param(*c.subspec, shift_index)) {
        const unsigned k = first + shift_index;
        const double zero_velocity = fitted_(k) - reference_shift * scale;
        // From the first channel, which holds the highest velocity when the price is negative.
        const double first_x = counts_axis(spectrum_.keywords, 1).front();
        offset_ = (zero_velocity - first_x) / price;
        offset_error_ = std::sqrt(std::max(variance(k, k), 0.0)) / std::fabs(price);
    }
    if (corrects_price) {
        new_price_ = price * variant.distance / measured;
        new_price_error_ = std::fabs(new_price_) * measured_error / measured;
    }
}
