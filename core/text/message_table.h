// The program's message table as data: generated at build time from the same
// message-compiler file that the Windows resource is compiled from.
#pragma once

#include <cstdint>
#include <span>

struct MessageTableEntry {
    std::uint32_t id;
    std::uint16_t language;  // LANGID: 0x409 English, 0x419 Russian
    const char* text;        // UTF-8, with the line ends the message compiler stores
};

std::span<const MessageTableEntry> message_table_entries();
