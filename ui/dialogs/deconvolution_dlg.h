// The deconvolution dialog: the source's effect probability and recoilless fraction, and
// its line width in mm/s.
#pragma once

#include "wingui/dialog.h"

class CDeconvolutionDlg final : public ModalDialog {
public:
    CDeconvolutionDlg(double probability, double fraction, double source_width);
    double probability() const { return probability_; }
    double fraction() const { return fraction_; }
    double source_width() const { return source_width_; }

private:
    void exchange(DataExchange& dx) override;

    double probability_, fraction_, source_width_;
};
