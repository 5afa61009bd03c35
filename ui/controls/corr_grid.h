// The read-only grid of the last fit's correlations and singular directions: a
// snapshot taken by Fill, painted without reading the document.
#pragma once

#include "ui/controls/grid.h"
#include "ui/logic/corr_grid_data.h"

class CCorrGrid : public CGrid {
public:
    void Fill(const SpectrumModel& model, const std::function<bool(unsigned)>& is_varied, const DMatrix& covariance,
              const DMatrix& directions);
    // Empties the grid, as when no fit results are present.
    void Clear();
    void Refresh(bool rebuild);
    // Selects the row of flat parameter k, or clears the selection.
    void SelectParam(int k);
    // The flat index of the parameter on `row`; -1 for none.
    int param_of_row(int row) const { return data_.param_of_row(row); }

protected:
    std::optional<std::wstring> GetCellText(int row, int column) override { return data_.text(row, column); }
    void GetCellBkColor(int row, int column, COLORREF& colour) override;
    int LastCellColumn(int) override { return -1; }
    void OnSelChange(int row) override;
    void OnCellChange() override { OnSelChange(CurrentRow()); }

private:
    CorrGridData data_;
};
