// The correlation grid's content: a snapshot, taken after a fit, of the correlations
// between the varied parameters (from the fit's covariance matrix) and of the singular
// directions the fit reports, each with its singular value relative to the largest.
//
// Rows: 0 column numbers, 1 parameter names or relative singular values, 2 + i varied
// parameter i. Columns: 0 number, 1 component label, 2 parameter name, 3 + j the
// correlation with parameter j, 3 + n empty, then direction k = 1 … M (row M − k of
// the directions).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"

inline constexpr COLORREF corr_red = 0x0000E0;
inline constexpr COLORREF corr_olive = 0x00A0A0;
inline constexpr COLORREF corr_silver = 0xC0C0C0;

class CorrGridData {
public:
    // `directions` has one row per singular direction: its components along every
    // parameter, then its singular value over the largest. Empty matrices clear.
    void fill(const SpectrumModel& model, const std::function<bool(unsigned)>& is_varied, const DMatrix& covariance,
              const DMatrix& directions);
    void clear();

    unsigned row_count() const { return parameter_count() + 2; }
    unsigned column_count() const { return parameter_count() + direction_count() + 4; }
    unsigned parameter_count() const { return static_cast<unsigned>(flat_.size()); }
    unsigned direction_count() const { return static_cast<unsigned>(relative_.size()); }

    std::optional<std::wstring> text(int row, int column) const;
    std::optional<COLORREF> background(int row, int column) const;
    // The row of flat parameter k; -1 when it is not varied.
    int row_of_param(int k) const;
    // The flat index of the parameter on `row`; -1 for a header row or a row outside.
    int param_of_row(int row) const;

private:
    // The correlation of varied parameters i and j; nothing unless both variances are positive.
    std::optional<double> correlation(unsigned i, unsigned j) const;
    // Direction k (from 1) as a row of directions_, and its relative singular value.
    unsigned direction_row(unsigned k) const { return direction_count() - k; }

    std::vector<std::wstring> labels_, names_;
    std::vector<unsigned> flat_;
    DMatrix source_;
    DMatrix directions_;
    std::vector<double> relative_;
};

// A background from the size of a correlation or a direction's component: red above
// 0.9, olive above 0.7, silver above 0.5.
std::optional<COLORREF> strength_color(double x);
