#include "ui/dialogs/velocity_range_dlg.h"

#include "ui/resource_ids.h"

CVRangeDlg::CVRangeDlg(double vmin, double vmax, int points, bool noise)
    : ModalDialog(IDD_VELOCITY_RANGE), vmin_(vmin), vmax_(vmax), points_(points), noise_(noise)
{
}

void CVRangeDlg::exchange(DataExchange& dx)
{
    dx.real(IDC_VELOCITY_MIN, vmin_, 3);
    dx.real(IDC_VELOCITY_MAX, vmax_, 3);
    dx.integer(IDC_VELOCITY_POINTS, points_, min_points, max_points);
    dx.check(IDC_VELOCITY_NOISE, noise_);
}
