#include "core/text/base64.h"

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t line_length = 76;

} // namespace

void base64_encode(std::wstring& out, std::span<const unsigned char> bytes, bool line_breaks)
{
    const std::size_t n = bytes.size();
    const std::size_t chars = (n + 2) / 3 * 4;
    out.reserve(out.size() + chars + (line_breaks ? chars / line_length : 0));
    std::size_t written = 0;
    auto put = [&](wchar_t c) {
        if (line_breaks && written > 0 && written % line_length == 0)
            out += L'\n';
        out += c;
        ++written;
    };
    for (std::size_t i = 0; i < n; i += 3) {
        const std::size_t left = n - i;
        const unsigned group = unsigned(bytes[i]) << 16 | (left > 1 ? unsigned(bytes[i + 1]) << 8 : 0u) |
                               (left > 2 ? unsigned(bytes[i + 2]) : 0u);
        put(alphabet[group >> 18 & 63]);
        put(alphabet[group >> 12 & 63]);
        put(left > 1 ? alphabet[group >> 6 & 63] : L'=');
        put(left > 2 ? alphabet[group & 63] : L'=');
    }
}
