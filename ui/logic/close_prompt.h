// The question asked before the main window closes (or Windows ends the session), as a
// plain function of the document's state and the user's answers.
#pragma once

#include <functional>

// What the close prompt needs of the document: whether the model changed since it was
// last saved or loaded, and saving it under its current name.
class IDocumentChanges {
public:
    virtual ~IDocumentChanges() = default;
    virtual bool model_changed() const = 0;
    // Saves the model under its current name (asking for one when it has none); false
    // when the save failed or was cancelled. Failures are shown by the save itself.
    virtual bool save_model() = 0;
};

enum class CloseQuestion { save_changes_yes_no_cancel, save_changes_yes_no, close_ok_cancel };
enum class CloseAnswer { yes, no, cancel, ok };
using CloseAsker = std::function<CloseAnswer(CloseQuestion)>;

// True when the window may close (closing) or the session may end (not closing). A
// changed model is offered for saving; "Yes" closes only when the save succeeded, so a
// failed or cancelled save keeps the window and the model. An unchanged model asks
// whether to close only when closing.
bool query_save(IDocumentChanges& document, bool closing, const CloseAsker& ask);

// Before a model is replaced (opened or taken from the examples): a changed model is
// offered for saving with Yes/No/Cancel. True when the replacement may go on: after No,
// or after Yes once the save succeeded; a failed or cancelled save, like Cancel, stops
// it, so the unsaved model stays.
bool may_replace_model(IDocumentChanges& document, const CloseAsker& ask);
