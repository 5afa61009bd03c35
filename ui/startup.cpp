#include "ui/startup.h"

#include <objbase.h>
#include <ole2.h>
#include <commctrl.h>

#include <clocale>
#include <exception>

#include "core/model/model_expressions.h"
#include "core/spectrum/isotope.h"
#include "core/text/data_files.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "wingui/dialog_hooks.h"
#include "ui/logic/language_list.h"
#include "ui/logic/ui_language.h"
#include "ui/frame/main_frame.h"
#include "ui/report_viewer.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/message_loop.h"
#include "wingui/resources.h"

namespace {

void make_dpi_aware()
{
    load_dpi_functions();
    // Per-monitor awareness: the program scales its own fonts and images, also when the
    // window moves to a monitor of another DPI (WM_DPICHANGED), and the system does not
    // blur it by stretching bitmaps.
    if (dpi_functions().set_thread_dpi_awareness_context)
        dpi_functions().set_thread_dpi_awareness_context(reinterpret_cast<HANDLE>(-3));
}

void choose_ui_language()
{
    const DWORD chosen = read_registry_dword(settings_key, L"Language", 0);
    if (chosen) set_ui_language(static_cast<LANGID>(chosen));
    const WORD language = choose_resource_language(chosen, GetUserDefaultUILanguage());
    set_resource_language(language);
    set_message_language(language);
}

void show_start_message(const std::wstring& text)
{
    show_message_box(nullptr, text, MessageText(50000).str(), MB_OK | MB_ICONINFORMATION);
}

void read_lua_models(const LuaModelLoader& lua)
{
    const std::vector<std::wstring> failures = load_lua_models(find_data_file(L"models"), lua);
    if (failures.empty()) return;
    std::wstring text;
    for (const std::wstring& failure : failures) text += (text.empty() ? L"" : L"\n") + failure;
    show_start_message(text);
}

} // namespace

int start_program(int show_command, const StartupHooks& hooks)
{
    make_dpi_aware();
    choose_ui_language();
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    OleInitialize(nullptr);
    const INITCOMMONCONTROLSEX controls{sizeof controls,
                                        ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    load_language_list();
    delete_expired_reports();

    int exit_code = exit_failed;
    try {
        model_expressions_load();
        read_lua_models(hooks.lua);
        bool isotopes_loaded = false;
        try {
            isotope_table().load(find_data_file(L"isotope.txt"));
            isotopes_loaded = true;
        } catch (const std::exception& error) {
            show_start_message(MessageText(50037, utf8_to_wide(error.what())).str());
        }
        if (isotopes_loaded) exit_code = hooks.run(show_command);
    } catch (const std::exception& error) {
        show_start_message(utf8_to_wide(error.what()));
        exit_code = exit_failed;
    }

    OleUninitialize();
    if (hooks.close_lua) hooks.close_lua();
    return exit_code;
}

void load_language_list() { set_language_list(parse_language_list(load_string_resource(IDS_LANGUAGE_LIST))); }

int run_window(int show_command, ITopLevelWindow& window)
{
    MessageLoop loop;
    const ScopedLoopRegistration registration(loop);
    if (!window.create_window()) return exit_no_window;
    ShowWindow(window.hwnd(), show_command);
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    return loop.run();
}

int Run(int show_command)
{
    CMainFrame frame;
    return run_window(show_command, frame);
}

StartupHooks program_hooks(LuaModelLoader lua, std::function<void()> close_lua)
{
    return {std::move(lua), std::move(close_lua), Run};
}
