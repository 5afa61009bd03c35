// The link-factor dialog: "[c] name = ", the factor, " × " and the target. The factor
// shows 3 significant digits; left as shown it stays exact, edited it is read strictly.
#pragma once

#include <string>

#include "ui/logic/link_fields.h"
#include "wingui/dialog.h"

class CLinkCDlg final : public ModalDialog {
public:
    CLinkCDlg(std::wstring dependent_text, std::wstring target_text, double factor);
    double factor() const { return factor_.value; }

private:
    bool on_init() override;
    void on_ok();

    std::wstring target_text_;
    std::wstring dependent_text_;
    RoundedField factor_;
};
