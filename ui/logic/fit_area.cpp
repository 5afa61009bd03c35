#include "ui/logic/fit_area.h"

#include <vector>

#include "core/fit/lm_fit.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "ui/logic/fit_protocol.h"

std::optional<FitAreaResult> fit_area(const SpectrumModel& model, const SpectrumData& data, const DVector& values,
                                      const DVector& lower, const DVector& upper, const FitSettings& settings)
{
    std::vector<int> indices;
    model.area_param_indices(indices);
    if (indices.empty())
        return std::nullopt;
    std::vector<int> mask(values.size(), 0);
    for (int i : indices)
        mask.at(static_cast<std::size_t>(i)) = 1;

    FitAreaResult result;
    DVector fitted;
    DMatrix covariance, directions;
    double chi_square = 0.0, reduced_chi_square = 0.0;
    unsigned iterations = 0;
    lm_fit(model, data, values, mask, lower, upper, settings, fitted, covariance, directions, chi_square,
           reduced_chi_square, iterations, result.stop_code);
    if (!nothing_fitted(result.stop_code))
        result.values = std::move(fitted);
    return result;
}
