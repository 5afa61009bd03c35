#include "ui/main_frame.h"

void CMainFrame::OnComponentCommand(UINT id)
{
    not_available_yet(id);
}
