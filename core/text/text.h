// Text inside the program is std::wstring: UTF-16 on Windows (16-bit wchar_t) and
// UTF-32 natively (32-bit wchar_t); the converters below are right for both widths.
// Files are read by their byte-order mark and written as UTF-8 with a mark.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

std::string wide_to_utf8(std::wstring_view text);
std::wstring utf8_to_wide(std::string_view text);  // malformed bytes become U+FFFD
std::u16string wide_to_utf16(std::wstring_view text);
std::wstring utf16_to_wide(std::u16string_view text);

// File names are wide; this gives the platform's path for them.
std::filesystem::path to_path(const std::wstring& name);

// Decodes a whole text file's bytes. A UTF-8 or UTF-16LE byte-order mark decides;
// without one the bytes are UTF-16LE only when they show it (zero bytes in the odd
// places), otherwise UTF-8.
std::wstring decode_text(std::string_view bytes);

// Reads a whole file as text. When it cannot be opened or read, throws
// std::runtime_error naming the file and giving the system's reason ("Can't open file
// <name>: No such file or directory"); the writer's errors read alike.
std::wstring read_text_file(const std::wstring& name);
std::string read_binary_file(const std::wstring& name);

// What follows the last '\', '/' or drive colon of a path: the file's name.
std::wstring file_name_part(const std::wstring& path);

// The text with every line feed preceded by a carriage return, as the C runtime's text
// mode writes it on Windows.
std::wstring with_crlf(std::wstring_view text);

// Writes UTF-8 with a byte-order mark. The text goes to a temporary file beside the
// target, which then replaces the target: a failed save leaves the old file intact.
void write_text_file(const std::wstring& name, std::wstring_view text);
