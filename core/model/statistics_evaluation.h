// Evaluation of a table of statistics rows (a distribution's statistics): each row is an
// expression text over the model's parameters and over named values ("$name"): the
// earlier rows, sums of one term over a component's points, and values the caller has
// compiled already. Each row's standard error propagates the covariance of the
// parameters through everything the row depends on, sums and inputs included, and adds
// the rows it names as independent values with their own errors.
#pragma once

#include <string>
#include <vector>

#include "core/model/expr_interface.h"
#include "core/model/spectrum_model.h"

// A value the rows may name, compiled by the caller (the model's total area).
struct StatisticsInput {
    std::wstring name;
    ExprPtr expr;
};

// Appends {name, format, value, error, flags & NewRow} for each row in order. A row that
// does not compile, or names a sum or input that does not, is left out, and names NaN
// for the rows after it. "$w" in a sum's term is the weight of point i at flat index
// first_weight + i. With an empty or a non-square covariance every error is 0.
void evaluate_statistics(const SpectrumModel& model, const std::vector<DistStatRow>& rows,
                         const std::vector<DistStatSum>& sums, unsigned first_weight,
                         const std::vector<StatisticsInput>& inputs, const DVector& values,
                         const DMatrix& covariance, std::vector<DistStatistic>& out);
