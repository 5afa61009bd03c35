#include "ui/logic/ui_language.h"

std::uint16_t choose_resource_language(std::uint32_t chosen, std::uint16_t system)
{
    const std::uint32_t langid = chosen ? chosen : system;
    constexpr std::uint32_t primary_mask = 0x3FF, russian = 0x19;
    return (langid & primary_mask) == russian ? 0x419 : 0x409;
}
