// The Windows program's side of the core's user-interface seam: message boxes through
// the replaceable message-box function, debugger output, the program's folder.
#pragma once

#include "core/text/ui_seam.h"

class WinUserInterface final : public IUserInterface {
public:
    // The "Properties" dialog, owned by the active window.
    int edit_keyword_list(KeywordList& list, int option, const std::wstring& title) override;
    std::optional<std::wstring> choose_open_file(const std::wstring& default_extension, const std::wstring& filter,
                                                 const std::wstring& initial_folder) override;
    void message_box(const std::wstring& text, const std::wstring& caption) override;
    // OK and Cancel with the question icon, Cancel the default.
    bool ask_ok_cancel(const std::wstring& text, const std::wstring& caption) override;
    void debug_output(const std::wstring& text) override;
    std::wstring program_folder() override;
};
