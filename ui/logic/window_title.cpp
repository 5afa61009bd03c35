#include "ui/logic/window_title.h"

#include <vector>

std::wstring shorten_path(std::wstring_view path)
{
    std::vector<std::wstring_view> parts;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= path.size(); ++i)
        if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
            parts.push_back(path.substr(begin, i - begin));
            begin = i + 1;
        }
    const std::size_t n = parts.size();
    if (n <= 5)
        return std::wstring(path);
    std::wstring out;
    if (parts[0].empty() && parts[1].empty()) {
        if (n <= 7)
            return std::wstring(path);
        out = L"\\\\" + std::wstring(parts[2]) + L"\\" + std::wstring(parts[3]);
    } else {
        out = std::wstring(parts[0]) + L"\\" + std::wstring(parts[1]) + L"\\" + std::wstring(parts[2]);
    }
    return out + L"\\...\\" + std::wstring(parts[n - 2]) + L"\\" + std::wstring(parts[n - 1]);
}

std::wstring window_title(std::wstring_view product, std::wstring_view spectrum_file, bool spectrum_changed,
                          std::wstring_view model_file, bool model_changed)
{
    std::wstring title(product);
    if (spectrum_file.empty() && model_file.empty())
        return title;
    title += L" - ";
    if (!spectrum_file.empty()) {
        if (spectrum_changed)
            title += L'*';
        title += shorten_path(spectrum_file);
    }
    if (!model_file.empty()) {
        if (!spectrum_file.empty())
            title += L", ";
        if (model_changed)
            title += L'*';
        title += shorten_path(model_file);
    }
    return title;
}
