// The main window: menu, toolbar with the isotope box, two-pane status bar, and a
// splitter with the tab container above the plot view. Every command of the window
// arrives in its message map and goes where the routing table sends it, to the handlers
// of its group (one file per group).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/document/model_state.h"
#include "core/spectrum/isotope.h"
#include "plot/model_data_view.h"
#include "ui/logic/close_prompt.h"
#include "ui/logic/command_routing.h"
#include "ui/logic/distribution_menu.h"
#include "ui/logic/document_commands.h"
#include "ui/logic/component_commands.h"
#include "ui/logic/fit_protocol.h"
#include "ui/logic/recent_document_list.h"
#include "ui/controls/corr_grid.h"
#include "ui/logic/command_state.h"
#include "ui/logic/model_state_grid_document.h"
#include "ui/controls/model_grid.h"
#include "catalogue/program_model_file_parts.h"
#include "ui/controls/splitter.h"
#include "ui/controls/tab_container.h"
#include "wingui/handles.h"
#include "wingui/message_loop.h"
#include "wingui/window.h"
#include "core/fit/fit_settings.h"
#include "ui/fit_thread.h"
#include "ui/logic/command_state.h"
#include "ui/logic/model_file_name.h"
#include "ui/logic/view_refresh.h"
#include "ui/resource_ids.h"

// The top-level window that Run creates and pumps messages for.
class ITopLevelWindow {
public:
    virtual ~ITopLevelWindow() = default;
    // Creates the window; false when it could not be created.
    virtual bool create_window() = 0;
    virtual HWND hwnd() const = 0;
};

class CMainFrame final : public Window, public ITopLevelWindow, public CMessageFilter, public CIdleHandler, public IFitHost {
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
    static constexpr const wchar_t* calibrations_key = L"Software\\Ostrand\\Vexmoor\\Calibrations";

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
    const RecentDocumentList& recent_calibrations() const { return recent_calibrations_; }
    CModelDataView& plot_view() { return plot_; }
    CTabContainer& tab_container() { return tabs_; }
    CSplitter& splitter() { return splitter_; }
    HWND toolbar() const { return toolbar_; }
    HWND status_bar() const { return status_bar_; }
    HWND isotope_box() const { return isotope_box_; }
    int mouse_mode() const { return mouse_mode_; }
    bool round_results() const { return round_results_; }

    // The notifications of grids and plot that the document commands act on (all but
    // the parameter grid's Del key and the tooltips).
    void set_notification_handler(MessageMap::NotifyHandler handler) { notification_handler_ = std::move(handler); }
    // Sends a command group to `handler` instead of the frame's own handlers, so that
    // the routing can be watched.
    void set_group_handler(CommandGroup group, MessageMap::CommandHandler handler);

    // Ends every document change: grids, plot and the chi-square text as the kind of
    // change asks (fit results stay on show only where they still hold).
    void document_changed(DocumentChange change);
    // Menus, toolbar, title and plot highlight in step with the document.
    void UpdateUIState();
    // Sends a control code to a running fit; FitCtlAbort also waits until it has ended.
    void PostFitControl(FitMsgCode code);

    // ---- The fit (main_frame_fit.cpp) ----
    // Starts a fit of the document unless one runs; true when a fit runs afterwards.
    bool StartFit(bool run_freely);
    // The fit thread's messages (WM_APP).
    LRESULT OnFitMessage(WPARAM code, LPARAM lparam);
    // The fit's progress into the second status pane.
    void UpdateFitStatus();
    // Fits the areas alone, synchronously, as one undo step.
    void OnFitArea();
    FitSettings& fit_settings() { return fit_settings_; }
    bool fit_running() const { return fit_ && fit_->running(); }
    bool fit_waiting() const { return fit_ && fit_->waiting(); }
    // The engine of the fits started from now on (tests put one that steps on demand).
    void set_fit_engine(FitEngine engine);
    // Whether fit results are on show, with the chi-squares and stop code of the last fit.
    bool results_shown() const { return results_; }
    double chi_square() const { return last_fit_.chi_square; }
    double reduced_chi_square() const { return last_fit_.reduced_chi_square; }
    int stop_code() const { return last_fit_.stop_code; }

    // What the fit thread's messages mean for the window (IFitHost).
    void fit_started() override;
    void fit_waiting(const FitStatus& status) override;
    void fit_results(const FitStatus& status) override;
    void fit_discarded(const FitStatus& status) override;
    void fit_progress(const FitProgress& progress) override;
    void fit_refresh() override;
    // ---- The grids (main_frame_grids.cpp) ----
    // The grids after a document change (UpdateViews): the fit-result grid shows errors
    // while fit results are on show and is re-laid whole; the parameter grid's columns
    // and rows are rebuilt when `rebuild_parameters`; the correlation grid is filled from
    // the last fit, or emptied without results.
    void refresh_grids(bool results, bool rebuild_parameters);
    // The grids' part of the command states: page in front, current rows and column,
    // and whether the clipboard holds a component or an expression.
    void fill_grid_snapshot(CommandSnapshot& snapshot) const;
    CModelGrid& parameter_grid() { return parameter_grid_; }
    // The parameter grid's current cell (row: component, then user expression; parameters
    // from column 3) and its row count, which the cell commands act on (row -1: none).
    // Tests may name the cell instead; null restores the grid's.
    struct GridCell {
        int row = -1;
        int column = -1;
        int row_count = 0;
    };
    GridCell parameter_cell() const;
    void set_parameter_cell_source(std::function<GridCell()> source) { parameter_cell_source_ = std::move(source); }
    CModelGrid& fit_result_grid() { return fit_result_grid_; }
    CCorrGrid& correlation_grid() { return correlation_grid_; }
    // ---- Model files (main_frame_model_files.cpp) ----
    // Loads the model file, all or nothing; `recent_id` is the recent-model command the
    // path came from, 0 for none. Failures are shown, and a recent entry that fails leaves.
    void OpenModelFile(const std::wstring& path, UINT recent_id);
    // The folder the file dialogs start in, at the top of the recent folders.
    void SetCurrentFolder(const std::wstring& folder);
    const ModelFileName& model_file_name() const { return model_file_name_; }
    const RecentDocumentList& recent_models() const { return recent_models_; }
    // ---- Distribution panes (main_frame_distribution.cpp) ----
    // The items of a distribution pane's context menu for distribution `n`: which are
    // enabled, the link Unlink removes, and the distributions it may link to.
    void BuildDistributionMenu(HMENU menu, unsigned n);
    // Carries out item `command` of that menu on points `range` of distribution `n`;
    // `whole` when the menu came from a right click rather than a drag over some points.
    void RunDistributionCommand(UINT command, unsigned n, PointRange range, bool whole = true);

    // ---- Spectrum processing (main_frame_spectrum_processing.cpp) ----
    // Fills the Transform submenu (the popup holding 1001) of `menu` with the predefined
    // transforms of "model_expressions.txt".
    void BuildTransformMenu(HMENU menu);
    // Fills the Calibrate submenu (the popup holding 231 to 249) of `menu` with the
    // calibration standards of the current isotope.
    void BuildCalibrateMenu(HMENU menu);
    // A Shift-click on data point `index`: its count in a dialog, as one spectrum step.
    void OnEditDataPoint(int index);
    // The parameter values of the last confirmed transform, by name.
    const KeywordList& transform_parameters() const { return transform_parameters_; }
    // ---- Links, bounds and user expressions (main_frame_links.cpp) ----
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
    // ---- Spectrum files (main_frame_spectrum_files.cpp) ----
    void OnOpenSpectrum();
    void OnSaveSpectrum(bool ask_for_name);
    void OnRecentSpectrum(UINT id);
    void OnAddSpectrum();
    // Load calibration data, the recent calibration files and the Calibrate submenu.
    void OnCalibrationCommand(UINT id);
    void OnCalibrate(UINT id);  // main_frame_calibration.cpp
    // The open dialog with its preview, for spectrum files.
    std::optional<std::wstring> ask_spectrum_file();
    // Reads the file into `loaded`; false, with the error shown, when it does not read.
    bool read_spectrum_file(const std::wstring& path, SpectrumData& loaded);
    // The spectrum takes the file's calibration; false only when the file does not read.
    bool load_calibration_file(const std::wstring& path);
    // The path enters, or leaves, a recent list and its registry key.
    void remember_file(RecentDocumentList& list, const wchar_t* key, const std::wstring& path);
    void forget_file(RecentDocumentList& list, const wchar_t* key, const std::wstring& path);
    void OnRecentFolder(UINT id);
    void OnPageSelected();

    // The command groups that change the document, one file each.
    void OnDocumentCommand(UINT id);   // main_frame_document.cpp
    void OnComponentCommand(UINT id);  // main_frame_components.cpp
    void OnModelFileCommand(UINT id);  // main_frame_model_files.cpp
    void OnLinkCommand(UINT id);       // main_frame_links.cpp
    void OnReportCommand(UINT id);     // main_frame_reports.cpp
    void OnFitControl(UINT id);        // main_frame_fit.cpp
    void OnEditCommand(UINT id);       // main_frame_grids.cpp
    void OnSpectrumProcessing(UINT id);  // main_frame_spectrum_processing.cpp
    void OnFilter();
    void OnDeconvolution();
    void OnGenerateFromModel();
    void OnTransform(unsigned index);
    void OnDistributionMenu(const PlotNotification& notification);
    // The statistics page of distribution n (Info): true when its statistics grid changed.
    bool ShowDistributionStatistics(unsigned n, unsigned count, PointRange range, bool whole);
    void OnSaveDistribution(unsigned n);

    void create_status_bar();
    // The fonts and images of the window and its children for the window's DPI now.
    void scale_to_dpi();
    void create_toolbar();
    void create_isotope_box();
    void create_client();
    void build_language_menu();
    void layout_status_bar();
    // Reads the list from the registry and attaches it to the popup holding `first_id`.
    void read_recent_list(RecentDocumentList& list, const wchar_t* key);
    void update_recent_menu(const RecentDocumentList& list);
    // Loads the file into the spectrum; the spectrum stays as it was when this fails (false)
    // or when the user keeps its unsaved changes.
    bool load_spectrum(const std::wstring& path);
    // Makes `loaded` the document's spectrum (a running fit ends first): the model's
    // direction and levels follow it, and its history starts empty.
    void adopt_spectrum(SpectrumData loaded);
    bool save_spectrum_as(const std::wstring& path);

    ScopedAccelerators accelerators_;
    ScopedIcon icon_;
    ScopedFont font_;
    HWND toolbar_ = nullptr;
    HWND status_bar_ = nullptr;
    HWND isotope_box_ = nullptr;
    CSplitter splitter_;
    CTabContainer tabs_;
    int mouse_mode_ = 2;
    bool round_results_ = false;
    CModelDataView plot_{0};
    ModelState document_;
    std::wstring spectrum_file_name_;
    bool shutting_down_ = false;
    RecentDocumentList recent_models_{601};
    RecentDocumentList recent_spectra_{621};
    RecentDocumentList recent_folders_{661};
    RecentDocumentList recent_calibrations_{ID_SPECTRUM_RECENT_CALIBRATION_FIRST};
    KeywordList transform_parameters_;
    std::wstring default_folder_;
    // The placeholder text of each recent list's empty menu, as the resource gives it.
    std::map<UINT, std::wstring> empty_texts_;

    std::unique_ptr<IDocumentChanges> own_changes_;
    IDocumentChanges* document_changes_ = nullptr;
    MessageMap::NotifyHandler notification_handler_;
    std::map<CommandGroup, MessageMap::CommandHandler> group_handlers_;

    // ---- Document commands (main_frame_document.cpp) ----
public:
    // The custom colours that every colour dialog of the window shares.
    static COLORREF* CustomColors();

private:
    // The range and distribution gestures of the plot; false for other notifications.
    bool OnPlotGesture(const NMHDR& header);
    void run_document_command(UINT id);
    void OnClearSpectrum();
    // Before the spectrum is cleared or replaced: unsaved changes are offered for saving
    // (message 50013); false when the spectrum is to stay.
    bool spectrum_may_go();
    void OnSpectrumInformation();
    void OnComponentColor();
    void OnIsotopeChosen(UINT item);
    // The parameter grid's page shows the document again (its cells are read on paint).
    void repaint_parameter_grid();
    DistributionDrawing drawing_;
    // The fit and what the window shows of it.
    // Refreshes grids, plot and the chi-square text (flags of UpdateViewsFlags) and
    // returns whether fit results are on show: for the fit's messages and document_changed.
    bool UpdateViews(int flags, const FitStatus* status = nullptr);
    void apply_command_states();
    void set_status_text(int pane, const std::wstring& text);
    FitSettings fit_settings_;
    FitEngine fit_engine_ = run_lm_fit;
    bool results_ = false;
    // What the last UpdateUIState applied, so that only changes reach menus and toolbar.
    std::vector<CommandState> applied_states_;
    std::wstring applied_title_;
    // Last, so that it goes first: its copy of the model shares components with the document.
    std::unique_ptr<FitThread> fit_;
    // ---- The grids (main_frame_grids.cpp) ----
    void create_grids();
    // The grids' notifications, and the list views' own ones reflected back to the grid
    // that sent them; nothing for a notification of another window.
    std::optional<LRESULT> OnGridNotify(NMHDR& header);
    // A grid edit, cut or paste has changed the document.
    void after_grid_change();
    void OnGridSelChange();
    void OnCorrelationSelChange();
    void OnGridContextMenu(POINT at);
    void OnRoundResults();
    // The focused grid's Copy, Paste and Cut keys.
    bool translate_grid_keys(MSG& message);
    CGrid* focused_grid();
    ProgramModelFileParts grid_parts_;
    // A running fit shares the components with the document: it ends before a grid edit.
    ModelStateGridDocument grid_document_{document_, grid_parts_, [this] { PostFitControl(FitCtlAbort); }};
    // Options: editable, show errors, parameter mode, use fit values, rounding.
    CModelGrid parameter_grid_{grid_document_, ModelGridOptions{false, false, true, false, true}};
    CModelGrid fit_result_grid_{grid_document_, ModelGridOptions{false, false, false, true, true}};
    CCorrGrid correlation_grid_;
    std::function<GridCell()> parameter_cell_source_;
    // ---- Component commands and the catalogue menus (main_frame_components.cpp) ----
public:
    // The Isotope, Add subspectrum and Add distribution menus from the isotope table and
    // the catalogue, the first isotope checked; OnCreate builds them once.
    void BuildModelMenus();
    // Adds catalogue entry `index` (-1: the default baseline) for `isotope` after the
    // selected component, wrapped in a distribution when asked; an error is shown. False
    // when nothing was added (cancelled or failed). The caller aborts a running fit and
    // refreshes the views.
    bool AddSubspectrum(int index, const Isotope* isotope, bool as_distribution);

private:
    void OnAddComponent(UINT id);
    void OnDeleteSubspectrum();
    void OnSubspectrumProperties();
    void OnIsotopeInfo();
    // The distribution dialog, owned by the frame, for the component commands.
    ChooseDistribution distribution_dialog();
    void report_add_error(const std::string& text);
    // The popup of the menu bar that holds the command `id`.
    HMENU popup_of(UINT id) const;

    // ---- Model files (main_frame_model_files.cpp) ----
    void OnOpenModel();
    void OnSaveModelQuick();
    void OnSaveModel();
    void OnSetDefaultFolder();
    // Fills the submenu holding `first_id` with the titles of the items `item` gives.
    void BuildDemoMenu(HMENU menu, UINT first_id, bool (*item)(unsigned, std::wstring&));
    void OnDemoSpectrum(int index);
    void OnDemoModel(int index);
    // Before the model is replaced: stops a running fit and offers unsaved changes for
    // saving; false when the model is to stay.
    bool prepare_model_replacement();
    // Saves the model and makes the path its name; false (shown) when the save failed.
    bool save_model_as(const std::wstring& path);
    // save_model_as with the spectrum's file named in the model file.
    bool save_model_named(const std::wstring& path);
    ModelFileName model_file_name_;
    // ---- Reports (main_frame_reports.cpp) ----
public:
    // Makes `path` the model's file, as a save does.
    void set_model_file_name(const std::wstring& path) { model_file_name_.set_file(path); }
    // The last fit's figures that the status line, the report and the results table
    // print; the fit's results message sets them.
    struct FitFigures {
        double chi_square = 0.0;
        double reduced_chi_square = 0.0;
        int stop_code = 0;
    };
    const FitFigures& last_fit() const { return last_fit_; }
    void set_last_fit(const FitFigures& figures) { last_fit_ = figures; }

private:
    void OnSaveResults();
    void OnSaveResultsTable();
    void OnViewResults();
    void OnSaveGraphTable();
    void OnSaveAllResults();

    FitFigures last_fit_;
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
    void links_changed(DocumentChange change);
};
