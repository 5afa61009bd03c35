// The dialog of one data point's count.
#pragma once

#include "wingui/dialog.h"

class CYValDlg final : public ModalDialog {
public:
    explicit CYValDlg(double value);
    double value() const { return value_; }

private:
    void exchange(DataExchange& dx) override;

    double value_;
};
