// The dialog of a range of distribution points, typed 1-based as "a-b" or "a".
#pragma once

#include "ui/logic/distribution_menu.h"
#include "wingui/dialog.h"

class CDistPointsDlg final : public ModalDialog {
public:
    CDistPointsDlg(PointRange range, unsigned count);
    PointRange range() const { return range_; }

private:
    bool on_init() override;
    void on_ok();

    PointRange range_;
    unsigned count_;
};

// Reads the range typed into control `id` of `dialog` (1 … count, one point allowed);
// false, with the beep and the focus on the field, when it does not read.
bool read_point_range(HWND dialog, int id, unsigned count, PointRange& range);
// Writes "from+1-to+1" into control `id`.
void show_point_range(HWND dialog, int id, PointRange range);
