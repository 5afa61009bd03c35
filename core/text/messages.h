// The program's sentences: entries of its message table addressed by number, in the
// user-interface language, formatted with inserts by the rules FormatMessageW applies
// to a message-table entry in maximum-width mode. The same rules run on every
// platform, so the core needs no Win32 and the Windows program shows the same texts.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// One insert: a text for "%n!s!", or a number for "%n!u!", "%n!d!", "%n!x!" and the like.
class MessageInsert {
public:
    MessageInsert(std::wstring_view text) : text_(text) {}
    MessageInsert(const std::wstring& text) : text_(text) {}
    MessageInsert(const wchar_t* text) : text_(text ? text : L"(null)") {}
    template <std::integral T>
    MessageInsert(T number) : text_(std::to_wstring(number)), number_(static_cast<std::int64_t>(number))
    {
    }

    const std::wstring& text() const { return text_; }
    const std::optional<std::int64_t>& number() const { return number_; }

private:
    std::wstring text_;
    std::optional<std::int64_t> number_;
};

// Formats a message definition the way FormatMessageW does with inserts from an argument
// list and maximum width: "%1" to "%99" with an optional "!format!" (default "!s!"; printf
// flags, width and precision with the conversions s, S, c, C, d, i, u, x, X, o), "%0" ends
// the text, "%n" is a hard line break "\r\n", "%r" a carriage return, "%t" a tab, "%" before
// any other character gives that character ("%%", "%.", "%!", "% "). The definition's own
// line ends (CR LF, CR or LF) each become one blank. A malformed definition (a "%" at the
// end, an insert without its argument, an unknown or "*" format) gives the empty text, as
// the failed call does on Windows.
std::wstring format_message_text(std::wstring_view definition, std::span<const MessageInsert> inserts);

// The language of the message texts, a Windows LANGID (0x409 English, 0x419 Russian).
// An entry missing in that language comes in English, else in any language it has.
// The user interface sets it once at start-up; English until then.
void set_message_language(std::uint16_t language);
std::uint16_t message_language();

// One formatted entry of the message table; an id without any entry gives the empty text.
class MessageText {
public:
    template <class... Inserts>
    explicit MessageText(std::uint32_t id, const Inserts&... inserts)
        : text_(format(id, std::array<MessageInsert, sizeof...(Inserts)>{MessageInsert(inserts)...}))
    {
    }
    MessageText(const MessageText&) = delete;
    MessageText& operator=(const MessageText&) = delete;
    MessageText(MessageText&&) = default;
    MessageText& operator=(MessageText&&) = default;

    const wchar_t* c_str() const { return text_.c_str(); }
    const std::wstring& str() const { return text_; }
    // The form in which messages become the texts of thrown exceptions.
    std::string to_utf8() const;

private:
    static std::wstring format(std::uint32_t id, std::span<const MessageInsert> inserts);

    std::wstring text_;
};
