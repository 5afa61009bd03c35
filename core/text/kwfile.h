// Keyword files: the text format of spectra, models and the isotope table, a
// sequence of "key:value" lines with eight block keys whose value runs over several
// lines up to an end line, and the one-line form in which a whole list travels
// inside a single text field. In memory a file is a KeywordList; every lookup takes
// the first entry whose key is exactly equal, so unknown keys survive a load and a save.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Entry flags. Files and the one-line form carry no transient entries; the editor
// flags only steer the keyword-list editor.
inline constexpr int KWTransient = 1;  // used in memory, never written
inline constexpr int KWHidden = 2;     // not shown by the keyword-list editor
inline constexpr int KWReadOnly = 4;   // shown but not editable there

struct KWData {
    std::wstring value;
    int flags = 0;

    friend bool operator==(const KWData&, const KWData&) = default;
};

using KeywordList = std::vector<std::pair<std::wstring, KWData>>;

// ---- Files and keyword texts ----

// Reads a keyword file (UTF-8 or UTF-16LE, by its byte-order mark or its bytes; CR LF
// or LF line ends) and appends its entries, all with flags 0. Throws
// std::runtime_error when the file cannot be read; the list is then unchanged.
void kwfile_load(const std::wstring& path, KeywordList& list);

// Parses an in-memory keyword text and appends its entries. Lines end at LF only:
// a carriage return stays part of its line.
void kwfile_load_from_memory(std::wstring_view text, KeywordList& list);

// Writes every entry that is not KWTransient as UTF-8 with a byte-order mark and
// CR LF line ends; the old file is replaced only once the new one is complete.
// Throws std::runtime_error on failure. Every list reads back unchanged (flags
// aside): a block value is written "Key:" LF value "EndKey:" (so a value that ends
// with a line feed gets its end line on a line of its own), and a key or value that
// plain lines cannot carry is written as "$$" and its one-line escape.
void kwfile_save(const std::wstring& path, const KeywordList& list);

// The text kwfile_save writes, with LF line ends; kwfile_load_from_memory reads it
// back to the same entries (flags aside).
std::wstring kwfile_save_to_memory(const KeywordList& list);

// The writer gives a text that plain lines cannot carry as "$$" and its one-line escape.
// Only that exact shape (the mark, then letters, digits and "$xxxx" codes, at least one
// code) counts as escaped: kwfile_decoded gives back the text of that shape and any
// other text as it is.
std::wstring kwfile_decoded(std::wstring text);

// Splits one line at its first ':'. The key loses leading and trailing white space
// and each inner run of white space becomes one blank; the value is the rest of the
// line unchanged. False (both outputs empty) when the line has no ':'.
bool kwfile_split_line(std::wstring_view line, std::wstring& key, std::wstring& value);

// ---- Lookups ----

// Copies the value of the first entry with `key`; false (value untouched) when absent.
bool kwlist_find(const KeywordList& list, std::wstring_view key, std::wstring& value);
bool kwlist_has(const KeywordList& list, std::wstring_view key);

// Reads a leading decimal integer (white space and sign allowed, the rest ignored,
// clamped to the int range). False when absent; throws std::runtime_error
// "Invalid integer format for <key>: value" when the value has no digits.
bool kwlist_get_int(const KeywordList& list, std::wstring_view key, int& out);

// Reads a leading number as wcstod does under the "C" locale. False, out untouched,
// when the key is absent or the value does not begin with a number; never throws.
bool kwlist_get_double(const KeywordList& list, std::wstring_view key, double& out);

// Reads a number at the start of `text` as wcstod does under the "C" locale (leading
// white space, a sign, decimal or "0x" hexadecimal, "inf", "nan"); returns how many
// characters it used, 0 when the text does not begin with a number.
std::size_t read_leading_double(std::wstring_view text, double& out);

// Reads all numbers of the value, separated by any mix of white space and commas,
// into `out`. False when absent; throws std::runtime_error
// "Invalid floating point format for <key>: rest" at the first text that is neither
// a separator nor a number.
bool kwlist_get_doubles(const KeywordList& list, std::wstring_view key, std::vector<double>& out);

// For numbers the program cannot do without: as kwlist_get_double, but false also
// when the value is blank, and a value that does not begin with a number throws the
// floating-point format error with the whole value; a number that is not finite
// (nan, inf, 1e400) throws message 50081 naming the key.
bool kwlist_get_finite_double(const KeywordList& list, std::wstring_view key, double& out);
// As kwlist_get_doubles, and a number that is not finite throws message 50081 with
// the key and the number's position (counted from 1).
bool kwlist_get_finite_doubles(const KeywordList& list, std::wstring_view key, std::vector<double>& out);

// ---- Changes ----

// Replaces the value and the flags of the first entry with `key`, else appends one.
void kwlist_set(KeywordList& list, std::wstring_view key, std::wstring_view value, int flags = 0);
// The setters below write flags 0 (KWTransient for the _transient one).
void kwlist_set_int(KeywordList& list, std::wstring_view key, int n);            // "%d"
void kwlist_set_uint(KeywordList& list, std::wstring_view key, unsigned n);      // "%u"
// With a printf-style format for one double (for example L"%f"), under the "C" locale.
void kwlist_set_double(KeywordList& list, std::wstring_view key, double x, std::wstring_view format);
void kwlist_set_double_transient(KeywordList& list, std::wstring_view key, double x, std::wstring_view format);
// Without a format: the shortest text that reads back as exactly x.
void kwlist_set_double(KeywordList& list, std::wstring_view key, double x);

// Sets the flags of the first entry with `key`; nothing when absent.
void kwlist_set_flags(KeywordList& list, std::wstring_view key, int flags);
// Sets the flags of every entry whose key begins with `prefix`.
void kwlist_set_flags_by_prefix(KeywordList& list, std::wstring_view prefix, int flags);
// Removes every entry with `key` (duplicates included).
void kwlist_remove(KeywordList& list, std::wstring_view key);
// Removes every entry whose key begins with `prefix` (an empty prefix removes all).
void kwlist_remove_by_prefix(KeywordList& list, std::wstring_view prefix);

// ---- One-line form: "flags|key|value|flags|key|value..." ----

// Every entry that is not KWTransient as flags ("%u"), escaped key and escaped value
// joined by '|'; an empty list gives an empty text.
std::wstring kwlist_to_string(const KeywordList& list);
// Appends the entries of a one-line text; an empty text appends nothing.
void kwlist_from_string(std::wstring_view text, KeywordList& list);
// Appends `text` to `out` with every character but an ASCII letter or digit written
// as '$' and its UTF-16 code unit in four lower-case hexadecimal digits.
void kwlist_escape(std::wstring_view text, std::wstring& out);
// Decodes in place: each '$' and the up to four characters after it (fewer at the end
// of the text) become the character whose code unit their leading hexadecimal digits
// give (0 when there are none); the decoded character is not examined again.
void kwlist_unescape(std::wstring& text);
// The text from `pos` to the next '|', moving `pos` past it; without a further '|'
// the rest of the text, moving `pos` to the end.
std::wstring kwlist_next_field(std::wstring_view text, std::size_t& pos);
