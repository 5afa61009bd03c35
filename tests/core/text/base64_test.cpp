// base64 against the RFC 4648 test vectors, line breaks every 76 characters, and a long
// block whose padding can only be at its end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/base64.h"

namespace {

std::wstring encode(const std::string& bytes, bool breaks)
{
    std::wstring out = L">";
    base64_encode(out, {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()}, breaks);
    return out.substr(1);
}

TEST(Base64, ReferenceVectors)
{
    const std::pair<const char*, const wchar_t*> vectors[] = {
        {"", L""},         {"f", L"Zg=="},         {"fo", L"Zm8="},         {"foo", L"Zm9v"},
        {"foob", L"Zm9vYg=="}, {"fooba", L"Zm9vYmE="}, {"foobar", L"Zm9vYmFy"}, {"\xFF\xFE\x00", L"//4A"},
    };
    for (const auto& [bytes, text] : vectors)
        EXPECT_EQ(encode(std::string(bytes, std::char_traits<char>::length(bytes) + (bytes[0] == '\xFF')), true),
                  text);
}

TEST(Base64, LinesOf76AndPaddingOnlyAtTheEnd)
{
    std::string bytes(3074, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    const std::wstring text = encode(bytes, true);
    std::wstring joined;
    std::size_t line = 0;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            EXPECT_EQ(line, 76u);
            line = 0;
        } else {
            joined += c;
            ++line;
        }
    }
    EXPECT_GT(line, 0u);
    EXPECT_LE(line, 76u);
    EXPECT_EQ(joined, encode(bytes, false));
    EXPECT_EQ(joined.size(), (3074u + 2) / 3 * 4);
    EXPECT_EQ(joined.find(L'='), joined.size() - 1);  // 3074 = 3·1024 + 2: one '=' at the very end
    EXPECT_EQ(text.back(), L'=');
}

}  // namespace
