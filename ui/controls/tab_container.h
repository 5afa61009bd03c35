// The tab container above the plot: a tab control whose pages are child windows of the
// container (the grids), one shown at a time. Selecting a page tells the parent by
// WM_COMMAND with the container's id and code 8001; Ctrl+Tab goes to the next page.
#pragma once

#include <string>

#include "wingui/handles.h"
#include "wingui/window.h"

class CTabContainer final : public Window {
public:
    static constexpr UINT page_selected = 8001;

    CTabContainer();

    bool create_window(HWND parent, UINT id);
    HACCEL accelerators() const { return accelerators_.get(); }

    void AddPage(HWND page, const std::wstring& title);
    void SelectPage(int index);
    // A window without a tab changes nothing.
    void ActivatePage(HWND page);
    int current_page() const;
    HWND page(int index) const;

private:
    void layout();
    RECT display_area() const;
    void next_page();

    HWND tabs_ = nullptr;
    ScopedAccelerators accelerators_;
};
