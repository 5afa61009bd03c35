// The calibration's write-back into the document: the document sits below the
// calibration, so this is the calibration's operation on it.
#pragma once

#include "core/document/model_state.h"
#include "core/spectrum/isotope.h"

// apply_calibration_keys on the document's spectrum as one record on the spectrum
// history, the model's levels following. A spectrum of velocities is refused
// (std::runtime_error, message 50120) and nothing changes.
void apply_calibration(ModelState& document, const Isotope& isotope, double offset, double price);

// The velocity calibration a spectrum file stores: its zero channel counted from its
// first channel, and its channel price.
struct StoredCalibration {
    double offset = 0.0;
    double price = 0.0;
};

// The calibration of `source` for a spectrum of `points` points. Message 50039
// (std::runtime_error) when it has no channel price other than 1, the mark of an
// uncalibrated spectrum; 50038 when it has another number of points: a calibration
// holds for the channels it was measured on.
StoredCalibration stored_calibration(const SpectrumData& source, std::size_t points);

// The document's spectrum takes the calibration of `source` (stored_calibration,
// apply_calibration): the same zero channel relative to the first channel, the same
// price. Refused as those two refuse, nothing changed.
void load_calibration(ModelState& document, const Isotope& isotope, const SpectrumData& source);
