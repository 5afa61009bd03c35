// The frame's side of a document change until the fit thread is hosted: grids and plot
// show the document again; there is no fit to control.
#include "ui/main_frame.h"

#include "ui/logic/view_refresh.h"

bool CMainFrame::UpdateViews(int flags, const FitStatus*)
{
    const bool results = (flags & ViewsResults) != 0;
    refresh_grids(results, (flags & (ViewsFollowValues | ViewsRebuildGrid)) != 0);
    show_document();
    return results;
}

void CMainFrame::UpdateUIState()
{
    if (command_state_refresh_) command_state_refresh_();
}

void CMainFrame::PostFitControl(FitMsgCode) {}
