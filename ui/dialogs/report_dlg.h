// The report viewer: a resizable dialog that shows a report file in the embedded browser.
#pragma once

#include <string>

#include "wingui/browser.h"
#include "wingui/dialog.h"

class CReportDlg final : public ModalDialog {
public:
    // What run() returns when no browser control could be made to show the report (no
    // HTML engine): the dialog never showed, and the caller shows the report another way.
    static constexpr INT_PTR no_browser = 3;

    explicit CReportDlg(std::wstring path);

private:
    bool on_init() override;

    std::wstring path_;
    CBrowser browser_;
};
