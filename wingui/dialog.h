// A modal dialog from a dialog resource in the user-interface language, with data
// exchange between its fields and the object's members, and resizing by anchors.
// Derived dialogs add their handlers to the message map in their constructor and bind
// their fields in `exchange`; OK reads every field back and closes only when all read.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wingui/logic/dialog_layout.h"
#include "wingui/message_map.h"

class DataExchange;

class ModalDialog {
public:
    explicit ModalDialog(UINT template_id);
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // Runs the dialog: IDOK, IDCANCEL or what a handler passed to `end`; -1 when the
    // dialog could not be created.
    INT_PTR run(HWND owner);

protected:
    HWND hwnd() const { return hwnd_; }
    MessageMap& message_map() { return map_; }
    void end(INT_PTR result) { EndDialog(hwnd_, result); }

    // Binds fields to members; called to fill the fields after WM_INITDIALOG and to read
    // them on OK.
    virtual void exchange(DataExchange&) {}
    // After the fields are filled; true lets the system focus the first control.
    virtual bool on_init() { return true; }
    // A control that keeps its distances to the given edges when the dialog is resized.
    void anchor(int control_id, unsigned anchors);
    // Destroys control `id` and returns its rectangle in client coordinates, for a
    // window made at run time to take its place (and its id).
    RECT take_place_of(int id);
    // The size grip `control_id` (a size-box scroll bar) in the bottom-right corner: the
    // dialog then keeps at least the size it opens with, and the grip hides while the
    // dialog is maximised.
    void size_grip(int control_id);

private:
    static INT_PTR CALLBACK dialog_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR handle(UINT message, WPARAM wparam, LPARAM lparam);
    void initialise();
    void ok();
    void layout(int width, int height);
    void resized(WPARAM kind, int width, int height);

    struct Anchored {
        int id;
        unsigned anchors;
        LayoutRect initial;
    };

    UINT template_id_;
    HWND hwnd_ = nullptr;
    MessageMap map_;
    std::vector<Anchored> anchored_;
    int initial_width_ = 0, initial_height_ = 0;
    int grip_id_ = 0;
    SIZE minimum_size_{};
};

// Moves values between dialog fields and variables, in one direction per pass. Reading
// is strict: a field that does not hold a valid value beeps, takes the focus, and marks
// the pass failed; later fields are left alone.
class DataExchange {
public:
    DataExchange(HWND dialog, bool reading) : dialog_(dialog), reading_(reading) {}

    bool reading() const { return reading_; }
    bool failed() const { return failed_; }

    void text(int id, std::wstring& value);
    void integer(int id, int& value);
    // An integer from `low` to `high`; any other number is refused like a non-number.
    void integer(int id, int& value, int low, int high);
    void natural(int id, unsigned& value);
    void check(int id, bool& value);
    // Written with "%.*g" and `precision` significant digits; read as the dialogs' float
    // fields are (read_dialog_float: "-0" and ".0" are refused).
    void real(int id, double& value, int precision);

private:
    std::wstring field(int id) const;
    void reject(int id);
    // Writes `text`, or reads the field with `read` into `value`.
    template <class T, class Read>
    void number(int id, T& value, const std::wstring& text, Read read);

    HWND dialog_;
    bool reading_;
    bool failed_ = false;
};
