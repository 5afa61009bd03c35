// The program's data files ("isotope.txt", "model_expressions.txt", the "models" folder,
// the Lua support scripts) live beside the program or, in a build tree, one folder up.
#pragma once

#include <string>
#include <string_view>

// The program's folder joined with `name` when that file or folder exists, else the
// folder, "..", and `name` (whether or not that exists, so that the caller's own open
// fails and reports a missing file). Throws std::filesystem::filesystem_error
// ("exists") only for a file-system error other than "not found" or "invalid name".
std::wstring find_data_file(std::wstring_view name);

// The file name of `path` without its folder ("\" or "/") and without its last extension;
// "." and ".." stay as they are, and a name that starts with its only dot keeps it.
std::wstring file_stem(std::wstring_view path);
