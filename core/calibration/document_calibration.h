// The calibration's write-back into the document: the document sits below the
// calibration, so this is the calibration's operation on it.
#pragma once

#include "core/document/model_state.h"
#include "core/spectrum/isotope.h"

// apply_calibration_keys on the document's spectrum as one record on the spectrum
// history, the model's levels following. A spectrum of velocities is refused
// (std::runtime_error, message 50120) and nothing changes.
void apply_calibration(ModelState& document, const Isotope& isotope, double offset, double price);
