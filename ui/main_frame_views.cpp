// The frame's side of a document change until the grids and the fit thread are hosted:
// the plot shows the document again; there is no fit to control.
#include "ui/main_frame.h"

bool CMainFrame::UpdateViews(int, const FitStatus*)
{
    show_document();
    return false;
}

void CMainFrame::UpdateUIState()
{
    if (command_state_refresh_) command_state_refresh_();
}

void CMainFrame::PostFitControl(FitMsgCode) {}
