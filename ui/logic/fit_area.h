// "Fit area": the areas of the model's components fitted alone, synchronously in the
// UI thread. The document is not touched here: the caller applies the returned values
// as one undo step.
#pragma once

#include <optional>

#include "core/fit/fit_settings.h"
#include "core/numerics/ublas_types.h"

class SpectrumModel;
class SpectrumData;

struct FitAreaResult {
    FitStopCode stop_code = FitStopSmallGradient;
    // The values to apply; none when the engine stopped before its first step (too many
    // variables, no variables, a zero deviation): the model stays as it is.
    std::optional<DVector> values;
};

// Varies exactly the area parameters, whatever their free and locked flags say (linked
// ones the engine leaves out itself). None when the model has no area parameters.
std::optional<FitAreaResult> fit_area(const SpectrumModel& model, const SpectrumData& data, const DVector& values,
                                      const DVector& lower, const DVector& upper, const FitSettings& settings);
