// The program's entry point.
#include <windows.h>

#include "catalogue/lua_models.h"
#include "ui/startup.h"
#include "ui/win_user_interface.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command)
{
    WinUserInterface user_interface;
    set_user_interface(&user_interface);
    // The support scripts share the models folder with the model scripts.
    const LuaModelLoader lua{luamodel_init, [](const std::wstring& path) {
                                 if (!is_lua_support_script(path))
                                     luamodel_load(path);
                             }};
    const int exit_code = start_program(show_command, program_hooks(lua, luamodel_close));
    set_user_interface(nullptr);
    return exit_code;
}
