// The filter dialog: the smoothing width in mm/s, under a label from the message table.
#pragma once

#include <cstdint>

#include "wingui/dialog.h"

class CFilterDlg final : public ModalDialog {
public:
    CFilterDlg(std::uint32_t label_message, double width);
    double width() const { return width_; }

private:
    bool on_init() override;
    void exchange(DataExchange& dx) override;

    std::uint32_t label_message_;
    double width_;
};
