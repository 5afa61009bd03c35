// The spectrum points a fit uses: every point outside the model's excluded x-ranges,
// sorted by increasing x.
#pragma once

#include <vector>

class IModelData;
class IModelWithXRanges;

// x, y and σ become the data's points sorted by x (equal x keep their order) without
// those in an excluded range (from ≤ x < to; a range whose from is not below its to
// excludes nothing). With `values` (one per data point), it is sorted and filtered
// along. Data vectors of different lengths, or `values` of another length, throw
// std::runtime_error.
void select_fit_points(const IModelData& data, const IModelWithXRanges& ranges, std::vector<double>& x,
                       std::vector<double>& y, std::vector<double>& sigma, std::vector<double>* values = nullptr);
