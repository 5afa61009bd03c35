// The velocity calibration: a spectrum of a standard absorber is fitted with the model
// that the isotope table prescribes for that standard and for the number of lines the
// analysis finds; the standard's fitted shift gives the channel of zero velocity and,
// where the standard's line distance is known, the fitted distance corrects the channel
// price. The calibration dialog drives one object per dialog: it sets the marked
// positions and runs again whenever the user changes the smoothing width or marks a
// line; OK writes the result with apply_calibration_keys. The fit runs synchronously.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/calibration/calibration_catalogue.h"
#include "core/fit/fit_settings.h"
#include "core/model/spectrum_model.h"
#include "core/numerics/ublas_types.h"
#include "core/spectrum/isotope.h"
#include "core/spectrum/spectrum_analysis.h"
#include "core/spectrum/spectrum_data.h"

// Message 50120: only a spectrum of counts by channel can be calibrated.
inline constexpr unsigned msg_calibration_needs_channels = 50120;

// How a run ended; every outcome but `fitted` has only its message to show.
enum class CalibrationOutcome {
    fitted,                // the fit ran; its results are in the state (success says whether usable)
    invalid_filter_width,  // message 50067
    no_channels,           // the spectrum holds velocities, not counts by channel (50120)
    no_variant,            // no model of the standard for the number of lines found (50036)
    model_not_found,       // the catalogue lacks the variant's model (50048)
    failed,                // an exception while building or fitting; its text
};

class VelocityCalibration {
public:
    // The inputs stay the caller's and are read on every run, never changed.
    VelocityCalibration(const Isotope& isotope, std::wstring standard, const SpectrumModel& document_model,
                        const SpectrumData& spectrum, const ICalibrationCatalogue& catalogue);

    // Positions (mm/s) the user marked as lines, in click order; the dialog empties them
    // when the smoothing width changes.
    std::vector<double> marked;

    // One complete run with the smoothing half width `filter_width` (points).
    CalibrationOutcome run(int filter_width);

    // ---- State of the last run ----

    const SpectrumAnalysis& analysis() const { return analysis_; }
    // The standard's model for the number of lines found; null when there was none.
    const CalibrationVariant* variant() const { return variant_; }
    // Baseline plus calibration component; empty unless the model was built.
    const SpectrumModel& model() const { return model_; }
    const DVector& start_values() const { return start_; }
    const std::vector<int>& flags() const { return flags_; }
    const DVector& lower() const { return lower_; }
    const DVector& upper() const { return upper_; }
    const DVector& fitted_values() const { return fitted_; }
    // The text for the result field: the message of an outcome other than `fitted`, else
    // "χ²: reduced χ² ± spread, stop reason" (no spread without a degree of freedom).
    const std::wstring& message() const { return message_; }

    // True when the fit ended with a usable stop code after at least one step: only
    // then may the result be applied.
    bool success() const { return success_; }
    FitStopCode stop_code() const { return stop_code_; }
    double reduced_chi_square() const { return reduced_chi_square_; }
    // √(2/dof), dof the points less the varied parameters; none for dof ≤ 0.
    std::optional<double> spread() const { return spread_; }
    // The zero-velocity channel relative to the first channel, and its standard error.
    double offset() const { return offset_; }
    double offset_error() const { return offset_error_; }
    // The corrected channel price (mm/s, with the sign of the old one) and its standard
    // error; 0 when none was derived.
    double new_price() const { return new_price_; }
    double new_price_error() const { return new_price_error_; }
    // Whether the run derived a price: the dialog shows it, OK writes it.
    bool corrects_price() const { return new_price_ != 0.0; }
    // FirstChannel (1 without one) + offset: what the zero-channel field shows.
    double zero_channel() const { return first_channel_ + offset_; }

private:
    void reset();
    bool fit_model(const CalibrationVariant& variant);
    const CalibrationVariant* choose_variant(std::size_t lines) const;
    void derive_calibration(const CalibrationVariant& variant, unsigned first, double reference_shift,
                            const DMatrix& covariance);

    const Isotope& isotope_;
    std::wstring standard_;
    const SpectrumModel& document_model_;
    const SpectrumData& spectrum_;
    const ICalibrationCatalogue& catalogue_;

    SpectrumAnalysis analysis_;
    const CalibrationVariant* variant_ = nullptr;
    SpectrumModel model_;
    DVector start_, lower_, upper_, fitted_;
    std::vector<int> flags_;
    std::wstring message_;
    bool success_ = false;
    FitStopCode stop_code_ = FitStopNoVariables;
    double reduced_chi_square_ = 0.0;
    std::optional<double> spread_;
    double offset_ = 0.0, offset_error_ = 0.0;
    double new_price_ = 0.0, new_price_error_ = 0.0;
    int first_channel_ = 1;
};

// The fit settings of the calibration.
FitSettings calibration_fit_settings();

// Writes a calibration into a spectrum that stands on channels: the counts (and the
// deviations, when it stores them) as plain lists under "Spectrum" and
// "StdDevSpectrum", "ZeroChannel" = FirstChannel + offset and, when price ≠ 0, the
// price under the key the spectrum reads it from (and "ChannelPrice(kOe)" = price/|K|
// when present); then reads the spectrum again. A spectrum of velocities gets
// std::runtime_error (message 50120) and is not changed; so is any spectrum whose new
// keys do not read.
void apply_calibration_keys(SpectrumData& spectrum, const Isotope& isotope, double offset, double price);
