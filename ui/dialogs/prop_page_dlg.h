// The "Properties" dialog: a keyword list as a grid of keys and values, in which values
// are changed, keys renamed, entries added (typed into the last row) and deleted
// (Delete key). It edits a copy, written back to the caller's list only on OK.
#pragma once

#include <string>

#include "core/text/kwfile.h"
#include "ui/controls/grid.h"
#include "ui/logic/keyword_list_editor.h"
#include "wingui/dialog.h"

class CPropPageDlg : public ModalDialog {
public:
    // An empty title keeps the resource's.
    CPropPageDlg(KeywordList& list, bool read_only, std::wstring title = {});

    class CPPGrid : public CGrid {
    public:
        explicit CPPGrid(KeywordListEditor& editor) : editor_(editor) {}
        HWND Create(HWND parent, const RECT& rect, UINT id);
        // Sets the item count after entries were added or deleted.
        void Reload();

    protected:
        std::optional<std::wstring> GetCellText(int row, int column) override { return editor_.text(row, column); }
        int LastCellColumn(int row) override { return editor_.last_cell_column(row); }
        std::optional<std::wstring> BeginCellEdit(int row, int column) override
        {
            return editor_.begin_edit(row, column);
        }
        void SetCellText(int row, int column, const std::wstring& text) override;

    private:
        KeywordListEditor& editor_;
    };

    CPPGrid& grid() { return grid_; }

private:
    bool on_init() override;
    LRESULT on_notify(WPARAM wparam, LPARAM lparam);

    KeywordList& list_;
    KeywordListEditor editor_;
    std::wstring title_;
    CPPGrid grid_;
};
