// The small rules of the user interface: when the idle handlers run again, which
// resource language a LANGID selects.
#include <gtest/gtest.h>

#include "wingui/logic/idle_rule.h"
#include "ui/logic/ui_language.h"

TEST(IdleRule, MouseMovesPaintsAndCaretBlinksDoNotStartABurst)
{
    for (unsigned quiet : {0x200u, 0xA0u, 0x0Fu, 0x118u}) EXPECT_FALSE(message_restarts_idle(quiet)) << quiet;
    // WM_KEYDOWN, WM_TIMER, WM_COMMAND, WM_LBUTTONDOWN, WM_APP + 1, WM_NULL
    for (unsigned busy : {0x100u, 0x113u, 0x111u, 0x201u, 0x8001u, 0u}) EXPECT_TRUE(message_restarts_idle(busy)) << busy;
}

TEST(ResourceLanguage, TheChosenLanguageWinsOverTheSystemsAndRussianInAnyVariant)
{
    struct Case {
        unsigned chosen;
        unsigned short system, expected;
    };
    const Case cases[] = {
        {0, 0x409, 0x409}, {0, 0x419, 0x419}, {0, 0x819, 0x419},      // Windows language: Russian (Moldova) too
        {0x419, 0x409, 0x419}, {0x409, 0x419, 0x409}, {0, 0x407, 0x409}, // German system: English resources
        {0x12345, 0x419, 0x409},                                        // an unknown value is not Russian
    };
    for (const Case& c : cases) EXPECT_EQ(choose_resource_language(c.chosen, c.system), c.expected) << c.chosen << " " << c.system;
}
