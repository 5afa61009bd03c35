// The editable table behind the model grids, the correlation grid and the keyword-list
// editor: a report-mode list view in owner-data mode, so it stores no cell text; every
// cell's text, image, colours and editability come from the virtual operations below.
// On top of the list view: a current cell (a column in the selected row), keyboard
// movement between cells, an in-place editor, its own painting of every cell (padlock
// images, superscript and subscript runs), clipboard commands for cells and rows.
//
// The parent window must send WM_NOTIFY of the list view back to it (reflection).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/logic/grid_cursor.h"
#include "wingui/control.h"
#include "wingui/handles.h"

// Notifications the grids send to their parent as WM_NOTIFY (an NMITEMACTIVATE).
enum GridNotification : UINT {
    GRIDN_VALUE_CHANGED = 768,
    GRIDN_FLAGS_TOGGLED = 1000,
    GRIDN_CONTEXT_MENU = 1001,
    GRIDN_SEL_CHANGE = 1002,
    GRIDN_ACTIVATE = 1003,
};

class CGrid : public Control {
public:
    CGrid();
    ~CGrid() override;

    // The list view and its editor; the grid's window, or null. Style 0 stands for a
    // visible child with scroll bars.
    HWND CreateControls(HWND parent, const RECT* rect, DWORD style, DWORD ex_style, UINT id);
    // CreateControls without column headers, with the padlock images.
    HWND Create(HWND parent, const RECT* rect, DWORD style, DWORD ex_style, UINT id);
    // The font and the padlock images for the DPI of the window now (moved to another
    // monitor).
    void ScaleToDpi();

    void SelectCell(int row, int column);
    int CurrentRow() const;
    int CurrentColumn() const;
    void EnsureCellVisible();
    // The grid's Copy, Paste and Cut keys, for the owner to translate.
    HACCEL accelerators() const { return accelerators_.get(); }
    HWND editor() const { return editor_.hwnd(); }

protected:
    // Nothing for no text.
    virtual std::optional<std::wstring> GetCellText(int row, int column) = 0;
    virtual int GetCellImage(int, int) { return -1; }
    virtual int FirstCellColumn(int row);
    virtual int LastCellColumn(int row);
    virtual void GetCellBkColor(int, int, COLORREF&) {}
    virtual void GetCellTextColor(int, int, COLORREF&) {}
    // The editor's starting text when the cell may be edited.
    virtual std::optional<std::wstring> BeginCellEdit(int, int) { return std::nullopt; }
    virtual void SetCellText(int, int, const std::wstring&) {}
    virtual void OnImageClick(int, int) {}
    virtual void OnContextMenu(int, int, int) {}
    virtual void OnSelChange(int) {}
    virtual void OnCellChange() {}
    virtual void OnActivate(int, int) {}
    // Whether OnActivate acts: such a grid claims Enter on its current row from the
    // dialog navigation (IsDialogMessage) of the window it lies in.
    virtual bool ActivatesRows() const { return false; }
    virtual void CutRow() {}
    virtual void CopyRow() {}
    virtual void PasteRow() {}
    // Bracket the cells read together by one paint: the document cannot change in
    // between, so a derived grid may read it once for all of them.
    virtual void BeginCellReading() {}
    virtual void EndCellReading() {}

    // Sends a grid notification to the parent.
    LRESULT notify_parent(UINT code, int item = 0, int sub_item = 0, POINT point = {}) const;
    int item_count() const;
    void redraw_row(int row) const;
    int column_count() const;
    // Deletes every column, inserts `count` empty left-aligned ones `width` wide and
    // sets the item count.
    void reset_columns(int count, int width, unsigned rows) const;
    // Runs `measure` while the grid is far off-screen and very tall, so that the list
    // view counts every row as visible when it sizes columns to their contents.
    void measure_with_all_rows(const std::function<void()>& measure) const;
    int string_width(const wchar_t* text) const;

private:
    class CGridEdit : public Control {
    public:
        explicit CGridEdit(CGrid& grid);
    };

    void on_key_down(WPARAM key, LPARAM flags, LRESULT& result, bool& consumed);
    void on_press(WPARAM keys, LPARAM point);
    void on_click(const NMITEMACTIVATE& click, bool right);
    void open_editor(int row, int column, const std::wstring& text, wchar_t typed);
    void on_edit_end(LPARAM how);
    void on_copy();
    void on_cut();
    void on_paste();
    LRESULT on_custom_draw(NMLVCUSTOMDRAW& draw);
    void paint_cell(NMLVCUSTOMDRAW& draw);
    bool hit_test(POINT point, LVHITTESTINFO& hit) const;

    int column_ = -1;
    int row_ = -1;
    GridEditSession edit_;
    // The font and the padlock images for the DPI of `window` become the list view's.
    void set_font();
    void set_padlock_images(HWND window);
    ScopedFont font_;
    std::wstring buffer_;
    ScopedAccelerators accelerators_;
    CGridEdit editor_;
};
