#include "ui/dialogs/deconvolution_dlg.h"

#include "ui/resource_ids.h"

CDeconvolutionDlg::CDeconvolutionDlg(double probability, double fraction, double source_width)
    : ModalDialog(IDD_DECONVOLUTION), probability_(probability), fraction_(fraction), source_width_(source_width)
{
}

void CDeconvolutionDlg::exchange(DataExchange& dx)
{
    dx.real(IDC_DECONVOLUTION_PROBABILITY, probability_, 3);
    dx.real(IDC_DECONVOLUTION_FRACTION, fraction_, 3);
    dx.real(IDC_DECONVOLUTION_SOURCE_WIDTH, source_width_, 3);
}
