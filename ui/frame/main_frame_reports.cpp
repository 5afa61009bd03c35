// The report commands: the HTML report saved where the user chooses or shown from a
// temporary file, the results table, the graph table, and all of them with the model at
// once. None of them changes the document.
#include "ui/frame/main_frame.h"

#include <exception>
#include <optional>
#include <stdexcept>

#include "core/fit/fit_settings.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/graph_table.h"
#include "plot/html_report.h"
#include "plot/report_image.h"
#include "plot/results_table.h"
#include "ui/dialogs/report_dlg.h"
#include "ui/frame/file_filters.h"
#include "ui/logic/report_commands.h"
#include "ui/report_viewer.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/dialog_hooks.h"

namespace {

const wchar_t* const report_filter = L"HTML files (*.html)|*.html|All files (*.*)|*.*";
const wchar_t* const table_filter = L"CSV files (*.csv)|*.csv|All files (*.*)|*.*";
const wchar_t* const graph_filter = L"Text files (*.txt)|*.txt|CSV files (*.csv)|*.csv|All files (*.*)|*.*";

// The save dialog of a report command, proposing the model's (else the spectrum's)
// name in the default folder; nothing on Cancel.
std::optional<std::wstring> ask_results_path(CMainFrame& frame, const wchar_t* filter, const wchar_t* extension)
{
    FileDialogRequest request;
    request.owner = frame.hwnd();
    request.save = true;
    request.filter = filter;
    request.default_extension = extension;
    request.initial_folder = frame.default_folder();
    request.initial_name = report_file_stem(frame.model_file_name().name(), frame.spectrum_file_name());
    return show_file_dialog(request);
}

// The document's fit results; a model changed since its fit has none to report.
ResultsSource results_source(CMainFrame& frame)
{
    std::optional<ResultsSource> source =
        document_results(frame.document(), frame.spectrum_file_name(), frame.model_file_name().name());
    if (!source) throw std::runtime_error(MessageText(50222).to_utf8());
    return std::move(*source);
}

void write_report(CMainFrame& frame, const std::wstring& path)
{
    const ResultsSource source = results_source(frame);
    const ModelState& document = frame.document();
    const std::int32_t options = frame.plot_view().options;
    const unsigned flags = report_flags(options, frame.round_results());
    const std::wstring stop_text = MessageText(fit_stop_message_id(frame.last_fit().stop_code)).str();
    write_html_report(path, source, stop_text, flags, [&](std::wstring& page) {
        render_plot_png(page, document.model, document.data, document.fit_values, document.covariance, &document,
                        (flags & ReportNormalized) != 0, report_view_options(options));
    });
}

void save_failed(HWND owner, const std::exception& error)
{
    show_message_box(owner, utf8_to_wide(error.what()), L"Save failed", MB_OK | MB_ICONERROR);
}

} // namespace

void CMainFrame::OnReportCommand(UINT id)
{
    switch (id) {
    case ID_FILE_SAVE_RESULTS: OnSaveResults(); break;
    case ID_FILE_SAVE_RESULTS_TABLE: OnSaveResultsTable(); break;
    case ID_FILE_VIEW_RESULTS: OnViewResults(); break;
    case ID_FILE_SAVE_GRAPH_TABLE: OnSaveGraphTable(); break;
    case ID_FILE_SAVE_ALL_RESULTS: OnSaveAllResults(); break;
    default: break;
    }
}

void CMainFrame::OnSaveResults()
{
    const std::optional<std::wstring> path = ask_results_path(*this, report_filter, L"html");
    if (!path) return;
    try {
        write_report(*this, *path);
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
    }
}

void CMainFrame::OnSaveResultsTable()
{
    const std::optional<std::wstring> path = ask_results_path(*this, table_filter, L"csv");
    if (!path) return;
    try {
        write_results_table(*path, results_source(*this), last_fit_.chi_square, last_fit_.reduced_chi_square);
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
    }
}

void CMainFrame::OnViewResults()
{
    const std::wstring path = make_temp_file_name(std::wstring(temporary_report_prefix), L".html");
    try {
        if (path.empty()) throw std::runtime_error(MessageText(50223).to_utf8());
        write_report(*this, path);
        // A viewed report stays in the temporary folder until a later start clears it.
        CReportDlg viewer(path);
        const INT_PTR shown = viewer.run(GetActiveWindow());
        if (shown != CReportDlg::no_browser && shown != -1) return;
        // Without an HTML engine the system's browser may show it, and may still read it
        // later; a report nobody will read goes at once.
        if (show_report(hwnd(), path) == ReportOffer::Declined) DeleteFileW(path.c_str());
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
        if (!path.empty()) DeleteFileW(path.c_str());
    }
}

void CMainFrame::OnSaveGraphTable()
{
    const std::optional<std::wstring> path = ask_results_path(*this, graph_filter, L"txt");
    if (!path) return;
    // The table holds the curves the plot shows.
    const DVector& shown = plot_.parameters ? *plot_.parameters : document_.values;
    try {
        write_graph_table(*path, document_.model, document_.data, shown);
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
    }
}

void CMainFrame::OnSaveAllResults()
{
    // Without results there is nothing to save beside the model: said before asking.
    try {
        results_source(*this);
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
        return;
    }
    const std::optional<std::wstring> path = ask_results_path(*this, model_file_filter, L"mdl");
    if (!path || !save_model_named(*path)) return;
    // The other files share the model file's name, each with its own extension.
    try {
        write_report(*this, sibling_path(*path, L".html"));
        write_results_table(sibling_path(*path, L".csv"), results_source(*this), last_fit_.chi_square,
                            last_fit_.reduced_chi_square);
        write_graph_table(sibling_path(*path, L".txt"), document_.model, document_.data, document_.fit_values);
    } catch (const std::exception& error) {
        save_failed(hwnd(), error);
    }
}
