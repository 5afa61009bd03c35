#include "core/text/text.h"

#include <cerrno>
#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace {

constexpr char32_t replacement = 0xFFFD;

template <class Out>
void append_code_point(Out& out, char32_t c)
{
    if constexpr (sizeof(typename Out::value_type) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<typename Out::value_type>(0xD800 + (c >> 10)));
            out.push_back(static_cast<typename Out::value_type>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<typename Out::value_type>(c));
}

// Calls f for every code point of a 16- or 32-bit sequence; lone surrogates become U+FFFD.
template <class Ch, class F>
void for_each_code_point(std::basic_string_view<Ch> s, F f)
{
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = static_cast<char32_t>(s[i]);
        if constexpr (sizeof(Ch) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) {
                char32_t d = static_cast<char32_t>(s[i + 1]) & 0xFFFF;
                if (d >= 0xDC00 && d < 0xE000) {
                    f(0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (c >= 0xD800 && c < 0xE000) c = replacement;
        } else if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            c = replacement;
        }
        f(c);
    }
}

std::string utf8_from_wide(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for_each_code_point(text, [&](char32_t c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    });
    return out;
}

} // namespace

std::string wide_to_utf8(std::wstring_view text) { return utf8_from_wide(text); }

std::wstring utf8_to_wide(std::string_view s)
{
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) { c = b; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; min = 0x80; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; min = 0x800; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; min = 0x10000; }
        else { append_code_point(out, replacement); ++i; continue; }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra); ++j) {
            if (i + j >= s.size() || (static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) break;
            c = (c << 6) | (static_cast<unsigned char>(s[i + j]) & 0x3F);
        }
        if (j <= static_cast<size_t>(extra) || c < min || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            append_code_point(out, replacement);
            i += j;
            continue;
        }
        append_code_point(out, c);
        i += j;
    }
    return out;
}

std::u16string wide_to_utf16(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for_each_code_point(text, [&](char32_t c) { append_code_point(out, c); });
    return out;
}

std::wstring utf16_to_wide(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for_each_code_point(text, [&](char32_t c) { append_code_point(out, c); });
    return out;
}

namespace {

// The reason a file operation failed, as the C runtime words the error number; a
// failure that set none says so.
[[noreturn]] void file_error(const char* what, const std::wstring& name, int error)
{
    const std::string reason = error != 0 ? std::generic_category().message(error) : "unknown error";
    throw std::runtime_error(what + wide_to_utf8(name) + ": " + reason);
}

// A C runtime file in binary mode, closed when it goes; an open that fails throws with
// the file's name and the system's reason.
class CFile {
public:
    CFile(const std::filesystem::path& path, const char* mode, const char* what, const std::wstring& name)
    {
        errno = 0;
#ifdef _WIN32
        const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
        file_ = _wfopen(path.c_str(), wide_mode.c_str());
#else
        file_ = std::fopen(path.c_str(), mode);
#endif
        if (!file_) file_error(what, name, errno);
    }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() { close(); }

    std::FILE* get() const { return file_; }
    // 0 when the file closed with everything written (EOF otherwise, errno set).
    int close()
    {
        std::FILE* f = std::exchange(file_, nullptr);
        return f ? std::fclose(f) : 0;
    }

private:
    std::FILE* file_ = nullptr;
};

} // namespace

std::filesystem::path to_path(const std::wstring& name)
{
#ifdef _WIN32
    return std::filesystem::path(name);
#else
    // libstdc++ would convert wide names through the C locale; ours are Unicode.
    const std::string u8 = wide_to_utf8(name);
    return std::filesystem::path(std::u8string(u8.begin(), u8.end()));
#endif
}

std::wstring decode_text(std::string_view bytes)
{
    auto utf16le = [](std::string_view b) {
        std::u16string u;
        u.reserve(b.size() / 2);
        for (size_t i = 0; i + 1 < b.size(); i += 2)
            u.push_back(static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                              (static_cast<unsigned char>(b[i + 1]) << 8)));
        return utf16_to_wide(u);
    };
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return utf8_to_wide(bytes.substr(3));
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return utf16le(bytes.substr(2));
    // No mark: UTF-16LE text of mostly Latin characters has zero high bytes at odd offsets.
    size_t odd_zero = 0, even_zero = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0') ++((i & 1) ? odd_zero : even_zero);
    if (bytes.size() >= 2 && bytes.size() % 2 == 0 && odd_zero > even_zero && odd_zero * 4 >= bytes.size() / 2)
        return utf16le(bytes);
    return utf8_to_wide(bytes);
}

std::string read_binary_file(const std::wstring& name)
{
    CFile in(to_path(name), "rb", "Can't open file ", name);
    std::string bytes;
    char buffer[1 << 16];
    size_t got = 0;
    errno = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) bytes.append(buffer, got);
    if (std::ferror(in.get())) file_error("Can't read file ", name, errno);
    return bytes;
}

std::wstring read_text_file(const std::wstring& name) { return decode_text(read_binary_file(name)); }

std::wstring file_name_part(const std::wstring& path)
{
    const auto cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring with_crlf(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size() + text.size() / 16);
    for (const wchar_t c : text) {
        if (c == L'\n') out += L'\r';
        out += c;
    }
    return out;
}

void write_text_file(const std::wstring& name, std::wstring_view text)
{
    const std::filesystem::path target = to_path(name);
    std::filesystem::path temp = target;
    temp += ".tmp~";
    {
        CFile out(temp, "wb", "Can't create file ", name);
        const std::string bytes = "\xEF\xBB\xBF" + wide_to_utf8(text);
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size() || out.close() != 0) {
            const int error = errno;
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            file_error("Can't write file ", name, error);
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw std::runtime_error("Can't replace file " + wide_to_utf8(name) + ": " + ec.message());
    }
}
