// When the message loop owes its idle handlers a pass: after each burst of messages,
// where mouse moves, paints and the caret's blink timer (0x118) do not count, so that
// the command states are not recomputed while the mouse merely travels over a window.
#pragma once

// True when retrieving `message` should run the idle handlers again once the queue is
// empty.
bool message_restarts_idle(unsigned message);
