// The program's entry point.
#include <windows.h>

#include "ui/startup.h"
#include "ui/win_user_interface.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command)
{
    WinUserInterface user_interface;
    set_user_interface(&user_interface);
    // The Lua-scripted models are not linked into the program yet.
    const int exit_code = start_program(show_command, program_hooks(unavailable_lua_loader(), {}));
    set_user_interface(nullptr);
    return exit_code;
}
