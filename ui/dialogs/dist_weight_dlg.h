// The dialog of a range of distribution points with a weight (or, in values mode, a
// value); a weight typed with a leading '*' multiplies instead of setting.
#pragma once

#include "ui/logic/distribution_menu.h"
#include "wingui/dialog.h"

class CDistWeightDlg final : public ModalDialog {
public:
    CDistWeightDlg(double value, PointRange range, unsigned count, bool values_mode);
    PointRange range() const { return range_; }
    const TypedWeight& weight() const { return weight_; }

private:
    bool on_init() override;
    void on_ok();

    TypedWeight weight_;
    PointRange range_;
    unsigned count_;
    bool values_mode_;
};
