// The keyword-file grammar: reading lines into a KeywordList and writing a list so
// that it reads back to the same entries.
//
// The reader follows the format's rules (block keys, end lines, the one-line block
// value ended by the next key line), so every file in use reads as it always did.
// Some values cannot be written in those rules alone: a line feed under an ordinary
// key, white space at either end of an ordinary value, a block value that starts with
// an empty line, keys with ':' or irregular white space, characters that UTF-8 cannot
// carry. The writer gives such a key or value as "$$" followed by its one-line
// escape; the reader decodes exactly that shape and takes every other text literally.
#include "core/text/kwfile.h"

#include <string>

#include "core/text/kwfile_chars.h"
#include "core/text/text.h"

namespace {

struct BlockKey {
    std::wstring_view key;
    std::wstring_view end;
};

constexpr BlockKey block_keys[] = {
    {L"Comment", L"EndComment"},
    {L"Data", L"EndData"},
    {L"Spectrum", L"EndSpectrum"},
    {L"VelocitySpectrum", L"EndVelocitySpectrum"},
    {L"VelocitySpectrumStdDev", L"EndVelocitySpectrumStdDev"},
    {L"StdDevSpectrum", L"EndStdDevSpectrum"},
    {L"DataX", L"EndDataX"},
    {L"SpectrumX", L"EndSpectrumX"},
};

const BlockKey* find_block(std::wstring_view key)
{
    for (const BlockKey& b : block_keys)
        if (b.key == key) return &b;
    return nullptr;
}

constexpr std::wstring_view escape_mark = L"$$";

bool is_lower_hex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

// Only the shape the writer produces counts as escaped: the mark, then letters, digits
// and "$xxxx" codes, at least one code (an escaped text always has one).
bool is_escaped(std::wstring_view s)
{
    if (!s.starts_with(escape_mark)) return false;
    bool has_code = false;
    for (size_t i = escape_mark.size(); i < s.size(); ++i) {
        if (kw_is_alnum(s[i])) continue;
        if (s[i] != L'$' || s.size() - i < 5) return false;
        for (size_t k = 1; k <= 4; ++k)
            if (!is_lower_hex(s[i + k])) return false;
        i += 4;
        has_code = true;
    }
    return has_code;
}

std::wstring decoded(std::wstring s)
{
    if (is_escaped(s)) {
        s.erase(0, escape_mark.size());
        kwlist_unescape(s);
    }
    return s;
}

std::wstring escaped(std::wstring_view s)
{
    std::wstring out(escape_mark);
    kwlist_escape(s, out);
    return out;
}

// A line (without its line feed) that ends the block whose end key is `end`.
bool ends_block(std::wstring_view line, std::wstring_view end)
{
    return line.size() > end.size() && line.back() == L':' &&
           line.substr(line.size() - 1 - end.size(), end.size()) == end;
}

// Hands out the lines of a text, each with its line feed when it has one.
class LineSource {
public:
    explicit LineSource(std::wstring_view text) : text_(text) {}

    bool next(std::wstring_view& line)
    {
        if (pos_ >= text_.size()) return false;
        const size_t lf = text_.find(L'\n', pos_);
        const size_t end = lf == std::wstring_view::npos ? text_.size() : lf + 1;
        line = text_.substr(pos_, end - pos_);
        pos_ = end;
        return true;
    }

private:
    std::wstring_view text_;
    size_t pos_ = 0;
};

void parse(std::wstring_view text, KeywordList& list)
{
    LineSource source(text);
    std::wstring_view line;
    std::wstring key, value;
    bool pending = false;  // a block's second line that is to be read as a key line
    while (pending || source.next(line)) {
        if (!pending && !kwfile_split_line(line, key, value)) continue;
        pending = false;
        const BlockKey* block = find_block(key);
        if (!block) {
            list.emplace_back(decoded(std::move(key)), KWData{decoded(std::wstring(kw_trim(value)))});
            continue;
        }
        // A key line with text after the ':' may hold the whole value; then the next
        // key line ends the block. The line feed counts as text here.
        const bool key_line_has_text = !value.empty();
        std::wstring block_value;
        std::wstring_view current = value;
        for (int n = 1;; ++n) {
            if (current.ends_with(L'\n')) current.remove_suffix(1);
            const bool ended = ends_block(current, block->end);
            if (ended) {
                current.remove_suffix(block->end.size() + 1);
            } else if (n == 2 && key_line_has_text && kwfile_split_line(current, key, value) &&
                       key != block->end) {
                pending = true;
                break;
            }
            // Leading empty lines vanish; the part of the end line before the end key
            // is the block's last line.
            if (!block_value.empty()) block_value += L'\n';
            block_value += current;
            if (ended || !source.next(line)) break;
            current = line;
        }
        list.emplace_back(std::wstring(block->key), KWData{decoded(std::move(block_value))});
    }
}

// ---- Writing ----

// Whether UTF-8 carries the text unchanged (no lone surrogates, no invalid code points).
bool utf8_safe(std::wstring_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const auto u = static_cast<unsigned long>(s[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < s.size()) {
                const auto v = static_cast<unsigned long>(s[i + 1]);
                if (v >= 0xDC00 && v < 0xE000) {
                    ++i;
                    continue;
                }
            }
            if (u >= 0xD800 && u < 0xE000) return false;
        } else if (u > 0x10FFFF || (u >= 0xD800 && u < 0xE000)) {
            return false;
        }
    }
    return true;
}

bool readable_key(std::wstring_view k)
{
    if (k.starts_with(escape_mark) || !utf8_safe(k)) return false;
    std::wstring line(k), key, value;
    line += L':';
    return kwfile_split_line(line, key, value) && key == k;
}

bool readable_plain_value(std::wstring_view v)
{
    return !v.starts_with(escape_mark) && utf8_safe(v) && v.find(L'\n') == std::wstring_view::npos &&
           kw_trim(v) == v;
}

std::wstring_view first_line(std::wstring_view s) { return s.substr(0, s.find(L'\n')); }

// The one-line block form "Key:value" reads back when the value cannot end the block
// itself and the following line starts a new entry rather than continuing the block.
// An empty value is never written this way: after another one-line block its key line
// would not stop at the next key line.
bool one_line_block_fits(const BlockKey& b, std::wstring_view v, const std::wstring* next)
{
    if (v.empty() || v.find(L'\n') != std::wstring_view::npos || ends_block(v, b.end)) return false;
    if (!next) return true;
    const std::wstring_view line = first_line(*next);
    std::wstring key, value;
    return !ends_block(line, b.end) && !(kwfile_split_line(line, key, value) && key == b.end);
}

// The form "Key:" LF lines "EndKey:" reads back when the value does not start with an
// empty line (it would vanish) and no line but the last ends like the end line.
bool block_lines_fit(const BlockKey& b, std::wstring_view v)
{
    if (v.starts_with(L'\n')) return false;
    for (size_t lf; (lf = v.find(L'\n')) != std::wstring_view::npos; v.remove_prefix(lf + 1))
        if (ends_block(v.substr(0, lf), b.end)) return false;
    return true;
}

std::wstring block_entry(const BlockKey& b, std::wstring_view v, const std::wstring* next)
{
    const std::wstring content =
        v.starts_with(escape_mark) || !utf8_safe(v) || !block_lines_fit(b, v) ? escaped(v) : std::wstring(v);
    std::wstring out(b.key);
    out += L':';
    if (one_line_block_fits(b, content, next)) {
        out += content;
    } else {
        out += L'\n';
        // A second line with a ':' would be taken for the next key line; an empty one
        // vanishes.
        if (first_line(content).find(L':') != std::wstring_view::npos) out += L'\n';
        // The text before the end key is the block's last line, so the end key follows
        // the value directly: a value ending in a line feed gets the end line of its
        // own, and a read-and-saved block never gains an empty line.
        out += content;
        out += b.end;
        out += L':';
    }
    out += L'\n';
    return out;
}

std::wstring entry_text(const std::wstring& key, const std::wstring& value, const std::wstring* next)
{
    if (const BlockKey* b = find_block(key)) return block_entry(*b, value, next);
    std::wstring out = readable_key(key) ? key : escaped(key);
    out += L':';
    out += readable_plain_value(value) ? value : escaped(value);
    out += L'\n';
    return out;
}

} // namespace

std::wstring kwfile_decoded(std::wstring text)
{
    return decoded(std::move(text));
}

bool kwfile_split_line(std::wstring_view line, std::wstring& key, std::wstring& value)
{
    key.clear();
    value.clear();
    const size_t colon = line.find(L':');
    if (colon == std::wstring_view::npos) return false;
    bool gap = false;
    for (wchar_t c : line.substr(0, colon)) {
        if (kw_is_space(c)) {
            gap = !key.empty();
            continue;
        }
        if (gap) key += L' ';
        gap = false;
        key += c;
    }
    value.assign(line.substr(colon + 1));
    return true;
}

void kwfile_load_from_memory(std::wstring_view text, KeywordList& list) { parse(text, list); }

void kwfile_load(const std::wstring& path, KeywordList& list)
{
    std::wstring text = read_text_file(path);
    // Text-mode reading: CR LF ends a line like LF; any other CR is kept.
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) text[out++] = text[i];
    text.resize(out);
    KeywordList read;
    parse(text, read);
    list.insert(list.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
}

std::wstring kwfile_save_to_memory(const KeywordList& list)
{
    // How a block is written depends on the line that follows it, so entries are
    // formed from the last to the first.
    std::vector<std::wstring> entries;
    entries.reserve(list.size());
    const std::wstring* next = nullptr;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->second.flags & KWTransient) continue;
        entries.push_back(entry_text(it->first, it->second.value, next));
        next = &entries.back();
    }
    std::wstring text;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) text += *it;
    return text;
}

void kwfile_save(const std::wstring& path, const KeywordList& list)
{
    const std::wstring text = kwfile_save_to_memory(list);
    std::wstring crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (wchar_t c : text) {
        if (c == L'\n') crlf += L'\r';
        crlf += c;
    }
    write_text_file(path, crlf);
}
