// Which of the program's resource languages to load. The menus, dialogs and string
// tables exist in English (0x409) and Russian (0x419); resources are looked up by this
// LANGID explicitly, because Wine and older Windows do not all honour the thread's
// preferred UI languages when loading resources.
#pragma once

#include <cstdint>

// `chosen` is the registry's "Language" value (0 for the Windows language), `system` the
// user's Windows UI language. Russian in any sublanguage gives 0x419, anything else 0x409.
std::uint16_t choose_resource_language(std::uint32_t chosen, std::uint16_t system);
