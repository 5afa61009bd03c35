// Exceptions that carry a system error code (a Win32 error or an HRESULT) beside a text
// that includes the system's wording for the code. The wording comes through a source
// that the Windows program installs, so the core stays free of Win32.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// Gives the system's message text for an error code in UTF-8 (Windows ends it with its
// own line break), or the empty text when the system has none.
using SystemMessageSource = std::string (*)(int code);

// Installs the source; nullptr restores the default, which knows no wording.
void set_system_message_source(SystemMessageSource source);

class win32_error : public std::runtime_error {
public:
    // The text is format_message(prefix, code, "%08x").
    win32_error(std::string_view prefix, int code);

    int code() const noexcept { return code_; }

    // prefix + ": " + the system's text for `code` + "(" + the code in `code_format`
    // (printf style, applied to the code as unsigned) + ")".
    static std::string format_message(std::string_view prefix, int code, std::string_view code_format);

private:
    int code_;
};

// A failed COM call; the code is its HRESULT.
class com_error : public win32_error {
public:
    com_error(std::string_view prefix, int hresult) : win32_error(prefix, hresult) {}
};
