#include "ui/main_frame.h"

void CMainFrame::OnModelFileCommand(UINT id)
{
    not_available_yet(id);
}
