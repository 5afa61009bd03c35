#include "ui/main_frame.h"

void CMainFrame::OnReportCommand(UINT id)
{
    not_available_yet(id);
}
