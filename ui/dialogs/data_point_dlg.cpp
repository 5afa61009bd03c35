#include "ui/dialogs/data_point_dlg.h"

#include "ui/resource_ids.h"

CYValDlg::CYValDlg(double value) : ModalDialog(IDD_DATA_POINT), value_(value) {}

void CYValDlg::exchange(DataExchange& dx) { dx.real(IDC_DATA_POINT_VALUE, value_, 10); }
