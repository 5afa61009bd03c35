#include "ui/logic/close_prompt.h"

bool query_save(IDocumentChanges& document, bool closing, const CloseAsker& ask)
{
    if (document.model_changed()) {
        switch (ask(closing ? CloseQuestion::save_changes_yes_no_cancel : CloseQuestion::save_changes_yes_no)) {
        case CloseAnswer::yes:
            // Windows ending the session is never refused; a window is kept only on close.
            return document.save_model() || !closing;
        case CloseAnswer::no:
            return true;
        default:
            return false;
        }
    }
    if (closing) return ask(CloseQuestion::close_ok_cancel) == CloseAnswer::ok;
    return true;
}

bool may_replace_model(IDocumentChanges& document, const CloseAsker& ask)
{
    if (!document.model_changed())
        return true;
    switch (ask(CloseQuestion::save_changes_yes_no_cancel)) {
    case CloseAnswer::yes: return document.save_model();
    case CloseAnswer::no: return true;
    default: return false;
    }
}
