#include "ui/logic/model_file_name.h"

std::optional<std::wstring> ModelFileName::quick_save_target() const
{
    if (name_.empty() || example_)
        return std::nullopt;
    return name_;
}

std::wstring ModelFileName::proposed_name(const std::wstring& spectrum_name) const
{
    if (!name_.empty())
        return name_;
    const std::size_t slash = spectrum_name.find_last_of(L"\\/");
    std::wstring stem = slash == std::wstring::npos ? spectrum_name : spectrum_name.substr(slash + 1);
    if (const std::size_t dot = stem.rfind(L'.'); dot != std::wstring::npos)
        stem.erase(dot);
    return stem;
}

std::wstring parent_folder(const std::wstring& path)
{
    std::size_t end = path.find_last_of(L"\\/");
    if (end == std::wstring::npos)
        return std::wstring();
    while (end > 0 && (path[end - 1] == L'\\' || path[end - 1] == L'/'))
        --end;
    // A drive's root keeps its separator: "C:" alone is the drive's working folder.
    if (end == 2 && path[1] == L':')
        ++end;
    return path.substr(0, end);
}
