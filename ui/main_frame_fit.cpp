#include "ui/main_frame.h"

void CMainFrame::OnFitControl(UINT id)
{
    not_available_yet(id);
}
