// The program's start-up and its message loop.
#pragma once

#include <functional>

#include "ui/logic/lua_model_walk.h"

class ITopLevelWindow;

// Exit codes. A normal close ends with 1 (the main window posts WM_QUIT with it), as
// do a missing or broken isotope table and an unexpected error; a main window that
// cannot be created is a failure too and must not look like success.
inline constexpr int exit_closed = 1;
inline constexpr int exit_failed = 1;
inline constexpr int exit_no_window = 2;

// What start-up calls that tests replace.
struct StartupHooks {
    LuaModelLoader lua;
    std::function<void()> close_lua;
    // Creates the main window and runs the loop; its result is the exit code.
    std::function<int(int show_command)> run;
};

// The hooks of the real program: Run with CMainFrame, and the Lua models through
// `lua` and `close_lua`.
StartupHooks program_hooks(LuaModelLoader lua, std::function<void()> close_lua);

// Everything between the entry point and the end of the program, in this order: DPI
// awareness, the UI language, the locale, OLE, the common controls, the language list,
// the predefined expressions, the Lua models, the isotope table, then `hooks.run`;
// afterwards OLE and the Lua state are shut down. Returns the exit code.
int start_program(int show_command, const StartupHooks& hooks);

// Fills the process-wide language list from the string resource of the Language menu
// (empty when the resource is missing).
void load_language_list();

// Creates the main window, shows it and pumps messages until WM_QUIT; exit_no_window
// when the window cannot be created.
int Run(int show_command);
int run_window(int show_command, ITopLevelWindow& window);
