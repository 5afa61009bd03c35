#include "core/text/data_files.h"

#include <filesystem>
#include <system_error>

#include "core/text/text.h"
#include "core/text/ui_seam.h"

namespace {

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring join(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path(folder);
    if (!path.empty() && !is_separator(path.back())) path += std::filesystem::path::preferred_separator;
    return path += name;
}

bool exists(const std::wstring& path)
{
    std::error_code error;
    const bool found = std::filesystem::exists(to_path(path), error);
    if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory &&
        error != std::errc::invalid_argument)
        throw std::filesystem::filesystem_error("exists", to_path(path), error);
    return found;
}

} // namespace

std::wstring find_data_file(std::wstring_view name)
{
    const std::wstring folder = user_interface().program_folder();
    std::wstring candidate = join(folder, name);
    if (exists(candidate)) return candidate;
    // The parent folder's path even when the file is not there: the caller's open then
    // fails and says so, and nothing is read from whatever the working folder is.
    return join(join(folder, L".."), name);
}

std::wstring file_stem(std::wstring_view path)
{
    size_t start = path.size();
    while (start > 0 && !is_separator(path[start - 1])) --start;
    const std::wstring_view name = path.substr(start);
    if (name == L"." || name == L"..") return std::wstring(name);
    const size_t dot = name.rfind(L'.');
    return std::wstring(dot == std::wstring_view::npos || dot == 0 ? name : name.substr(0, dot));
}
