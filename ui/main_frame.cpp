#include "ui/main_frame.h"

#include <commctrl.h>

#include <algorithm>

#include "core/text/messages.h"
#include "ui/about_dlg.h"
#include "ui/wingui/dialog_hooks.h"
#include "ui/logic/language_list.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "ui/wingui/resources.h"

namespace {

// The popup of `menu` (at any depth) that holds the item `id`.
HMENU popup_holding(HMENU menu, UINT id)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const HMENU sub = GetSubMenu(menu, i);
        if (!sub) continue;
        if (const HMENU deeper = popup_holding(sub, id)) return deeper;
        // MF_BYCOMMAND searches nested popups too, which the line above has ruled out.
        if (GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) return sub;
    }
    return nullptr;
}

} // namespace

CMainFrame::CMainFrame()
{
    MessageMap& map = message_map();
    map.on_message(WM_CREATE, [this](WPARAM, LPARAM) { return OnCreate(); });
    map.on_message(WM_DESTROY, [this](WPARAM, LPARAM) { return OnDestroy(); });
    map.on_message(WM_SIZE, [this](WPARAM, LPARAM size) { return OnSize(size); });
    map.on_message(WM_NCCREATE, [this](WPARAM wparam, LPARAM lparam) {
        // Per-monitor awareness leaves the caption and menu bar unscaled unless asked.
        if (dpi_functions().enable_non_client_dpi_scaling) dpi_functions().enable_non_client_dpi_scaling(hwnd());
        return DefWindowProcW(hwnd(), WM_NCCREATE, wparam, lparam);
    });
    map.on_command(ID_APP_EXIT, [this](UINT, UINT, HWND) { PostMessageW(hwnd(), WM_CLOSE, 0, 0); });
    map.on_command(ID_APP_ABOUT, [this](UINT, UINT, HWND) { OnAbout(); });
    map.on_command_range(ID_LANGUAGE_WINDOWS, ID_LANGUAGE_LAST, [this](UINT id, UINT, HWND) { OnLanguage(id); });
    // The command line is split and let go: the program opens no file given there.
    map.on_message(WM_APP + 1, [](WPARAM, LPARAM) {
        int count = 0;
        if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) LocalFree(arguments);
        return LRESULT{0};
    });
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::create_window()
{
    accelerators_.reset(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    icon_.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                              0, 0, LR_DEFAULTSIZE)));
    WindowClassStyle style;
    style.background = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    style.icon = icon_.get();
    WindowPlacement placement;
    placement.title = load_string_resource(IDR_MAINFRAME);
    placement.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    placement.ex_style = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    placement.menu_or_id = load_menu_resource(IDR_MAINFRAME);
    if (create(class_name, style, placement)) return true;
    if (placement.menu_or_id) DestroyMenu(placement.menu_or_id);
    return false;
}

LRESULT CMainFrame::OnCreate()
{
    if (MessageLoop* loop = current_message_loop()) {
        loop->add_message_filter(this);
        loop->add_idle_handler(this);
    }
    LOGFONTW icon_font{};
    if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof icon_font, &icon_font, 0))
        font_.reset(create_dpi_font(hwnd(), nullptr, icon_font.lfFaceName, 100, false, false));

    status_bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, load_string_resource(IDS_READY).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP, 0, 0, 0,
                                  0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    layout_status_bar();
    build_language_menu();
    return 0;
}

LRESULT CMainFrame::OnDestroy()
{
    if (MessageLoop* loop = current_message_loop()) {
        loop->remove_message_filter(this);
        loop->remove_idle_handler(this);
    }
    // The exit code of a normal close.
    PostQuitMessage(1);
    return 0;
}

LRESULT CMainFrame::OnSize(LPARAM)
{
    if (status_bar_) SendMessageW(status_bar_, WM_SIZE, 0, 0);
    layout_status_bar();
    return 0;
}

void CMainFrame::layout_status_bar()
{
    if (!status_bar_) return;
    // The second pane holds a line as wide as 60 digits of message 50003.
    const ScopedWindowDc dc(status_bar_);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(status_bar_, WM_GETFONT, 0, 0));
    const ScopedSelection selection(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    const MessageText sample(50003, L"123456789012345678901234567890123456789012345678901234567890");
    SIZE extent{};
    const int pane = GetTextExtentPoint32W(dc.get(), sample.c_str(), static_cast<int>(sample.str().size()), &extent)
                         ? extent.cx
                         : 0;
    RECT client;
    GetClientRect(hwnd(), &client);
    int edges[2] = {std::max(0, static_cast<int>(client.right) - pane), -1};
    SendMessageW(status_bar_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
}

void CMainFrame::build_language_menu()
{
    const HMENU popup = popup_holding(GetMenu(hwnd()), ID_LANGUAGE_WINDOWS);
    if (!popup) return;
    const DWORD chosen = read_registry_dword(settings_key, L"Language", 0);
    const LanguageList& languages = language_list();
    for (size_t i = 0; i < languages.size() && ID_LANGUAGE_FIRST + i <= ID_LANGUAGE_LAST; ++i) {
        const UINT flags = MF_STRING | (languages[i].langid == chosen ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(popup, flags, ID_LANGUAGE_FIRST + i, languages[i].name.c_str());
    }
    if (chosen == 0) CheckMenuItem(popup, ID_LANGUAGE_WINDOWS, MF_BYCOMMAND | MF_CHECKED);
}

void CMainFrame::OnLanguage(UINT id)
{
    const DWORD langid = id == ID_LANGUAGE_WINDOWS ? 0 : language_list().at(id - ID_LANGUAGE_FIRST).langid;
    write_registry_dword(settings_key, L"Language", langid);
    const HMENU popup = popup_holding(GetMenu(hwnd()), ID_LANGUAGE_WINDOWS);
    for (UINT item = ID_LANGUAGE_WINDOWS; item <= ID_LANGUAGE_LAST; ++item)
        CheckMenuItem(popup, item, MF_BYCOMMAND | (item == id ? MF_CHECKED : MF_UNCHECKED));
    show_message_box(hwnd(), MessageText(50061).str(), MessageText(50000).str(), MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::OnAbout()
{
    CAboutDlg dialog;
    dialog.run(hwnd());
}

bool CMainFrame::PreTranslateMessage(MSG& message)
{
    return accelerators_ && TranslateAcceleratorW(hwnd(), accelerators_.get(), &message);
}

// The command states that the idle pass refreshes come with the commands themselves.
bool CMainFrame::OnIdle(int) { return false; }
