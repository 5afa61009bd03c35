// The user-interface languages that the Language menu offers, read once at start-up
// from a string resource such as "0x409,English;0x419,Русский" and only read afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LanguageEntry {
    std::uint16_t langid;
    std::wstring name;

    bool operator==(const LanguageEntry&) const = default;
};

using LanguageList = std::vector<LanguageEntry>;

// Pieces separated by ";", each "hex LANGID,name" (a leading "0x" is accepted, the name
// is kept untrimmed); a piece without exactly one "," or with an unreadable number is
// skipped without a message, so a translator's slip costs one entry, not the menu.
LanguageList parse_language_list(std::wstring_view text);

// The process-wide list: the Language menu's entry i belongs to command 702 + i.
const LanguageList& language_list();
void set_language_list(LanguageList list);
