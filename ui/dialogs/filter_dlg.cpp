#include "ui/dialogs/filter_dlg.h"

#include "core/text/messages.h"
#include "ui/resource_ids.h"

CFilterDlg::CFilterDlg(std::uint32_t label_message, double width)
    : ModalDialog(IDD_FILTER), label_message_(label_message), width_(width)
{
}

bool CFilterDlg::on_init()
{
    SetDlgItemTextW(hwnd(), IDC_FILTER_LABEL, MessageText(label_message_).c_str());
    return true;
}

void CFilterDlg::exchange(DataExchange& dx) { dx.real(IDC_FILTER_WIDTH, width_, 1); }
