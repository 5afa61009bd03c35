#include "core/text/messages.h"

#include <atomic>
#include <cstdio>
#include <vector>

#include "core/text/message_table.h"
#include "core/text/text.h"

namespace {

constexpr std::uint16_t english = 0x409;

std::atomic<std::uint16_t> current_language{english};

// The "!format!" of one insert, printf style.
struct InsertFormat {
    std::string flags;
    std::optional<int> width;
    std::optional<int> precision;
    char conversion = 's';
};

// Reads up to four digits; Windows refuses results beyond 64K bytes anyway.
std::optional<int> read_count(std::wstring_view spec, size_t& i)
{
    size_t start = i;
    int value = 0;
    while (i < spec.size() && spec[i] >= L'0' && spec[i] <= L'9') {
        if (i - start == 4) return std::nullopt;
        value = value * 10 + (spec[i] - L'0');
        ++i;
    }
    return value;
}

std::optional<InsertFormat> parse_insert_format(std::wstring_view spec)
{
    InsertFormat format;
    size_t i = 0;
    while (i < spec.size() && std::wstring_view(L"-+ #0").find(spec[i]) != std::wstring_view::npos)
        format.flags.push_back(static_cast<char>(spec[i++]));
    if (i < spec.size() && spec[i] >= L'1' && spec[i] <= L'9') {
        format.width = read_count(spec, i);
        if (!format.width) return std::nullopt;
    }
    if (i < spec.size() && spec[i] == L'.') {
        format.precision = read_count(spec, ++i);
        if (!format.precision) return std::nullopt;
    }
    if (i < spec.size() && (spec[i] == L'l' || spec[i] == L'h' || spec[i] == L'w')) ++i;
    if (i + 1 != spec.size() || std::wstring_view(L"sScCdiuxXo").find(spec[i]) == std::wstring_view::npos)
        return std::nullopt;
    format.conversion = static_cast<char>(spec[i]);
    return format;
}

std::wstring pad(std::wstring text, const InsertFormat& format)
{
    const size_t width = static_cast<size_t>(format.width.value_or(0));
    if (text.size() < width) {
        if (format.flags.find('-') != std::string::npos)
            text.append(width - text.size(), L' ');
        else
            text.insert(0, width - text.size(), L' ');
    }
    return text;
}

std::wstring format_insert(const InsertFormat& format, const MessageInsert& insert)
{
    const char c = format.conversion;
    if (!insert.number() || c == 's' || c == 'S') {
        std::wstring text = insert.text();
        if (format.precision && text.size() > static_cast<size_t>(*format.precision))
            text.resize(static_cast<size_t>(*format.precision));
        return pad(std::move(text), format);
    }
    // Windows reads a 32-bit argument for every integer conversion.
    const std::int64_t number = *insert.number();
    if (c == 'c' || c == 'C') return pad(std::wstring(1, static_cast<wchar_t>(number & 0xFFFF)), format);

    std::string spec = "%" + format.flags;
    if (format.width) spec += std::to_string(*format.width);
    if (format.precision) spec.append(".").append(std::to_string(*format.precision));
    spec += c;
    std::vector<char> buffer(static_cast<size_t>(format.width.value_or(0) + format.precision.value_or(0)) + 32);
    if (c == 'd' || c == 'i')
        std::snprintf(buffer.data(), buffer.size(), spec.c_str(), static_cast<std::int32_t>(number));
    else
        std::snprintf(buffer.data(), buffer.size(), spec.c_str(), static_cast<std::uint32_t>(number));
    return utf8_to_wide(buffer.data());
}

const MessageTableEntry* find_entry(std::uint32_t id, std::uint16_t language)
{
    const MessageTableEntry* english_entry = nullptr;
    const MessageTableEntry* any_entry = nullptr;
    for (const MessageTableEntry& entry : message_table_entries()) {
        if (entry.id != id) continue;
        if (entry.language == language) return &entry;
        if (entry.language == english) english_entry = &entry;
        if (!any_entry) any_entry = &entry;
    }
    return english_entry ? english_entry : any_entry;
}

} // namespace

std::wstring format_message_text(std::wstring_view definition, std::span<const MessageInsert> inserts)
{
    std::wstring out;
    size_t i = 0;
    while (i < definition.size()) {
        const wchar_t c = definition[i++];
        if (c == L'\r' || c == L'\n') {
            // Maximum width: the definition's own line ends are no line breaks.
            if (c == L'\r' && i < definition.size() && definition[i] == L'\n') ++i;
            out.push_back(L' ');
            continue;
        }
        if (c != L'%') {
            out.push_back(c);
            continue;
        }
        if (i == definition.size()) return {};
        const wchar_t e = definition[i++];
        if (e >= L'1' && e <= L'9') {
            size_t number = static_cast<size_t>(e - L'0');
            if (i < definition.size() && definition[i] >= L'0' && definition[i] <= L'9')
                number = number * 10 + static_cast<size_t>(definition[i++] - L'0');
            std::wstring_view spec = L"s";
            if (i < definition.size() && definition[i] == L'!') {
                const size_t close = definition.find(L'!', i + 1);
                if (close == std::wstring_view::npos) return {};
                spec = definition.substr(i + 1, close - i - 1);
                i = close + 1;
            }
            const std::optional<InsertFormat> format = parse_insert_format(spec);
            if (!format || number > inserts.size()) return {};
            out += format_insert(*format, inserts[number - 1]);
        } else if (e == L'0') {
            break;
        } else if (e == L'n') {
            out += L"\r\n";
        } else if (e == L'r') {
            out.push_back(L'\r');
        } else if (e == L't') {
            out.push_back(L'\t');
        } else {
            out.push_back(e);
        }
    }
    return out;
}

void set_message_language(std::uint16_t language) { current_language.store(language); }

std::uint16_t message_language() { return current_language.load(); }

std::wstring MessageText::format(std::uint32_t id, std::span<const MessageInsert> inserts)
{
    const MessageTableEntry* entry = find_entry(id, message_language());
    return entry ? format_message_text(utf8_to_wide(entry->text), inserts) : std::wstring();
}

std::string MessageText::to_utf8() const { return wide_to_utf8(text_); }
