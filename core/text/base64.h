// Standard base64 (RFC 4648 alphabet, '=' padding) for embedding binary data in text,
// such as an image in a data address of a web page.
#pragma once

#include <span>
#include <string>

// Appends the base64 text of the whole byte block: padding can only come at its end.
// With `line_breaks`, a line feed follows every 76 characters except at the very end.
void base64_encode(std::wstring& out, std::span<const unsigned char> bytes, bool line_breaks);
