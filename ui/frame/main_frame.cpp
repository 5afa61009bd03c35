#include "ui/frame/main_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>

#include "core/spectrum/isotope.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/plot_palette.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/logic/language_list.h"
#include "ui/logic/view_refresh.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"
#include "core/text/example_items.h"

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

// The plot option bit of each view toggle.
constexpr std::pair<UINT, std::int32_t> view_option_bits[] = {
    {301, 0x1}, {304, 0x8}, {305, 0x10}, {306, 0x20}, {307, 0x200}, {310, 0x400}, {311, 0x4000}, {312, 0x2000},
};
constexpr std::int32_t changeable_plot_options = 0x7F7B;

std::int32_t option_bit(UINT id)
{
    for (const auto& [command, bit] : view_option_bits)
        if (command == id) return bit;
    return 0;
}

// The frame's font, the icon titles' face at 10 pt for the window's DPI; none when the
// system does not say which face that is.
ScopedFont frame_font(HWND frame)
{
    LOGFONTW icon_font{};
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof icon_font, &icon_font, 0)) return ScopedFont();
    return ScopedFont(create_dpi_font(frame, nullptr, icon_font.lfFaceName, 100, false, false));
}

// The 16 custom colours of the colour dialogs, kept while the program runs.
std::array<COLORREF, 16>& custom_colors()
{
    static std::array<COLORREF, 16> colors = [] {
        std::array<COLORREF, 16> white;
        white.fill(0xFFFFFF);
        return white;
    }();
    return colors;
}

// The close prompt's view of the frame's document. Saving is command 252 (save under the
// current name), which reports nothing back: the save succeeded when the model then
// matches its saved state.
class DocumentChanges final : public IDocumentChanges {
public:
    DocumentChanges(HWND frame, const ModelState& document) : frame_(frame), document_(document) {}
    bool model_changed() const override { return document_.model_history.is_modified(); }
    bool save_model() override
    {
        SendMessageW(frame_, WM_COMMAND, 252, 0);
        return !model_changed();
    }

private:
    HWND frame_;
    const ModelState& document_;
};

} // namespace

CMainFrame::CMainFrame()
{
    MessageMap& map = message_map();
    map.on_message(WM_CREATE, [this](WPARAM, LPARAM) { return OnCreate(); });
    map.on_message(WM_DESTROY, [this](WPARAM, LPARAM) { return OnDestroy(); });
    map.on_message(WM_SIZE, [this](WPARAM kind, LPARAM) { return kind == SIZE_MINIMIZED ? LRESULT{0} : OnSize(); });
    map.on_message(WM_NCCREATE, [this](WPARAM wparam, LPARAM lparam) {
        // Per-monitor awareness leaves the caption and menu bar unscaled unless asked.
        if (dpi_functions().enable_non_client_dpi_scaling) dpi_functions().enable_non_client_dpi_scaling(hwnd());
        return DefWindowProcW(hwnd(), WM_NCCREATE, wparam, lparam);
    });
    // Moved to a monitor of another DPI: fonts and images follow, and the window takes the
    // place the system proposes.
    map.on_message(WM_DPICHANGED, [this](WPARAM, LPARAM lparam) {
        scale_to_dpi();
        const RECT& r = *reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return LRESULT{0};
    });
    map.on_message(WM_GETMINMAXINFO, [](WPARAM, LPARAM lparam) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lparam);
        info->ptMinTrackSize = {320, 200};
        return LRESULT{0};
    });
    map.on_message(WM_CLOSE, [this](WPARAM, LPARAM) {
        if (!shutting_down_ && !QuerySave(true)) return LRESULT{0};
        // The fit ends, and its thread is awaited, while the window is still whole.
        PostFitControl(FitCtlAbort);
        DestroyWindow(hwnd());
        return LRESULT{0};
    });
    map.on_message(WM_QUERYENDSESSION, [this](WPARAM, LPARAM) {
        QuerySave(false);
        return LRESULT{TRUE};
    });
    map.on_message(WM_ENDSESSION, [this](WPARAM ending, LPARAM) {
        if (ending) shutting_down_ = true;
        return LRESULT{0};
    });
    map.on_message(WM_SETFOCUS, [this](WPARAM, LPARAM) {
        if (splitter_.hwnd()) SetFocus(splitter_.hwnd());
        return LRESULT{0};
    });
    map.on_message(WM_NOTIFY, [this](WPARAM, LPARAM lparam) { return OnNotify(*reinterpret_cast<NMHDR*>(lparam)); });
    map.on_message(WM_APP, [this](WPARAM wparam, LPARAM lparam) { return OnFitMessage(wparam, lparam); });
    // The command line is split and let go: the program opens no file given there.
    map.on_message(WM_APP + 1, [](WPARAM, LPARAM) {
        int count = 0;
        if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) LocalFree(arguments);
        return LRESULT{0};
    });
    // Menus show no help line (the string table has none for the commands); the status
    // bar's simple mode lasts while a menu is open.
    // The Link to and Expressions submenus depend on the current cell and the predefined
    // expressions: they are filled as the menu bar opens.
    map.on_message(WM_INITMENU, [this](WPARAM menu, LPARAM) {
        if (reinterpret_cast<HMENU>(menu) == GetMenu(hwnd())) {
            BuildGridLinkMenu(reinterpret_cast<HMENU>(menu));
            BuildExpressionsMenu(reinterpret_cast<HMENU>(menu));
        }
        return LRESULT{0};
    });
    map.on_message(WM_MENUSELECT, [this](WPARAM wparam, LPARAM lparam) {
        if (!status_bar_) return LRESULT{0};
        const bool closed = HIWORD(wparam) == 0xFFFF && lparam == 0;
        SendMessageW(status_bar_, SB_SIMPLE, !closed, 0);
        if (!closed) {
            std::wstring text = load_string_resource(LOWORD(wparam));
            text = text.substr(0, text.find(L'\n'));
            SendMessageW(status_bar_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return LRESULT{0};
    });
    // The isotope box's choice is a document command; the toolbar passes it on.
    map.on_command(isotope_box_id, [this](UINT, UINT, HWND) { OnCommand(CommandGroup::document_command, isotope_box_id); },
                   CBN_SELCHANGE);
    map.on_command(tab_container_id, [this](UINT, UINT, HWND) { OnPageSelected(); }, CTabContainer::page_selected);
    for (const CommandRoute& route : command_routes()) {
        const CommandGroup group = route.group;
        map.on_command_range(route.first, route.last, [this, group](UINT id, UINT, HWND) { OnCommand(group, id); });
    }
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

void CMainFrame::set_document_changes(IDocumentChanges* document)
{
    document_changes_ = document ? document : own_changes_.get();
}

LRESULT CMainFrame::OnCreate()
{
    own_changes_ = std::make_unique<DocumentChanges>(hwnd(), document_);
    document_changes_ = own_changes_.get();
    show_document();
    create_status_bar();
    create_toolbar();
    font_ = frame_font(hwnd());
    create_isotope_box();
    create_client();
    if (MessageLoop* loop = current_message_loop()) {
        loop->add_message_filter(this);
        loop->add_idle_handler(this);
    }
    OnSize();
    splitter_.set_bar_position(150);
    read_recent_list(recent_models_, models_key);
    read_recent_list(recent_folders_, folders_key);
    read_recent_list(recent_spectra_, spectra_key);
    read_recent_list(recent_calibrations_, calibrations_key);
    build_language_menu();
    show_view_options();
    BuildDemoMenu(GetMenu(hwnd()), ID_FILE_DEMO_SPECTRUM_FIRST, demo_spectrum_item);
    BuildDemoMenu(GetMenu(hwnd()), ID_FILE_DEMO_MODEL_FIRST, demo_model_item);
    BuildModelMenus();
    BuildTransformMenu(GetMenu(hwnd()));
    BuildCalibrateMenu(GetMenu(hwnd()));
    if (parameter_grid_.hwnd()) SetFocus(parameter_grid_.hwnd());
    return 0;
}

void CMainFrame::create_status_bar()
{
    status_bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, load_string_resource(IDS_READY).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | SBARS_SIZEGRIP, 0, 0, 0,
                                  0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

void CMainFrame::create_toolbar()
{
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TOOLTIPS |
                                   TBSTYLE_FLAT | CCS_TOP,
                               0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(toolbar_id)),
                               GetModuleHandleW(nullptr), nullptr);
    if (!toolbar_) return;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    // The common controls' own small images stand in for the program's button images.
    TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    const int std_base = static_cast<int>(SendMessageW(toolbar_, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));
    TBADDBITMAP view{HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR};
    const int view_base = static_cast<int>(SendMessageW(toolbar_, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&view)));
    struct Button {
        int command;  // 0: a separator
        int image;
        BYTE style;
    };
    const BYTE check = BTNS_CHECK, radio = BTNS_CHECKGROUP, push = BTNS_BUTTON;
    const Button buttons[] = {
        {0, 0, 0},
        {993, std_base + STD_CUT, push}, {991, std_base + STD_COPY, push}, {992, std_base + STD_PASTE, push}, {0, 0, 0},
        {257, std_base + STD_UNDO, push}, {258, std_base + STD_REDOW, push}, {0, 0, 0},
        {301, view_base + VIEW_DETAILS, check}, {304, view_base + VIEW_SORTSIZE, check},
        {305, view_base + VIEW_LIST, check}, {306, view_base + VIEW_SMALLICONS, check},
        {307, view_base + VIEW_SORTNAME, check}, {311, view_base + VIEW_SORTTYPE, check},
        {312, std_base + STD_FIND, check}, {0, 0, 0},
        {401, std_base + STD_DELETE, radio}, {402, std_base + STD_REPLACE, radio},
        {403, view_base + VIEW_LARGEICONS, radio}, {0, 0, 0},
        {308, view_base + VIEW_PARENTFOLDER, push}, {0, 0, 0},
        {351, std_base + STD_PRINTPRE, push}, {352, view_base + VIEW_SORTDATE, push},
        {363, std_base + STD_PROPERTIES, push}, {353, view_base + VIEW_NETDISCONNECT, push},
    };
    for (const Button& b : buttons) {
        TBBUTTON button{};
        button.iBitmap = b.command ? b.image : 0;
        button.idCommand = b.command;
        button.fsStyle = b.command ? b.style : BTNS_SEP;
        button.fsState = TBSTATE_ENABLED;
        if (b.command == 401 + mouse_mode_) button.fsState |= TBSTATE_CHECKED;
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
}

void CMainFrame::create_isotope_box()
{
    if (!toolbar_) return;
    TBBUTTON separator{};
    separator.iBitmap = 100;
    separator.idCommand = -1;
    separator.fsStyle = BTNS_SEP;
    const int count = static_cast<int>(SendMessageW(toolbar_, TB_BUTTONCOUNT, 0, 0));
    SendMessageW(toolbar_, TB_INSERTBUTTONW, count, reinterpret_cast<LPARAM>(&separator));
    RECT item{};
    SendMessageW(toolbar_, TB_GETITEMRECT, count, reinterpret_cast<LPARAM>(&item));
    isotope_box_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
                                   item.left, item.top, 100, 200, toolbar_,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(isotope_box_id)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!isotope_box_) return;
    if (font_) SendMessageW(isotope_box_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(isotope_box_, CB_RESETCONTENT, 0, 0);
    const IsotopeTable& isotopes = isotope_table();
    for (unsigned i = 0; i < isotopes.count(); ++i)
        SendMessageW(isotope_box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(isotopes.at(i).name.c_str()));
    SendMessageW(isotope_box_, CB_SETCURSEL, 0, 0);
}

void CMainFrame::create_client()
{
    if (!splitter_.create_window(hwnd())) return;
    if (tabs_.create_window(splitter_.hwnd(), tab_container_id) && font_)
        SendMessageW(tabs_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    const RECT empty{0, 0, 0, 0};
    plot_.Create(splitter_.hwnd(), empty, plot_view_id);
    splitter_.set_panes(tabs_.hwnd(), plot_.window());
    if (tabs_.hwnd()) create_grids();
}

void CMainFrame::scale_to_dpi()
{
    // The children take the new font before the old one is deleted.
    if (ScopedFont font = frame_font(hwnd())) {
        for (const HWND child : {tabs_.hwnd(), isotope_box_})
            if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        font_ = std::move(font);
    }
    for (CGrid* grid : {static_cast<CGrid*>(&parameter_grid_), static_cast<CGrid*>(&fit_result_grid_),
                        static_cast<CGrid*>(&correlation_grid_)})
        if (grid->hwnd()) grid->ScaleToDpi();
    // The plot's buffer is made again with its font for the new DPI.
    plot_.ReleaseBuffer();
    plot_.Redraw();
}

LRESULT CMainFrame::OnDestroy()
{
    PostFitControl(FitCtlAbort);
    if (MessageLoop* loop = current_message_loop()) {
        loop->remove_message_filter(this);
        loop->remove_idle_handler(this);
    }
    // The exit code of a normal close.
    PostQuitMessage(1);
    return 0;
}

LRESULT CMainFrame::OnSize()
{
    RECT client{};
    GetClientRect(hwnd(), &client);
    int top = 0, bottom = client.bottom;
    if (toolbar_) {
        SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        GetWindowRect(toolbar_, &bar);
        top = bar.bottom - bar.top;
    }
    if (status_bar_) {
        SendMessageW(status_bar_, WM_SIZE, 0, 0);
        RECT bar{};
        GetWindowRect(status_bar_, &bar);
        bottom -= bar.bottom - bar.top;
        layout_status_bar();
    }
    if (splitter_.hwnd()) MoveWindow(splitter_.hwnd(), 0, top, client.right, std::max(0, bottom - top), TRUE);
    return 0;
}

void CMainFrame::layout_status_bar()
{
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

LRESULT CMainFrame::OnNotify(NMHDR& header)
{
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        info.szText[0] = L'\0';
        info.lpszText = info.szText;
        if (header.idFrom != 0 && !(info.uFlags & TTF_IDISHWND)) {
            // A command without a message-table text gets an empty tooltip.
            std::wstring text;
            try {
                text = MessageText(static_cast<std::uint32_t>(header.idFrom)).str();
            } catch (const std::exception&) {
            }
            const std::size_t n = std::min<std::size_t>(text.size(), 79);
            std::copy_n(text.c_str(), n, info.szText);
            info.szText[n] = L'\0';
        }
        return 0;
    }
    // Del in the parameter grid deletes the component: the command is posted as if from
    // an accelerator, and the grid does not process the key itself.
    if (header.idFrom == parameter_page_id && header.code == static_cast<UINT>(NM_KEYDOWN)) {
        if (reinterpret_cast<const NMKEY&>(header).nVKey != VK_DELETE) return 0;
        PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(255, 1), 0);
        return 1;
    }
    // The plot's range and distribution gestures change the document.
    if (OnPlotGesture(header)) return 0;
    if (const std::optional<LRESULT> answer = OnGridNotify(header)) return *answer;
    // The other notifications of grids and plot belong to the document commands.
    return notification_handler_ ? notification_handler_(header) : 0;
}

const Isotope* CMainFrame::GetCurrentIsotope() const
{
    const HMENU popup = popup_holding(GetMenu(hwnd()), first_isotope_id);
    const int count = popup ? GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        if (id < first_isotope_id || !(GetMenuState(popup, i, MF_BYPOSITION) & MF_CHECKED)) continue;
        if (id - first_isotope_id < isotope_table().count()) return &isotope_table().at(id - first_isotope_id);
        return nullptr;
    }
    return nullptr;
}

void CMainFrame::set_group_handler(CommandGroup group, MessageMap::CommandHandler handler)
{
    group_handlers_[group] = std::move(handler);
}

void CMainFrame::OnCommand(CommandGroup group, UINT id)
{
    if (const auto it = group_handlers_.find(group); it != group_handlers_.end() && it->second) {
        it->second(id, 0, nullptr);
        return;
    }
    switch (group) {
    case CommandGroup::open_spectrum: OnOpenSpectrum(); break;
    case CommandGroup::save_spectrum: OnSaveSpectrum(id == ID_FILE_SAVE_SPECTRUM || spectrum_file_name_.empty()); break;
    case CommandGroup::recent_spectrum: OnRecentSpectrum(id); break;
    case CommandGroup::calibration: OnCalibrationCommand(id); break;
    case CommandGroup::spectrum_processing: OnSpectrumProcessing(id); break;
    case CommandGroup::recent_folder: OnRecentFolder(id); break;
    case CommandGroup::exit: PostMessageW(hwnd(), WM_CLOSE, 0, 0); break;
    case CommandGroup::view_option: OnViewOption(id); break;
    case CommandGroup::reset_zoom: plot_.ResetZoom(); break;
    case CommandGroup::round_results: OnRoundResults(); break;
    case CommandGroup::background_color: OnBackgroundColor(); break;
    case CommandGroup::mouse_mode: OnMouseMode(id); break;
    case CommandGroup::language: OnLanguage(id); break;
    case CommandGroup::help_contents: show_message_box(hwnd(), L"Help", L"Help", MB_OK); break;
    case CommandGroup::about: OnAbout(); break;
    case CommandGroup::next_page:
        if (tabs_.hwnd()) SendMessageW(tabs_.hwnd(), WM_COMMAND, ID_NEXT_PAGE, 0);
        break;
    case CommandGroup::document_command: OnDocumentCommand(id); break;
    case CommandGroup::component_command: OnComponentCommand(id); break;
    case CommandGroup::model_file:
    case CommandGroup::recent_model: OnModelFileCommand(id); break;
    case CommandGroup::links_and_expressions: OnLinkCommand(id); break;
    case CommandGroup::report: OnReportCommand(id); break;
    case CommandGroup::fit_control: OnFitControl(id); break;
    case CommandGroup::clipboard: OnEditCommand(id); break;
    case CommandGroup::ignored: break;
    }
}

void CMainFrame::OnViewOption(UINT id)
{
    const std::int32_t bit = option_bit(id);
    plot_.SetOptions((plot_.options ^ bit) & changeable_plot_options, bit);
    show_view_options();
}

void CMainFrame::show_view_options()
{
    const HMENU menu = GetMenu(hwnd());
    for (const auto& [id, bit] : view_option_bits) {
        const bool on = (plot_.options & bit) != 0;
        if (toolbar_) SendMessageW(toolbar_, TB_CHECKBUTTON, id, on);
        if (menu) CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
}

void CMainFrame::OnMouseMode(UINT id)
{
    mouse_mode_ = static_cast<int>(id - 401);
    plot_.mouse_mode = id == 403 ? ModeZoom : ModeRange;
    if (toolbar_) SendMessageW(toolbar_, TB_CHECKBUTTON, id, TRUE);
}

void CMainFrame::OnBackgroundColor()
{
    PlotPalette& palette = *plot_palette(0);
    const std::optional<COLORREF> chosen = show_color_dialog(hwnd(), palette.colors[4], custom_colors().data());
    if (!chosen) return;
    // Saved with the model file, hidden from the keyword editor; no undo record.
    kwlist_set(document_.model.keywords, L"BackgroundColor", std::to_wstring(*chosen), KWHidden);
    palette.colors[4] = *chosen;
    plot_.Redraw();
}

void CMainFrame::OnLanguage(UINT id)
{
    DWORD langid = 0;
    if (id != ID_LANGUAGE_WINDOWS) {
        const std::size_t index = id - ID_LANGUAGE_FIRST;
        if (index >= language_list().size()) return;
        langid = language_list()[index].langid;
    }
    write_registry_dword(settings_key, L"Language", langid);
    // The check marks stay until the next start, when the language changes.
    show_message_box(hwnd(), MessageText(50061).str(), MessageText(50000).str(), MB_OK | MB_ICONINFORMATION);
}

void CMainFrame::OnAbout()
{
    CAboutDlg dialog;
    dialog.run(hwnd());
}

void CMainFrame::OnPageSelected() { show_document(); }

bool CMainFrame::QuerySave(bool closing)
{
    return query_save(*document_changes_, closing, [this](CloseQuestion question) {
        const bool about_changes = question != CloseQuestion::close_ok_cancel;
        const UINT buttons = question == CloseQuestion::save_changes_yes_no_cancel ? MB_YESNOCANCEL
                             : question == CloseQuestion::save_changes_yes_no     ? MB_YESNO
                                                                                  : MB_OKCANCEL;
        const int answer = show_message_box(hwnd(), MessageText(about_changes ? 50012 : 50014).str(),
                                            MessageText(50000).str(), buttons | MB_ICONQUESTION);
        switch (answer) {
        case IDYES: return CloseAnswer::yes;
        case IDNO: return CloseAnswer::no;
        case IDOK: return CloseAnswer::ok;
        default: return CloseAnswer::cancel;
        }
    });
}

void CMainFrame::show_document()
{
    const bool fit_page = tabs_.hwnd() && tabs_.current_page() > 0;
    const bool fitted = fit_page && document_.fit_values.size() == document_.values.size();
    plot_.SetData(&document_.model, &document_.data, fitted ? &document_.fit_values : &document_.values,
                  fitted ? &document_.covariance : nullptr, &document_, nullptr);
}

void CMainFrame::OnRecentFolder(UINT id)
{
    if (const std::optional<std::wstring> folder = recent_folders_.entry_for_command(id)) SetCurrentFolder(*folder);
}

// ---- Recent lists ----

void CMainFrame::read_recent_list(RecentDocumentList& list, const wchar_t* key)
{
    list.read(RegistryListStore(key));
    update_recent_menu(list);
}

void CMainFrame::update_recent_menu(const RecentDocumentList& list)
{
    const HMENU menu = GetMenu(hwnd());
    if (!menu) return;
    const UINT first = list.first_id();
    const UINT last = first + RecentDocumentList::max_capacity - 1;
    HMENU popup = nullptr;
    for (UINT id = first; id <= last && !popup; ++id) popup = popup_holding(menu, id);
    if (!popup) return;
    // The empty list's text is the placeholder's, as the resource gives it.
    if (!empty_texts_.contains(first)) {
        wchar_t text[256] = {};
        empty_texts_[first] = GetMenuStringW(popup, first, text, 256, MF_BYCOMMAND) > 0 ? std::wstring(text) : L"(empty)";
    }
    while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
    const std::vector<std::wstring> texts = list.menu_texts();
    for (std::size_t k = 0; k < texts.size(); ++k) AppendMenuW(popup, MF_STRING, first + k, texts[k].c_str());
    if (texts.empty()) AppendMenuW(popup, MF_STRING | MF_GRAYED, first, empty_texts_[first].c_str());
}

// ---- Language menu and message loop ----

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

bool CMainFrame::PreTranslateMessage(MSG& message)
{
    if (accelerators_ && TranslateAcceleratorW(hwnd(), accelerators_.get(), &message)) return true;
    if (tabs_.hwnd() && tabs_.accelerators() && TranslateAcceleratorW(tabs_.hwnd(), tabs_.accelerators(), &message))
        return true;
    if (translate_grid_keys(message)) return true;
    return IsDialogMessageW(hwnd(), &message);
}

bool CMainFrame::OnIdle(int)
{
    UpdateUIState();
    return false;
}

COLORREF* CMainFrame::CustomColors() { return custom_colors().data(); }

HMENU CMainFrame::popup_of(UINT id) const { return popup_holding(GetMenu(hwnd()), id); }
