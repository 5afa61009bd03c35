// File dialogs recorded instead of shown, for as long as the object lives: each request
// is kept, and each answers with the next of the chosen paths, or Cancel when none is left.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/wingui/dialog_hooks.h"

class RecordedFileDialogs {
public:
    RecordedFileDialogs()
        : previous_(set_file_dialog_function([this](const FileDialogRequest& request) -> std::optional<std::wstring> {
              requests.push_back(request);
              if (chosen.empty()) return std::nullopt;
              std::wstring path = chosen.front();
              chosen.pop_front();
              return path;
          }))
    {
    }
    ~RecordedFileDialogs() { set_file_dialog_function(previous_); }
    RecordedFileDialogs(const RecordedFileDialogs&) = delete;
    RecordedFileDialogs& operator=(const RecordedFileDialogs&) = delete;

    std::vector<FileDialogRequest> requests;
    std::deque<std::wstring> chosen;

private:
    FileDialogFunction previous_;
};
