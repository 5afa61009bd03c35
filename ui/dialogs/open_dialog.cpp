#include "ui/dialogs/open_dialog.h"

#include <exception>
#include <utility>

#include "core/document/model_file.h"
#include "core/text/text.h"
#include "catalogue/program_model_file_parts.h"
#include "ui/logic/open_preview.h"

namespace {

constexpr UINT layout_message = WM_APP;

} // namespace

COpenDialog::COpenDialog(FileDialogRequest request, const Isotope* isotope)
    : request_(std::move(request)), isotope_(isotope)
{
    // An absorption model until a file says otherwise.
    model_.scale = -1.0;
}

std::optional<std::wstring> COpenDialog::DoModal()
{
    request_.extension = this;
    return show_file_dialog(request_);
}

INT_PTR COpenDialog::hook_message(HWND hook, UINT message, WPARAM, LPARAM lparam)
{
    switch (message) {
    case WM_NOTIFY: {
        const auto& notify = *reinterpret_cast<const OFNOTIFYW*>(lparam);
        // A hook dialog answers through DWLP_MSGRESULT.
        SetWindowLongPtrW(hook, DWLP_MSGRESULT, OnFileDialogNotify(hook, notify));
        return TRUE;
    }
    case WM_SIZE:
    case layout_message: layout(hook); return FALSE;
    default: return FALSE;
    }
}

LRESULT COpenDialog::OnFileDialogNotify(HWND hook, const OFNOTIFYW& notify)
{
    switch (notify.hdr.code) {
    case CDN_INITDONE: OnInitDone(hook); return 0;
    case CDN_SELCHANGE: {
        const HWND dialog = GetParent(hook);
        std::wstring path(MAX_PATH, L'\0');
        LRESULT length = SendMessageW(dialog, CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
        // The answer is the length the path needs: ask again with room for it.
        if (length > static_cast<LRESULT>(path.size())) {
            path.assign(static_cast<std::size_t>(length), L'\0');
            length = SendMessageW(dialog, CDM_GETFILEPATH, path.size(), reinterpret_cast<LPARAM>(path.data()));
        }
        OnFileSelected(length > 0 ? std::wstring(path.c_str()) : std::wstring());
        return 0;
    }
    case CDN_INCLUDEITEM: return 1;  // every item is shown
    default: return 0;
    }
}

void COpenDialog::OnInitDone(HWND hook)
{
    // The hook dialog covers the whole common dialog; the template's static control marks
    // the preview's place on the screen, below the common dialog's controls, which the
    // plot window takes over with its id.
    const HWND place = GetDlgItem(hook, preview_id);
    RECT rect{};
    if (place) GetWindowRect(place, &rect);
    RECT client{};
    GetClientRect(GetParent(hook), &client);
    MoveWindow(hook, 0, 0, client.right, client.bottom, TRUE);
    if (place) {
        MapWindowPoints(nullptr, hook, reinterpret_cast<POINT*>(&rect), 2);
        DestroyWindow(place);
        preview_.Create(hook, rect, preview_id);
    }
    preview_.SetOptions(3, 0);
    preview_.hovered_point = -1;
    preview_.Redraw();
    // The common dialog places its own controls after this notification: the preview
    // takes their width once they are in place.
    PostMessageW(hook, layout_message, 0, 0);
}

void COpenDialog::layout(HWND hook)
{
    const HWND preview = preview_.window();
    if (!preview) return;
    RECT own{};
    GetWindowRect(preview, &own);
    std::vector<ScreenRect> controls;
    for (HWND child = GetWindow(GetParent(hook), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == hook || !IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        controls.push_back({r.left, r.top, r.right, r.bottom});
    }
    const std::optional<std::pair<int, int>> span = preview_span({own.left, own.top, own.right, own.bottom}, controls);
    if (!span) return;
    POINT corners[2] = {{span->first, own.top}, {span->second, own.bottom}};
    MapWindowPoints(nullptr, hook, corners, 2);
    MoveWindow(preview, corners[0].x, corners[0].y, corners[1].x - corners[0].x, corners[1].y - corners[0].y, TRUE);
}

void COpenDialog::OnFileSelected(const std::wstring& path)
{
    try {
        switch (preview_kind(path)) {
        case PreviewKind::spectrum: show_spectrum(path); break;
        case PreviewKind::model: show_model(path); break;
        case PreviewKind::none:
            clear_preview();
            preview_.note.clear();
            break;
        }
    } catch (const std::exception& error) {
        // The preview reports its errors itself, never in a message box.
        clear_preview();
        preview_.note = utf8_to_wide(error.what());
    }
    preview_.Redraw();
}

void COpenDialog::show_spectrum(const std::wstring& path)
{
    SpectrumData loaded;
    loaded.load_file(path);
    if (loaded.x_data.empty()) {
        clear_preview();
        preview_.note.clear();
        return;
    }
    clear_preview();
    data_ = std::move(loaded);
    data_.store_keywords();
    preview_.SetData(nullptr, &data_, nullptr, nullptr, nullptr, nullptr);
    preview_.SetOptions(1, 0);
    preview_.note = spectrum_preview_text(data_.keywords);
}

void COpenDialog::show_model(const std::wstring& path)
{
    KeywordList list;
    kwfile_load(path, list);
    const ProgramModelFileParts parts;
    LoadedModel loaded = read_model_keywords(list, model_, parts, path);
    clear_preview();
    loaded.model.keywords = std::move(list);
    loaded.model.isotope = isotope_;
    loaded.model.compile_expressions();
    loaded.model.apply_links(loaded.values, nullptr);
    model_ = std::move(loaded.model);
    values_ = std::move(loaded.values);
    lower_ = std::move(loaded.lower);
    upper_ = std::move(loaded.upper);
    flags_ = std::move(loaded.flags);
    // The spectrum the model was saved with, when it still loads.
    bool with_spectrum = false;
    std::wstring spectrum_path;
    if (kwlist_find(model_.keywords, L"Spectrum", spectrum_path)) {
        try {
            data_.load_file(spectrum_path);
            with_spectrum = !data_.x_data.empty();
        } catch (const std::exception&) {
        }
    }
    const SpectrumAnalysis fallback;
    const SpectrumAnalysis& analysis = with_spectrum ? data_.analysis(model_.is_emission()) : fallback;
    model_.set_levels(analysis.S, analysis.N0);
    preview_.SetData(&model_, with_spectrum ? &data_ : nullptr, &values_, nullptr, nullptr, nullptr);
    preview_.SetOptions(0x12, 0);
    preview_.note = model_preview_text(model_);
}

void COpenDialog::clear_preview() { preview_.SetData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }
