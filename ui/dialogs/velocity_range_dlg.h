// The dialog of a spectrum generated from the model: its velocity range, its number of
// points (32 to 8192) and whether Poisson noise is drawn.
#pragma once

#include "wingui/dialog.h"

class CVRangeDlg final : public ModalDialog {
public:
    static constexpr int min_points = 32;
    static constexpr int max_points = 8192;

    CVRangeDlg(double vmin, double vmax, int points, bool noise);
    double vmin() const { return vmin_; }
    double vmax() const { return vmax_; }
    int points() const { return points_; }
    bool noise() const { return noise_; }

private:
    void exchange(DataExchange& dx) override;

    double vmin_, vmax_;
    int points_;
    bool noise_;
};
