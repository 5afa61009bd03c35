#include "ui/main_frame.h"

void CMainFrame::OnLinkCommand(UINT id)
{
    not_available_yet(id);
}
