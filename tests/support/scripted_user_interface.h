// The user interface played by a test, in force for as long as the object lives: the
// keyword-list editor runs `edit` (cancelled when there is none), message boxes,
// questions, open-dialog requests and debugger output are recorded, a question takes
// `ok_answer` (Cancel when it is not set) and the open dialog answers `open_file`.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/text/ui_seam.h"

namespace test_support {

class ScriptedUserInterface final : public IUserInterface {
public:
    struct Box {
        std::wstring text, caption;
    };
    struct Edit {
        int option;
        std::wstring title;
    };
    struct OpenRequest {
        std::wstring default_extension, filter, initial_folder;
    };

    ScriptedUserInterface() : previous_(set_user_interface(this)) {}
    // `edit_list` changes the list and returns 1 to confirm, anything else to cancel.
    explicit ScriptedUserInterface(std::function<int(KeywordList&)> edit_list) : ScriptedUserInterface()
    {
        edit = std::move(edit_list);
    }
    ~ScriptedUserInterface() override { set_user_interface(previous_); }
    ScriptedUserInterface(const ScriptedUserInterface&) = delete;
    ScriptedUserInterface& operator=(const ScriptedUserInterface&) = delete;

    int edit_keyword_list(KeywordList& list, int option, const std::wstring& title) override
    {
        edits.push_back({option, title});
        return edit ? edit(list) : 2;
    }
    std::optional<std::wstring> choose_open_file(const std::wstring& default_extension, const std::wstring& filter,
                                                 const std::wstring& initial_folder) override
    {
        open_requests.push_back({default_extension, filter, initial_folder});
        return open_file;
    }
    void message_box(const std::wstring& text, const std::wstring& caption) override { boxes.push_back({text, caption}); }
    bool ask_ok_cancel(const std::wstring& text, const std::wstring& caption) override
    {
        questions.push_back({text, caption});
        return ok_answer ? *ok_answer : IUserInterface::ask_ok_cancel(text, caption);
    }
    void debug_output(const std::wstring& text) override { debug_lines.push_back(text); }
    std::wstring program_folder() override { return folder; }

    std::function<int(KeywordList&)> edit;
    std::optional<std::wstring> open_file;
    std::optional<bool> ok_answer;
    std::wstring folder = L".";

    std::vector<Edit> edits;
    std::vector<OpenRequest> open_requests;
    std::vector<Box> boxes, questions;
    std::vector<std::wstring> debug_lines;

private:
    IUserInterface* previous_;
};

}  // namespace test_support
