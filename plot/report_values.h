// What the results report and the results table read from the document alike: the fit
// results with their errors, the derived areas, the resonant fraction and the point
// ranges over which a distribution's statistics are given.
#pragma once

#include <optional>
#include <string>

#include "core/model/spectrum_model.h"
#include "core/numerics/ublas_types.h"
#include "core/spectrum/spectrum_data.h"

// The document's fit results and where they came from.
struct ResultsSource {
    const SpectrumModel& model;
    const SpectrumData& data;
    const DVector& values;      // the fit values, by flat index
    const DMatrix& covariance;  // the fit's covariance matrix, by flat index
    std::wstring spectrum_name; // the spectrum's file path or title; may be empty
    std::wstring model_name;    // the same for the model
};

// Entry k of one of the model's derived lists with its propagated error; nothing when
// the entry does not exist or has no compiled expression.
std::optional<ValueWithError> derived_value(const std::vector<NamedExpr>& list, unsigned k,
                                            const ResultsSource& source);

// A user expression's value and error; nothing when it did not compile.
std::optional<ValueWithError> expression_value(const NamedExpr& expression, const ResultsSource& source);

// 1 − "NonresonantPart" of the spectrum (0 when absent); 1 when that is not in (0, 1].
double resonant_fraction(const KeywordList& spectrum_keys);

// The whole range of distribution n, then the ranges marked on its graph.
PointRangeList distribution_intervals(const SpectrumModel& model, unsigned n);
