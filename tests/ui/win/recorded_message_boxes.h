// Message boxes recorded instead of shown, for as long as the object lives.
#pragma once

#include <string>
#include <vector>

#include "ui/wingui/dialog_hooks.h"

class RecordedMessageBoxes {
public:
    RecordedMessageBoxes()
        : previous_(set_message_box_function([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
              texts.push_back(text);
              return IDOK;
          }))
    {
    }
    ~RecordedMessageBoxes() { set_message_box_function(previous_); }
    std::vector<std::wstring> texts;

private:
    MessageBoxFunction previous_;
};
