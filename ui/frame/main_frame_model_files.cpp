// Model file commands: open (with the preview dialog), save, quick save, the recent
// models and folders, the default folder and the example spectra and models. Whatever
// replaces the model first stops a running fit and offers unsaved changes for saving;
// loading is all or nothing.
#include "ui/frame/main_frame.h"

#include <cmath>
#include <exception>

#include "core/text/example_items.h"
#include "core/text/kwfile.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "plot/plot_palette.h"
#include "catalogue/program_model_file_parts.h"
#include "ui/frame/file_filters.h"
#include "ui/frame/menu_popups.h"
#include "ui/dialogs/open_dialog.h"
#include "ui/registry_list_store.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"

namespace {

constexpr COLORREF default_background = 0x800000;

std::wstring absolute_path(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

void show_error(HWND owner, const std::exception& error, const wchar_t* caption)
{
    show_message_box(owner, utf8_to_wide(error.what()), caption, MB_OK | MB_ICONERROR);
}

} // namespace

void CMainFrame::OnModelFileCommand(UINT id)
{
    if (id >= ID_FILE_DEMO_MODEL_FIRST) return OnDemoModel(static_cast<int>(id - ID_FILE_DEMO_MODEL_FIRST));
    if (id >= ID_FILE_DEMO_SPECTRUM_FIRST) return OnDemoSpectrum(static_cast<int>(id - ID_FILE_DEMO_SPECTRUM_FIRST));
    if (id >= ID_FILE_RECENT_MODEL_FIRST && id < ID_FILE_RECENT_MODEL_FIRST + RecentDocumentList::max_capacity) {
        const std::optional<std::wstring> path = recent_models_.entry_for_command(id);
        if (path && prepare_model_replacement()) OpenModelFile(*path, id);
        return;
    }
    switch (id) {
    case ID_FILE_OPEN_MODEL: OnOpenModel(); break;
    case ID_FILE_SAVE_MODEL_QUICK: OnSaveModelQuick(); break;
    case ID_FILE_SAVE_MODEL: OnSaveModel(); break;
    case ID_FILE_SET_DEFAULT_FOLDER: OnSetDefaultFolder(); break;
    default: break;
    }
}

bool CMainFrame::prepare_model_replacement()
{
    PostFitControl(FitCtlAbort);
    return may_replace_model(*document_changes_, [this](CloseQuestion) {
        switch (show_message_box(hwnd(), MessageText(50012).str(), MessageText(50000).str(),
                                 MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return CloseAnswer::yes;
        case IDNO: return CloseAnswer::no;
        default: return CloseAnswer::cancel;
        }
    });
}

void CMainFrame::OnOpenModel()
{
    if (!prepare_model_replacement()) return;
    FileDialogRequest request;
    request.owner = hwnd();
    request.filter = model_file_filter;
    request.default_extension = L"mdl";
    if (!default_folder_.empty())
        request.initial_folder = default_folder_;
    else
        request.initial_name = model_file_name_.quick_save_target().value_or(std::wstring());
    COpenDialog dialog(request, GetCurrentIsotope());
    if (const std::optional<std::wstring> path = dialog.DoModal()) OpenModelFile(*path, 0);
}

void CMainFrame::OpenModelFile(const std::wstring& path, UINT recent_id)
{
    try {
        // What the frame takes from the file besides the model is read first, so that a
        // value it cannot use stops the open before anything has changed.
        KeywordList keys;
        kwfile_load(path, keys);
        int background = static_cast<int>(default_background);
        kwlist_get_int(keys, L"BackgroundColor", background);
        const std::wstring folder = default_folder_.empty() ? parent_folder(absolute_path(path)) : std::wstring();
        document_.load_model_file(GetCurrentIsotope(), path, ProgramModelFileParts());
        plot_palette(0)->colors[4] = static_cast<COLORREF>(background);
        model_file_name_.set_file(path);
        document_changed(DocumentChange::model);
        recent_models_.add(path);
        update_recent_menu(recent_models_);
        if (tabs_.hwnd()) tabs_.ActivatePage(tabs_.page(0));
        if (!folder.empty()) SetCurrentFolder(folder);
    } catch (const std::exception& error) {
        if (recent_id != 0) {
            recent_models_.remove(path);
            update_recent_menu(recent_models_);
        }
        show_error(hwnd(), error, L"Open failed");
    }
    RegistryListStore store(models_key);
    recent_models_.write(store);
}

void CMainFrame::SetCurrentFolder(const std::wstring& folder)
{
    default_folder_ = folder;
    if (folder.empty()) return;
    recent_folders_.add(folder);
    RegistryListStore store(folders_key);
    recent_folders_.write(store);
    update_recent_menu(recent_folders_);
}

void CMainFrame::OnSaveModelQuick()
{
    const std::optional<std::wstring> target = model_file_name_.quick_save_target();
    if (!target) return OnSaveModel();
    save_model_as(*target);
}

void CMainFrame::OnSaveModel()
{
    FileDialogRequest request;
    request.owner = hwnd();
    request.save = true;
    request.filter = model_file_filter;
    request.default_extension = L"mdl";
    request.initial_folder = default_folder_;
    request.initial_name = model_file_name_.proposed_name(spectrum_file_name_);
    if (const std::optional<std::wstring> path = show_file_dialog(request)) save_model_named(*path);
}

bool CMainFrame::save_model_named(const std::wstring& path)
{
    // The model file names its spectrum; the name is kept only once the save succeeded.
    const KeywordList before = document_.model.keywords;
    if (!spectrum_file_name_.empty()) kwlist_set(document_.model.keywords, L"Spectrum", spectrum_file_name_, KWHidden);
    if (save_model_as(path)) return true;
    document_.model.keywords = before;
    return false;
}

bool CMainFrame::save_model_as(const std::wstring& path)
{
    try {
        document_.save_model_file(path, ProgramModelFileParts());
    } catch (const std::exception& error) {
        show_error(hwnd(), error, L"Save failed");
        return false;
    }
    model_file_name_.set_file(path);
    UpdateUIState();
    return true;
}

void CMainFrame::OnSetDefaultFolder()
{
    std::wstring start = default_folder_;
    if (start.empty()) start = recent_folders_.entry_for_command(recent_folders_.first_id()).value_or(std::wstring());
    if (const std::optional<std::wstring> folder = show_folder_dialog(hwnd(), start)) SetCurrentFolder(*folder);
}

void CMainFrame::BuildDemoMenu(HMENU menu, UINT first_id, bool (*item)(unsigned, std::wstring&))
{
    // Each list has a hundred ids; an item without a title keeps its id unused.
    const Submenu submenu = submenu_holding(menu, first_id, first_id + 99);
    if (!submenu.popup) return;
    clear_submenu(submenu);
    std::wstring text;
    for (unsigned n = 0; item(n, text); ++n) {
        KeywordList keys;
        kwfile_load_from_memory(text, keys);
        std::wstring title;
        if (kwlist_find(keys, L"Title", title)) AppendMenuW(submenu.popup, MF_STRING, first_id + n, title.c_str());
    }
    finish_submenu(submenu, first_id);
}

void CMainFrame::OnDemoSpectrum(int index)
{
    std::wstring text;
    if (index < 0 || !demo_spectrum_item(static_cast<unsigned>(index), text)) return;
    // The model loses its file name below: its unsaved changes are offered first.
    if (!prepare_model_replacement()) return;
    SpectrumData loaded;
    try {
        loaded.load_text(text);
    } catch (const std::exception& error) {
        show_error(hwnd(), error, L"Open failed");
        return;
    }
    // An uncalibrated spectrum is taken only when the user agrees.
    double price = 0.0;
    if ((kwlist_get_double(loaded.keywords, L"(mm/s)PerChannel", price) ||
         kwlist_get_double(loaded.keywords, L"ChannelPrice(mm/s)", price)) &&
        price == 1.0 &&
        show_message_box(hwnd(), MessageText(50032).str(), MessageText(50033).str(), MB_OKCANCEL | MB_ICONQUESTION) !=
            IDOK)
        return;
    if (!spectrum_may_go()) return;
    adopt_spectrum(std::move(loaded));
    // The title names no file: a save of the spectrum asks for one.
    spectrum_file_name_.clear();
    model_file_name_.clear();
    const SpectrumModel& model = document_.model;
    if (model.component_count() == 0 || !model.components[0]->is_baseline()) AddSubspectrum(-1, GetCurrentIsotope(), false);
    document_changed(DocumentChange::spectrum_replaced);
}

void CMainFrame::OnDemoModel(int index)
{
    std::wstring text;
    if (index < 0 || !demo_model_item(static_cast<unsigned>(index), text)) return;
    if (!prepare_model_replacement()) return;
    try {
        document_.load_model_text(GetCurrentIsotope(), text, ProgramModelFileParts());
    } catch (const std::exception& error) {
        show_error(hwnd(), error, L"Open failed");
        return;
    }
    std::wstring title;
    kwlist_find(document_.model.keywords, L"Title", title);
    model_file_name_.set_example(title);
    document_changed(DocumentChange::model);
    if (tabs_.hwnd()) tabs_.ActivatePage(tabs_.page(0));
}
