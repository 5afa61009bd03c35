// The main window's title: the product name, then the spectrum's and the model's file
// names, each marked "*" while it has unsaved changes, long paths shortened.
#pragma once

#include <string>
#include <string_view>

// The path with its middle folders replaced by "..." when it has more than five parts
// (seven for a path that starts with two separators), every separator written "\".
std::wstring shorten_path(std::wstring_view path);

std::wstring window_title(std::wstring_view product, std::wstring_view spectrum_file, bool spectrum_changed,
                          std::wstring_view model_file, bool model_changed);
