// The About box: product name, version and what the program does; its template
// (centred on the main window) says it all.
#pragma once

#include "ui/resource_ids.h"
#include "wingui/dialog.h"

class CAboutDlg final : public ModalDialog {
public:
    CAboutDlg() : ModalDialog(IDD_ABOUT) {}
};
