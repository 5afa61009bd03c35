#include "wingui/logic/idle_rule.h"

bool message_restarts_idle(unsigned message)
{
    constexpr unsigned mouse_move = 0x200, nc_mouse_move = 0xA0, paint = 0x0F, caret_blink = 0x118;
    return message != mouse_move && message != nc_mouse_move && message != paint && message != caret_blink;
}
