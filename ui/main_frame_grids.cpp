#include "ui/main_frame.h"

void CMainFrame::OnEditCommand(UINT id)
{
    not_available_yet(id);
}
