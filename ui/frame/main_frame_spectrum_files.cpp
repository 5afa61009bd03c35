// Spectrum file commands: open (with the preview dialog), save, the recent spectra,
// adding another spectrum's counts, and loading the velocity calibration of another
// spectrum file with its own recent list. A file that does not read changes nothing.
#include "ui/frame/main_frame.h"

#include <cmath>
#include <exception>
#include <stdexcept>

#include "core/calibration/document_calibration.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "ui/frame/file_filters.h"
#include "ui/logic/view_refresh.h"
#include "ui/dialogs/open_dialog.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"

std::optional<std::wstring> CMainFrame::ask_spectrum_file()
{
    FileDialogRequest request;
    request.owner = hwnd();
    request.filter = spectrum_file_filter;
    request.default_extension = L"spc";
    request.initial_folder = default_folder_;
    COpenDialog dialog(request, GetCurrentIsotope());
    return dialog.DoModal();
}

bool CMainFrame::read_spectrum_file(const std::wstring& path, SpectrumData& loaded)
{
    try {
        loaded.load_file(path);
        return true;
    } catch (const std::exception& error) {
        show_message_box(hwnd(), path + L"\n" + utf8_to_wide(error.what()), L"Open failed", MB_OK | MB_ICONERROR);
        return false;
    }
}

void CMainFrame::OnOpenSpectrum()
{
    if (const std::optional<std::wstring> path = ask_spectrum_file()) load_spectrum(*path);
}

bool CMainFrame::load_spectrum(const std::wstring& path)
{
    SpectrumData loaded;
    if (!read_spectrum_file(path, loaded)) return false;
    // The file is fine: it stays in the recent list whatever the answer.
    if (!spectrum_may_go()) return true;
    adopt_spectrum(std::move(loaded));
    spectrum_file_name_ = path;
    remember_file(recent_spectra_, spectra_key, path);
    document_changed(DocumentChange::spectrum_replaced);
    UpdateUIState();
    return true;
}

void CMainFrame::adopt_spectrum(SpectrumData loaded)
{
    PostFitControl(FitCtlAbort);
    document_.data = std::move(loaded);
    // The model's direction and levels follow the new spectrum, so that it lies on it.
    const bool emission = document_.data.analysis(false).peaks_up;
    document_.model.scale = emission ? std::fabs(document_.model.scale) : -std::fabs(document_.model.scale);
    document_.set_levels_from_spectrum();
    document_.adapt_to_spectrum();
    // The spectrum history's records hold the old spectrum's points: undoing them on the
    // new one would mix the two.
    document_.spectrum_history.clear();
}

void CMainFrame::OnSaveSpectrum(bool ask_for_name)
{
    std::wstring path = spectrum_file_name_;
    if (ask_for_name) {
        FileDialogRequest request;
        request.owner = hwnd();
        request.save = true;
        request.filter = spectrum_file_filter;
        request.default_extension = L"spc";
        request.initial_folder = spectrum_file_name_.empty() ? default_folder_ : parent_folder(spectrum_file_name_);
        request.initial_name = spectrum_file_name_;
        const std::optional<std::wstring> chosen = show_file_dialog(request);
        if (!chosen) return;
        path = *chosen;
    }
    save_spectrum_as(path);
}

bool CMainFrame::save_spectrum_as(const std::wstring& path)
{
    try {
        document_.data.store_keywords();
        kwfile_save(path, document_.data.keywords);
    } catch (const std::exception& error) {
        show_message_box(hwnd(), path + L"\n" + utf8_to_wide(error.what()), L"Save failed", MB_OK | MB_ICONERROR);
        return false;
    }
    spectrum_file_name_ = path;
    // Clear spectrum asks about changes made since this state.
    document_.spectrum_history.mark_saved();
    remember_file(recent_spectra_, spectra_key, path);
    return true;
}

void CMainFrame::OnRecentSpectrum(UINT id)
{
    const std::optional<std::wstring> path = recent_spectra_.entry_for_command(id);
    // A file that no longer opens leaves the list.
    if (path && !load_spectrum(*path)) forget_file(recent_spectra_, spectra_key, *path);
}

void CMainFrame::remember_file(RecentDocumentList& list, const wchar_t* key, const std::wstring& path)
{
    list.add(path);
    RegistryListStore store(key);
    list.write(store);
    update_recent_menu(list);
}

void CMainFrame::forget_file(RecentDocumentList& list, const wchar_t* key, const std::wstring& path)
{
    list.remove(path);
    RegistryListStore store(key);
    list.write(store);
    update_recent_menu(list);
}

void CMainFrame::OnAddSpectrum()
{
    const std::optional<std::wstring> path = ask_spectrum_file();
    SpectrumData other;
    if (!path || !read_spectrum_file(*path, other)) return;
    PostFitControl(FitCtlAbort);
    try {
        document_.add_spectrum(other, file_name_part(*path));
    } catch (const std::exception& error) {
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50041).str(), MB_OK | MB_ICONERROR);
        return;
    }
    document_changed(DocumentChange::spectrum);
}

void CMainFrame::OnCalibrationCommand(UINT id)
{
    if (id == ID_SPECTRUM_LOAD_CALIBRATION) {
        if (const std::optional<std::wstring> path = ask_spectrum_file()) load_calibration_file(*path);
        return;
    }
    if (id >= ID_SPECTRUM_RECENT_CALIBRATION_FIRST &&
        id < ID_SPECTRUM_RECENT_CALIBRATION_FIRST + RecentDocumentList::max_capacity) {
        const std::optional<std::wstring> path = recent_calibrations_.entry_for_command(id);
        if (path && !load_calibration_file(*path)) forget_file(recent_calibrations_, calibrations_key, *path);
        return;
    }
    OnCalibrate(id);
}

bool CMainFrame::load_calibration_file(const std::wstring& path)
{
    SpectrumData source;
    if (!read_spectrum_file(path, source)) return false;
    const Isotope* isotope = GetCurrentIsotope();
    PostFitControl(FitCtlAbort);
    try {
        if (!isotope) throw std::runtime_error(MessageText(50037, L"").to_utf8());
        load_calibration(document_, *isotope, source);
    } catch (const std::exception& error) {
        // The file read; it holds no calibration for this spectrum, and stays in the list.
        show_message_box(hwnd(), utf8_to_wide(error.what()), MessageText(50040).str(), MB_OK | MB_ICONERROR);
        return true;
    }
    remember_file(recent_calibrations_, calibrations_key, path);
    document_changed(DocumentChange::spectrum);
    return true;
}
