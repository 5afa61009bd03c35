#include "wingui/dialog.h"

#include "wingui/logic/dialog_numbers.h"
#include "wingui/boundary.h"
#include "wingui/resources.h"

ModalDialog::ModalDialog(UINT template_id) : template_id_(template_id) {}

INT_PTR ModalDialog::run(HWND owner)
{
    const DLGTEMPLATE* dialog_template = find_dialog_resource(template_id_);
    if (!dialog_template) return -1;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog_template, owner, dialog_procedure,
                                   reinterpret_cast<LPARAM>(this));
}

void ModalDialog::anchor(int control_id, unsigned anchors) { anchored_.push_back({control_id, anchors, {}}); }

RECT ModalDialog::take_place_of(int id)
{
    const HWND control = GetDlgItem(hwnd_, id);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
    DestroyWindow(control);
    return rect;
}

void ModalDialog::size_grip(int control_id)
{
    grip_id_ = control_id;
    anchor(control_id, anchor_right | anchor_bottom);
}

INT_PTR CALLBACK ModalDialog::dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<ModalDialog*>(lparam);
        self->hwnd_ = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
    }
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    // A dialog whose set-up failed cannot be used: it closes rather than show half-filled.
    return guarded([&] { return self->handle(message, wparam, lparam); },
                   [&] { return message == WM_INITDIALOG ? (EndDialog(dialog, IDCANCEL), TRUE) : FALSE; });
}

INT_PTR ModalDialog::handle(UINT message, WPARAM wparam, LPARAM lparam)
{
    LRESULT result = 0;
    if (message != WM_INITDIALOG && map_.dispatch(message, wparam, lparam, result)) {
        // A dialog procedure returns handled or not; a result goes through DWLP_MSGRESULT.
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return on_init();
    case WM_SIZE:
        resized(wparam, LOWORD(lparam), HIWORD(lparam));
        return FALSE;
    case WM_GETMINMAXINFO:
        if (!minimum_size_.cx) return FALSE;
        reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {minimum_size_.cx, minimum_size_.cy};
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) ok();
        else if (LOWORD(wparam) == IDCANCEL) end(IDCANCEL);
        else return FALSE;
        return TRUE;
    }
    return FALSE;
}

void ModalDialog::initialise()
{
    RECT client;
    GetClientRect(hwnd_, &client);
    initial_width_ = client.right;
    initial_height_ = client.bottom;
    if (grip_id_) {
        RECT window{};
        GetWindowRect(hwnd_, &window);
        minimum_size_ = {window.right - window.left, window.bottom - window.top};
    }
    for (Anchored& control : anchored_) {
        RECT rect{};
        const HWND window = GetDlgItem(hwnd_, control.id);
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&rect), 2);
        control.initial = {rect.left, rect.top, rect.right, rect.bottom};
    }
    DataExchange dx(hwnd_, false);
    exchange(dx);
}

void ModalDialog::ok()
{
    DataExchange dx(hwnd_, true);
    exchange(dx);
    if (!dx.failed()) end(IDOK);
}

void ModalDialog::resized(WPARAM kind, int width, int height)
{
    if (kind == SIZE_MINIMIZED) return;
    if (grip_id_) ShowWindow(GetDlgItem(hwnd_, grip_id_), kind == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    layout(width, height);
}

void ModalDialog::layout(int width, int height)
{
    if (anchored_.empty() || !initial_width_) return;
    // One deferred move for all controls, so they do not repaint one by one.
    HDWP moves = BeginDeferWindowPos(static_cast<int>(anchored_.size()));
    for (const Anchored& control : anchored_) {
        const LayoutRect r =
            anchored_rect(control.initial, control.anchors, initial_width_, initial_height_, width, height);
        if (moves)
            moves = DeferWindowPos(moves, GetDlgItem(hwnd_, control.id), nullptr, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves) EndDeferWindowPos(moves);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::wstring DataExchange::field(int id) const
{
    const HWND control = GetDlgItem(dialog_, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void DataExchange::reject(int id)
{
    MessageBeep(static_cast<UINT>(-1));
    const HWND control = GetDlgItem(dialog_, id);
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);
    failed_ = true;
}

void DataExchange::text(int id, std::wstring& value)
{
    if (failed_) return;
    if (reading_) value = field(id);
    else SetDlgItemTextW(dialog_, id, value.c_str());
}

template <class T, class Read>
void DataExchange::number(int id, T& value, const std::wstring& text, Read read)
{
    if (failed_) return;
    if (!reading_) {
        SetDlgItemTextW(dialog_, id, text.c_str());
    } else if (const auto read_value = read(field(id))) {
        value = *read_value;
    } else {
        reject(id);
    }
}

void DataExchange::integer(int id, int& value) { number(id, value, std::to_wstring(value), read_field_int); }

void DataExchange::integer(int id, int& value, int low, int high)
{
    number(id, value, std::to_wstring(value), [low, high](std::wstring_view text) {
        const std::optional<int> read = read_field_int(text);
        return read && *read >= low && *read <= high ? read : std::nullopt;
    });
}

void DataExchange::natural(int id, unsigned& value)
{
    number(id, value, std::to_wstring(value), read_field_unsigned);
}

void DataExchange::check(int id, bool& value)
{
    if (failed_) return;
    if (reading_) value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
    else CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void DataExchange::real(int id, double& value, int precision)
{
    number(id, value, format_field_double(value, precision), read_dialog_float);
}
