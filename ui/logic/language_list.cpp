#include "ui/logic/language_list.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <cwchar>

namespace {

LanguageList process_list;

// "%x" reads the leading hex digits (with an optional "0x") and ignores what follows,
// as the C runtime does; a LANGID is 16 bits.
bool read_langid(const std::wstring& text, std::uint16_t& langid)
{
    unsigned value = 0;
    if (std::swscanf(text.c_str(), L"%x", &value) != 1) return false;
    langid = static_cast<std::uint16_t>(value);
    return true;
}

} // namespace

LanguageList parse_language_list(std::wstring_view text)
{
    std::vector<std::wstring> pieces;
    boost::split(pieces, text, boost::is_any_of(L";"));
    LanguageList list;
    for (const std::wstring& piece : pieces) {
        std::vector<std::wstring> parts;
        boost::split(parts, piece, boost::is_any_of(L","));
        LanguageEntry entry;
        if (parts.size() == 2 && read_langid(parts[0], entry.langid)) {
            entry.name = parts[1];
            list.push_back(std::move(entry));
        }
    }
    return list;
}

const LanguageList& language_list() { return process_list; }

void set_language_list(LanguageList list) { process_list = std::move(list); }
