// The few places where the core needs the user interface (a dialog, a message box,
// debugger output, the program's folder) go through this interface. The Windows
// program installs its implementation at start-up; tests install fakes.
#pragma once

#include <optional>
#include <string>

#include "core/text/kwfile.h"

class IUserInterface {
public:
    virtual ~IUserInterface() = default;

    // The modal keyword-list editor: edits `list` in place and returns 1 (IDOK) when
    // the user confirms; any other result leaves the list unchanged. `option` is passed
    // through to the editor; `title` may be empty.
    virtual int edit_keyword_list(KeywordList& list, int option, const std::wstring& title) = 0;

    // The file-open dialog with its preview: the chosen path, or nothing on Cancel.
    virtual std::optional<std::wstring> choose_open_file(const std::wstring& default_extension,
                                                         const std::wstring& filter,
                                                         const std::wstring& initial_folder) = 0;

    virtual void message_box(const std::wstring& text, const std::wstring& caption) = 0;
    // A question with the buttons OK and Cancel (question icon, Cancel the default):
    // true only when the user chooses OK. Unless an implementation asks, nobody
    // answers, which counts as Cancel.
    virtual bool ask_ok_cancel(const std::wstring& /*text*/, const std::wstring& /*caption*/) { return false; }
    virtual void debug_output(const std::wstring& text) = 0;

    // The folder of the program file, without a trailing separator.
    virtual std::wstring program_folder() = 0;
};

// The interface in force. Until a program or test installs one, a headless
// implementation answers: dialogs are cancelled, messages go to the standard error,
// and the program folder is the current directory.
IUserInterface& user_interface();

// Installs `ui` (not owned) and returns the previous one; nullptr restores the headless one.
IUserInterface* set_user_interface(IUserInterface* ui);
