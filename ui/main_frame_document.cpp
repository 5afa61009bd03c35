#include "ui/main_frame.h"

void CMainFrame::OnDocumentCommand(UINT id)
{
    not_available_yet(id);
}
