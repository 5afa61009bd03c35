// Message boxes and file dialogs recorded instead of shown, for as long as the object
// lives: each box takes the next queued answer (`default_answer`, IDOK unless changed,
// when none is left), each file dialog the next queued path (Cancel when none is left).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "wingui/dialog_hooks.h"

class RecordedDialogs {
public:
    struct Box {
        std::wstring text, caption;
        UINT flags;
    };

    RecordedDialogs()
        : previous_box_(set_message_box_function([this](HWND, const std::wstring& text, const std::wstring& caption,
                                                        UINT flags) {
              shown.push_back({text, caption, flags});
              if (answers.empty()) return default_answer;
              const int answer = answers.front();
              answers.pop_front();
              return answer;
          })),
          previous_dialog_(set_file_dialog_function([this](const FileDialogRequest& request) -> std::optional<std::wstring> {
              requests.push_back(request);
              if (chosen_files.empty()) return std::nullopt;
              std::wstring path = chosen_files.front();
              chosen_files.pop_front();
              return path;
          }))
    {
    }
    ~RecordedDialogs()
    {
        set_message_box_function(previous_box_);
        set_file_dialog_function(previous_dialog_);
    }
    RecordedDialogs(const RecordedDialogs&) = delete;
    RecordedDialogs& operator=(const RecordedDialogs&) = delete;

    // The texts of the boxes shown, in order.
    std::vector<std::wstring> texts() const
    {
        std::vector<std::wstring> out;
        for (const Box& box : shown) out.push_back(box.text);
        return out;
    }

    std::vector<Box> shown;
    std::deque<int> answers;
    int default_answer = IDOK;
    std::vector<FileDialogRequest> requests;
    std::deque<std::wstring> chosen_files;

private:
    MessageBoxFunction previous_box_;
    FileDialogFunction previous_dialog_;
};
