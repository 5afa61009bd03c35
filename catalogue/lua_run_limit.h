// A time limit on every call into a Lua state, so that a script caught in an endless
// loop fails like any other script error instead of holding its thread for ever.
//
// A count hook looks at the clock every few thousand interpreted instructions and raises
// the error once the time is up. Code that LuaJIT has compiled never calls hooks, so the
// state also runs under LuaJIT's profiler in line mode: the compiled code then checks
// the profiler's flag at each new line and leaves to the interpreter at every tick; a
// tick that finds the time up makes the count hook fire at the next instruction.
// The profiler serves one state in a process; any further state runs with the compiler
// off, which the count hook alone bounds.
#pragma once

#include <chrono>
#include <string>

struct lua_State;

class LuaRunLimit {
public:
    explicit LuaRunLimit(std::chrono::milliseconds limit) : limit_(limit) {}
    LuaRunLimit(const LuaRunLimit&) = delete;
    LuaRunLimit& operator=(const LuaRunLimit&) = delete;

    // After the standard libraries are open, before the state runs any code; detach
    // before the state is closed.
    void attach(lua_State* state);
    void detach(lua_State* state);

    // lua_pcall with the limit: a call that runs longer fails with the text of message
    // 50240 after the script's position; `overran`, when given, tells it apart from
    // other errors.
    int pcall(lua_State* state, int arguments, int results, bool* overran = nullptr) const;

private:
    std::chrono::milliseconds limit_;
    std::string message_;  // in the language of the time the state was made
};
