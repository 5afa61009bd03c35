#include "catalogue/lua_run_limit.h"

#include <mutex>

#include <lua.hpp>

#include "core/text/messages.h"

namespace {

using Clock = std::chrono::steady_clock;

// Message 50240: the script ran longer than %1 ms and was stopped.
constexpr unsigned msg_script_overran = 50240;
// Interpreted instructions between two looks at the clock.
constexpr int check_every = 4096;
// Line mode, a tick every 100 ms: compiled code notices the end of its time that late,
// and the profiler's timer wakes seldom while no script runs.
constexpr const char* profiler_mode = "li100";

struct RunningCall {
    Clock::time_point deadline;
    const char* message;
    bool overran = false;
};

// The call running on this thread: hooks and ticks run on the thread that runs the script.
thread_local RunningCall* running = nullptr;

std::mutex profiler_lock;
lua_State* profiled = nullptr;  // the state the process's one profiler serves

void check_time(lua_State* state, lua_Debug*)
{
    RunningCall* const call = running;
    if (!call || Clock::now() < call->deadline)
        return;
    call->overran = true;
    luaL_where(state, 0);  // the script's position
    lua_pushstring(state, call->message);
    lua_concat(state, 2);
    lua_error(state);
}

// The profiler's callback may not raise errors: it makes the count hook fire at the
// next instruction, which does.
void profiler_tick(void*, lua_State* state, int, int)
{
    if (running && Clock::now() >= running->deadline)
        lua_sethook(state, check_time, LUA_MASKCOUNT, 1);
}

}  // namespace

void LuaRunLimit::attach(lua_State* state)
{
    message_ = MessageText(msg_script_overran, static_cast<unsigned>(limit_.count())).to_utf8();
    const std::lock_guard<std::mutex> guard(profiler_lock);
    if (!profiled) {
        profiled = state;
        luaJIT_profile_start(state, profiler_mode, profiler_tick, nullptr);
    } else {
        luaJIT_setmode(state, 0, LUAJIT_MODE_ENGINE | LUAJIT_MODE_OFF);
    }
}

void LuaRunLimit::detach(lua_State* state)
{
    const std::lock_guard<std::mutex> guard(profiler_lock);
    if (profiled != state)
        return;
    luaJIT_profile_stop(state);
    profiled = nullptr;
}

int LuaRunLimit::pcall(lua_State* state, int arguments, int results, bool* overran) const
{
    RunningCall call{Clock::now() + limit_, message_.c_str()};
    RunningCall* const outer = running;
    running = &call;
    lua_sethook(state, check_time, LUA_MASKCOUNT, check_every);
    const int status = lua_pcall(state, arguments, results, 0);
    running = outer;
    // A script may catch the error; only a call that failed by it overran.
    if (overran)
        *overran = status != 0 && call.overran;
    return status;
}
