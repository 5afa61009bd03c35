// The grid of the document's model: one row per component, then one per user
// expression. The parameter grid edits values, toggles padlocks and cuts, copies and
// pastes rows; the fit-result grid shows the fitted values with their errors and only
// copies. Cells are read from the document when painted; nothing is kept between
// document changes.
#pragma once

#include <optional>

#include "ui/controls/grid.h"
#include "ui/logic/model_grid_rows.h"

class CModelGrid : public CGrid {
public:
    CModelGrid(ModelGridDocument& document, ModelGridOptions options) : document_(document), options_(options) {}

    // Re-lays the grid after a document change; `rebuild` when components or
    // expressions were added or removed.
    void Refresh(bool rebuild);
    void NotifyValueChanged() const { notify_parent(GRIDN_VALUE_CHANGED); }
    ModelGridOptions& options() { return options_; }

protected:
    std::optional<std::wstring> GetCellText(int row, int column) override { return cells().text(row, column); }
    int GetCellImage(int row, int column) override { return cells().image(row, column); }
    int FirstCellColumn(int row) override { return cells().first_cell_column(row); }
    int LastCellColumn(int row) override { return cells().last_cell_column(row); }
    void GetCellBkColor(int row, int column, COLORREF& colour) override;
    void GetCellTextColor(int row, int column, COLORREF& colour) override;
    std::optional<std::wstring> BeginCellEdit(int row, int column) override { return cells().begin_edit(row, column); }
    void SetCellText(int row, int column, const std::wstring& text) override;
    void OnImageClick(int row, int column) override;
    void OnContextMenu(int row, int x, int y) override { notify_parent(GRIDN_CONTEXT_MENU, row, 0, {x, y}); }
    void OnSelChange(int row) override { notify_parent(GRIDN_SEL_CHANGE, row); }
    void OnCellChange() override { OnSelChange(CurrentRow()); }
    void OnActivate(int row, int column) override;
    bool ActivatesRows() const override { return true; }
    void CutRow() override;
    void CopyRow() override;
    void PasteRow() override;
    void BeginCellReading() override;
    void EndCellReading() override;

private:
    // The cells as the document stands now. While a paint or a refresh reads many cells,
    // one reading serves them all, so the relative areas with their errors are computed
    // once rather than once per cell; otherwise each call reads the document afresh.
    const ModelGridCells& cells() const;

    mutable std::optional<ModelGridCells> cells_;
    bool one_reading_ = false;

    ModelGridDocument& document_;
    ModelGridOptions options_;
};
