// The texts that components and user expressions travel in on the clipboard, without
// the clipboard: a component as its component line, "Type (isotope): parameters" or
// "Type: parameters"; an expression as "name=text". The whole text is read, however
// long: a distribution's line with a thousand points runs to tens of thousands of
// characters.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

inline constexpr const wchar_t* component_clipboard_format = L"Ostrand.Vexmoor.SubSpectrum";
inline constexpr const wchar_t* expression_clipboard_format = L"Ostrand.Vexmoor.Expression";

struct ComponentClipText {
    std::wstring type_name;
    std::optional<std::wstring> isotope;  // named in parentheses after the type
    std::wstring params;                  // the rest of the text, line breaks included
};

// Nothing when the text is neither form; type and isotope names are at most 127
// characters long, and the parameters are not empty.
std::optional<ComponentClipText> parse_component_clip_text(std::wstring_view text);

std::wstring expression_clip_text(const std::wstring& name, const std::wstring& text);
// Name before the first "=", text after it; without "=" an unnamed expression.
void split_expression_clip_text(std::wstring_view clip, std::wstring& name, std::wstring& text);

// Where a pasted row goes: the insertion row counts components, then expressions.
struct PastePlace {
    unsigned component;   // index for a pasted component
    unsigned expression;  // index for a pasted expression
};
PastePlace paste_place(unsigned row, unsigned component_count, unsigned expression_count);

// A cut copies first and deletes only when the copy reached the clipboard, so a busy
// clipboard never loses the item. True when deleted.
bool cut_after_copy(const std::function<bool()>& copy, const std::function<bool()>& remove);
