// The main window: menu, toolbar with the isotope box, two-pane status bar, and a
// splitter with the tab container above the plot view. Every command of the window
// arrives in its message map and goes where the routing table sends it; commands whose
// handlers are not built yet say so.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/document/model_state.h"
#include "core/spectrum/isotope.h"
#include "plot/model_data_view.h"
#include "ui/logic/close_prompt.h"
#include "ui/logic/command_routing.h"
#include "ui/logic/fit_protocol.h"
#include "ui/logic/recent_document_list.h"
#include "ui/splitter.h"
#include "ui/tab_container.h"
#include "ui/wingui/handles.h"
#include "ui/wingui/message_loop.h"
#include "ui/wingui/window.h"

// The top-level window that Run creates and pumps messages for.
class ITopLevelWindow {
public:
    virtual ~ITopLevelWindow() = default;
    // Creates the window; false when it could not be created.
    virtual bool create_window() = 0;
    virtual HWND hwnd() const = 0;
};

class CMainFrame final : public Window, public ITopLevelWindow, public CMessageFilter, public CIdleHandler {
public:
    static constexpr const wchar_t* class_name = L"Vexmoor.MainFrame";
    // Control ids of the children.
    static constexpr UINT tab_container_id = 9003;
    static constexpr UINT parameter_page_id = 9001;
    static constexpr UINT fit_result_page_id = 9002;
    static constexpr UINT correlation_page_id = 9004;
    static constexpr UINT plot_view_id = 10011;
    static constexpr UINT isotope_box_id = 30006;
    static constexpr UINT toolbar_id = 10001;
    // Registry keys of the recent lists (below HKEY_CURRENT_USER).
    static constexpr const wchar_t* models_key = L"Software\\Ostrand\\Vexmoor\\Models";
    static constexpr const wchar_t* folders_key = L"Software\\Ostrand\\Vexmoor\\Folder";
    static constexpr const wchar_t* spectra_key = L"Software\\Ostrand\\Vexmoor\\Spectra";

    CMainFrame();
    ~CMainFrame() override;

    bool create_window() override;
    HWND hwnd() const override { return Window::hwnd(); }

    bool PreTranslateMessage(MSG& message) override;
    bool OnIdle(int idle_count) override;
    // The close prompt: true when the window may close (closing) or the session end.
    bool QuerySave(bool closing);
    // The isotope whose item in the Isotope submenu carries the check mark; none without.
    const Isotope* GetCurrentIsotope() const;
    static constexpr UINT first_isotope_id = 20001;

    // The document's side of the close prompt: by default the frame's document, whose
    // model counts as saved when, after command 252, it matches the saved state. Null
    // restores the default.
    void set_document_changes(IDocumentChanges* document);

    ModelState& document() { return document_; }
    const SpectrumData& spectrum() const { return document_.data; }
    // Gives the plot the document: the model's values on the first page, the fit values
    // (when there are any) on the others.
    void show_document();
    const std::wstring& spectrum_file_name() const { return spectrum_file_name_; }
    const std::wstring& default_folder() const { return default_folder_; }
    const RecentDocumentList& recent_spectra() const { return recent_spectra_; }
    const RecentDocumentList& recent_folders() const { return recent_folders_; }
    CModelDataView& plot_view() { return plot_; }
    CTabContainer& tab_container() { return tabs_; }
    CSplitter& splitter() { return splitter_; }
    HWND toolbar() const { return toolbar_; }
    HWND status_bar() const { return status_bar_; }
    HWND isotope_box() const { return isotope_box_; }
    int mouse_mode() const { return mouse_mode_; }
    bool round_results() const { return round_results_; }

    // Hooks for the commands that later work builds: the fit thread's message (WM_APP)
    // and the refresh of command states on idle. Until set, WM_APP is ignored and idle
    // passes change nothing.
    void set_fit_message_handler(MessageMap::MessageHandler handler) { fit_message_handler_ = std::move(handler); }
    void set_command_state_refresh(std::function<void()> refresh) { command_state_refresh_ = std::move(refresh); }
    // The notifications of grids and plot that the document commands act on (all but
    // the parameter grid's Del key and the tooltips).
    void set_notification_handler(MessageMap::NotifyHandler handler) { notification_handler_ = std::move(handler); }
    // Installs the handler of a command group that later work builds, replacing the
    // notice that the command is not available yet.
    void set_group_handler(CommandGroup group, MessageMap::CommandHandler handler);

    // Ends every document change: refreshes grids, plot and the chi-square text (flags
    // of UpdateViewsFlags) and returns whether fit results are on show.
    bool UpdateViews(int flags, const FitStatus* status = nullptr);
    // Menus, toolbar, title and plot highlight in step with the document.
    void UpdateUIState();
    // Sends a control code to a running fit; FitCtlAbort also waits until it has ended.
    void PostFitControl(FitMsgCode code);

    // ---- Links, bounds and user expressions (main_frame_links.cpp) ----
    // The parameter grid's current cell while that grid is shown (row: component, then
    // user expression; parameters from column 3); nothing otherwise. The grid's host
    // installs it; until then the commands that act on the current cell do nothing.
    struct ModelGridCell {
        int row = -1;
        int column = -1;
    };
    void set_model_grid_cursor(std::function<std::optional<ModelGridCell>()> cursor)
    {
        model_grid_cursor_ = std::move(cursor);
    }
    // Fill the Link to submenu (the popup holding 5001; also sets Unlink, 259, and
    // Bounds, 264, for the current parameter), the Expressions submenu (holding 801)
    // and a distribution's Link to submenu (holding 23001) of `menu`.
    void BuildGridLinkMenu(HMENU menu);
    void BuildExpressionsMenu(HMENU menu);
    void BuildLinkMenu(HMENU menu, unsigned distribution);
    // A parameter grid row activated: the factor of a linked parameter, or the user
    // expression of an expression row.
    void OnEditLink(int row, int param);

private:
    LRESULT OnCreate();
    LRESULT OnDestroy();
    LRESULT OnSize();
    LRESULT OnNotify(NMHDR& header);
    void OnCommand(CommandGroup group, UINT id);
    void OnLanguage(UINT id);
    void OnAbout();
    void OnViewOption(UINT id);
    // Check marks of the view toggles on menu and toolbar, from the plot's options.
    void show_view_options();
    void OnMouseMode(UINT id);
    void OnBackgroundColor();
    void OnOpenSpectrum();
    void OnSaveSpectrum(bool ask_for_name);
    void OnRecentSpectrum(UINT id);
    void OnRecentFolder(UINT id);
    void OnPageSelected();
    void not_available_yet(UINT id);

    // The command groups that change the document, one file each.
    void OnDocumentCommand(UINT id);   // main_frame_document.cpp
    void OnComponentCommand(UINT id);  // main_frame_components.cpp
    void OnModelFileCommand(UINT id);  // main_frame_model_files.cpp
    void OnLinkCommand(UINT id);       // main_frame_links.cpp
    void OnReportCommand(UINT id);     // main_frame_reports.cpp
    void OnFitControl(UINT id);        // main_frame_fit.cpp
    void OnEditCommand(UINT id);       // main_frame_grids.cpp

    void create_status_bar();
    void create_toolbar();
    void create_isotope_box();
    void create_client();
    void build_language_menu();
    void layout_status_bar();
    // Reads the list from the registry and attaches it to the popup holding `first_id`.
    void read_recent_list(RecentDocumentList& list, const wchar_t* key);
    void update_recent_menu(const RecentDocumentList& list);
    void remember_spectrum(const std::wstring& path);
    // Loads the file into the spectrum; the spectrum stays as it was when this fails.
    bool load_spectrum(const std::wstring& path);
    bool save_spectrum_as(const std::wstring& path);

    ScopedAccelerators accelerators_;
    ScopedIcon icon_;
    ScopedFont font_;
    HWND toolbar_ = nullptr;
    HWND status_bar_ = nullptr;
    HWND isotope_box_ = nullptr;
    CSplitter splitter_;
    CTabContainer tabs_;
    // Pages the grids will take over; plain windows until then.
    HWND pages_[3] = {};
    int mouse_mode_ = 2;
    bool round_results_ = false;
    CModelDataView plot_{0};
    ModelState document_;
    std::wstring spectrum_file_name_;
    bool shutting_down_ = false;
    RecentDocumentList recent_models_{601};
    RecentDocumentList recent_spectra_{621};
    RecentDocumentList recent_folders_{661};
    std::wstring default_folder_;
    // The placeholder text of each recent list's empty menu, as the resource gives it.
    std::map<UINT, std::wstring> empty_texts_;

    std::unique_ptr<IDocumentChanges> own_changes_;
    IDocumentChanges* document_changes_ = nullptr;
    MessageMap::MessageHandler fit_message_handler_;
    std::function<void()> command_state_refresh_;
    MessageMap::NotifyHandler notification_handler_;
    std::map<CommandGroup, MessageMap::CommandHandler> group_handlers_;

    // Links, bounds and user expressions (main_frame_links.cpp).
    struct CurrentParameter {
        unsigned component;
        unsigned param;
    };
    // The shown parameter of a component under the parameter grid's current cell.
    std::optional<CurrentParameter> current_parameter() const;
    // The component row under the current cell.
    std::optional<unsigned> current_component() const;
    void OnLinkTo(UINT id);
    void OnUnlink();
    void OnBounds();
    void OnAddExpression();
    void OnAddListedExpression(UINT id);
    void OnAddAllExpressions();
    void edit_link_factor(const CurrentParameter& parameter);
    void edit_expression(unsigned expression);
    // Ends a change of links, bounds or expressions: one refresh of the views.
    void links_changed(int flags);
    std::function<std::optional<ModelGridCell>()> model_grid_cursor_;
};
