// The window layer with real windows under Wine: message maps (messages, commands and
// ranges, notifications, reflection, chaining), the exception boundary, the message
// loop's idle rule and filters, subclassed and superclassed controls, data exchange.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "wingui/control.h"
#include "wingui/dialog.h"
#include "wingui/message_loop.h"
#include "wingui/window.h"
#include "tests/wingui/win/recorded_dialogs.h"

namespace {

// A window whose map the test fills.
class TestWindow : public Window {
public:
    using Window::message_map;

    bool create_popup()
    {
        WindowPlacement placement;
        placement.style = WS_POPUP;
        placement.width = placement.height = 100;
        placement.x = placement.y = 0;
        return create(L"Vexmoor.TestWindow", {}, placement);
    }
};

class TestControl : public Control {
public:
    using Control::message_map;
};

NMHDR notification(HWND from, UINT id, UINT code) { return NMHDR{from, id, code}; }

} // namespace

TEST(MessageMap, RoutesMessagesCommandsRangesAndNotificationsThenChains)
{
    TestWindow window;
    std::vector<std::wstring> calls;
    MessageMap base;
    base.on_message(WM_USER + 7, [&](WPARAM, LPARAM) { return calls.push_back(L"base"), LRESULT{70}; });
    MessageMap& map = window.message_map();
    map.on_message(WM_USER, [&](WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); });
    map.on_command(451, [&](UINT id, UINT code, HWND) { calls.push_back(L"exit " + std::to_wstring(id + code)); });
    map.on_command(30006, [&](UINT, UINT, HWND) { calls.push_back(L"selchange"); }, CBN_SELCHANGE);
    map.on_command_range(702, 750, [&](UINT id, UINT, HWND) { calls.push_back(L"language " + std::to_wstring(id)); });
    map.on_notify(9001, 1002, [&](NMHDR& header) { return calls.push_back(L"grid"), LRESULT(header.code); });
    map.chain(base);
    ASSERT_TRUE(window.create_popup());
    const HWND hwnd = window.hwnd();

    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 2, 3), 5);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(451, 0), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(30006, CBN_DROPDOWN), 0);  // another code: not routed
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(30006, CBN_SELCHANGE), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(703, 0), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(751, 0), 0);  // outside the range
    NMHDR header = notification(nullptr, 9001, 1002);
    EXPECT_EQ(SendMessageW(hwnd, WM_NOTIFY, 9001, reinterpret_cast<LPARAM>(&header)), 1002);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 7, 0, 0), 70);
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"exit 451", L"selchange", L"language 703", L"grid", L"base"}));
    // Unhandled messages get the system's default: WM_GETTEXTLENGTH of an untitled window.
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(MessageMap, NotificationsTheParentLeavesAreReflectedToTheSendingControl)
{
    TestWindow parent;
    ASSERT_TRUE(parent.create_popup());
    TestControl child;
    ASSERT_TRUE(child.create(L"BUTTON", parent.hwnd(), 17, WS_CHILD));
    UINT reflected_code = 0;
    child.message_map().on_reflected_notify(NM_CLICK, [&](NMHDR& header) {
        reflected_code = header.code;
        return LRESULT{42};
    });
    NMHDR header = notification(child.hwnd(), 17, NM_CLICK);
    EXPECT_EQ(SendMessageW(parent.hwnd(), WM_NOTIFY, 17, reinterpret_cast<LPARAM>(&header)), 42);
    EXPECT_EQ(reflected_code, UINT(NM_CLICK));
}

TEST(Boundary, AnExceptionInAHandlerIsShownAndTheWindowLivesOn)
{
    RecordedDialogs messages;  // what the exception boundary shows
    TestWindow window;
    window.message_map().on_message(WM_USER, [](WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("Bad value"); });
    window.message_map().on_message(WM_USER + 1, [](WPARAM, LPARAM) { return LRESULT{5}; });
    ASSERT_TRUE(window.create_popup());
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_USER, 0, 0), 0);  // the default procedure's answer
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{L"Bad value"});
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_USER + 1, 0, 0), 5);
}

TEST(Controls, SubclassedAndSuperclassedControlsSeeTheirMessagesFirst)
{
    TestWindow parent;
    ASSERT_TRUE(parent.create_popup());
    ASSERT_TRUE(register_superclass(L"EDIT", L"Vexmoor.TestEdit"));
    TestControl edit;
    ASSERT_TRUE(edit.create(L"Vexmoor.TestEdit", parent.hwnd(), 5, WS_CHILD));
    int set_texts = 0;
    edit.message_map().on_message(WM_USER + 3, [](WPARAM, LPARAM) { return LRESULT{33}; });
    edit.message_map().on_message(WM_SETTEXT, [&](WPARAM, LPARAM) {
        ++set_texts;
        return DefSubclassProc(edit.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    });
    EXPECT_EQ(SendMessageW(edit.hwnd(), WM_USER + 3, 0, 0), 33);
    SetWindowTextW(edit.hwnd(), L"typed");
    wchar_t text[32];
    GetWindowTextW(edit.hwnd(), text, 32);
    EXPECT_EQ(std::wstring(text), L"changed");  // the edit's own procedure did the rest
    EXPECT_EQ(set_texts, 1);

    const HWND hwnd = edit.hwnd();
    edit.detach();
    SetWindowTextW(hwnd, L"typed");
    GetWindowTextW(hwnd, text, 32);
    EXPECT_EQ(std::wstring(text), L"typed");
}

namespace {

// Counts idle passes; at the first it posts a burst that mixes quiet messages with
// ordinary ones, at the second it ends the loop.
class BurstScript : public CIdleHandler, public CMessageFilter {
public:
    explicit BurstScript(HWND window) : window_(window) {}
    bool OnIdle(int idle_count) override
    {
        counts.push_back(idle_count);
        if (counts.size() == 1) {
            PostMessageW(window_, WM_USER, 0, 0);
            PostMessageW(window_, WM_MOUSEMOVE, 0, 0);
            PostMessageW(window_, WM_USER, 0, 0);
            PostMessageW(window_, WM_USER + 1, 0, 0);  // taken by the filter
        } else if (counts.size() == 2) {
            PostQuitMessage(7);
        }
        return false;
    }
    bool PreTranslateMessage(MSG& message) override
    {
        filtered.push_back(message.message);
        return message.message == WM_USER + 1;
    }
    std::vector<int> counts;
    std::vector<UINT> filtered;

private:
    HWND window_;
};

class OrderFilter : public CMessageFilter {
public:
    OrderFilter(std::vector<int>& order, int tag) : order_(order), tag_(tag) {}
    bool PreTranslateMessage(MSG& message) override
    {
        if (message.message == WM_USER) order_.push_back(tag_);
        return false;
    }

private:
    std::vector<int>& order_;
    int tag_;
};

} // namespace

TEST(MessageLoop, TheIdleHandlerRunsOncePerBurstAndFiltersGoLastFirst)
{
    TestWindow window;
    int dispatched = 0;
    window.message_map().on_message(WM_USER, [&](WPARAM, LPARAM) { return ++dispatched, LRESULT{0}; });
    window.message_map().on_message(WM_USER + 1, [&](WPARAM, LPARAM) { return ++dispatched, LRESULT{0}; });
    ASSERT_TRUE(window.create_popup());

    MessageLoop loop;
    const ScopedLoopRegistration registration(loop);
    EXPECT_EQ(current_message_loop(), &loop);
    BurstScript script(window.hwnd());
    std::vector<int> order;
    OrderFilter first(order, 1), second(order, 2);
    loop.add_message_filter(&first);
    loop.add_message_filter(&second);
    loop.add_message_filter(&script);
    loop.add_idle_handler(&script);

    EXPECT_EQ(loop.run(), 7);
    // Once before the burst, once after it: never between its messages.
    EXPECT_EQ(script.counts, (std::vector<int>{0, 0}));
    EXPECT_EQ(dispatched, 2);  // the filtered message was not dispatched
    EXPECT_EQ(order, (std::vector<int>{2, 1, 2, 1}));
    loop.remove_message_filter(&script);
    loop.remove_idle_handler(&script);
}

TEST(MessageLoop, QuietMessagesDoNotRunTheIdleHandlerAgain)
{
    TestWindow window;
    window.message_map().on_message(WM_USER + 9, [](WPARAM, LPARAM) { return PostQuitMessage(0), LRESULT{0}; });
    ASSERT_TRUE(window.create_popup());
    // Another thread posts the quiet messages one by one, so the queue runs empty
    // between them, as it does while the mouse travels over a window.
    std::thread poster;
    struct Counter : CIdleHandler {
        std::function<void()> first_pass;
        int passes = 0;
        bool OnIdle(int) override
        {
            if (++passes == 1) first_pass();
            return false;
        }
    } counter;
    const HWND hwnd = window.hwnd();
    counter.first_pass = [&] {
        poster = std::thread([hwnd] {
            // Mouse moves over the client area and the frame, the caret blink.
            for (UINT quiet : {0x200u, 0xA0u, 0x118u, 0x200u}) {
                PostMessageW(hwnd, quiet, 0, 0);
                Sleep(40);
            }
            PostMessageW(hwnd, WM_USER + 9, 0, 0);
        });
    };
    MessageLoop loop;
    loop.add_idle_handler(&counter);
    loop.run();
    poster.join();
    EXPECT_EQ(counter.passes, 1);
}

TEST(DataExchange, WritesFieldsAndReadsThemBackStrictly)
{
    TestWindow dialog;
    ASSERT_TRUE(dialog.create_popup());
    for (int id : {10, 11, 12, 13})
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, dialog.hwnd(), reinterpret_cast<HMENU>(id), nullptr,
                        nullptr);
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, dialog.hwnd(),
                    reinterpret_cast<HMENU>(14), nullptr, nullptr);

    std::wstring name = L"Fe";
    int count = -3;
    unsigned points = 12;
    double tau = 1e-5;
    bool round = true;
    DataExchange write(dialog.hwnd(), false);
    write.text(10, name);
    write.integer(11, count);
    write.natural(12, points);
    write.real(13, tau, 6);
    write.check(14, round);
    wchar_t text[32];
    GetDlgItemTextW(dialog.hwnd(), 13, text, 32);
    EXPECT_EQ(std::wstring(text), L"1e-05");
    EXPECT_EQ(IsDlgButtonChecked(dialog.hwnd(), 14), BST_CHECKED);

    SetDlgItemTextW(dialog.hwnd(), 10, L"Sn");
    SetDlgItemTextW(dialog.hwnd(), 11, L" 40\t");
    SetDlgItemTextW(dialog.hwnd(), 12, L"1.5");  // rejected
    SetDlgItemTextW(dialog.hwnd(), 13, L"2");
    CheckDlgButton(dialog.hwnd(), 14, BST_UNCHECKED);
    DataExchange read(dialog.hwnd(), true);
    read.text(10, name);
    read.integer(11, count);
    read.natural(12, points);
    read.real(13, tau, 6);
    read.check(14, round);
    EXPECT_TRUE(read.failed());
    EXPECT_EQ(name, L"Sn");
    EXPECT_EQ(count, 40);
    EXPECT_EQ(points, 12u);  // kept
    EXPECT_EQ(tau, 1e-5);    // not read after the rejected field
    EXPECT_TRUE(round);
}

namespace {

// The tests' own resizable dialog (test_dialogs.rc), closed by OK as soon as it is up.
class ClosingDialog : public ModalDialog {
public:
    ClosingDialog() : ModalDialog(200) {}
    bool on_init() override
    {
        PostMessageW(hwnd(), WM_COMMAND, IDOK, 0);
        return true;
    }
};

class FailingDialog : public ModalDialog {
public:
    FailingDialog() : ModalDialog(200) {}
    bool on_init() override { throw std::runtime_error("Broken dialog"); }
};

} // namespace

namespace {

// A dialog with one number field, a stretching edit and bottom-right buttons. Once it is
// up it grows, gets `typed` into the field and OK; a step posted behind the OK only runs
// when OK left the dialog open, and then cancels it.
class FieldDialog : public ModalDialog {
public:
    explicit FieldDialog(const wchar_t* typed) : ModalDialog(200), typed_(typed)
    {
        anchor(10, anchor_left | anchor_top | anchor_right);
        anchor(IDOK, anchor_right | anchor_bottom);
        anchor(IDCANCEL, anchor_right | anchor_bottom);
        message_map().on_message(WM_APP, [this](WPARAM step, LPARAM) { return run_step(step), LRESULT{0}; });
    }
    double value = 2.5;
    RECT edit_before{}, edit_after{}, ok_before{}, ok_after{};
    bool open_after_ok = false;

private:
    void exchange(DataExchange& dx) override { dx.real(10, value, 6); }
    bool on_init() override
    {
        PostMessageW(hwnd(), WM_APP, 0, 0);
        return true;
    }
    RECT rect_of(int id) const
    {
        RECT rect;
        GetWindowRect(GetDlgItem(hwnd(), id), &rect);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void run_step(WPARAM step)
    {
        if (step == 1) {
            open_after_ok = true;
            PostMessageW(hwnd(), WM_COMMAND, IDCANCEL, 0);
            return;
        }
        edit_before = rect_of(10);
        ok_before = rect_of(IDOK);
        RECT window;
        GetWindowRect(hwnd(), &window);
        SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 40,
                     SWP_NOMOVE | SWP_NOZORDER);
        edit_after = rect_of(10);
        ok_after = rect_of(IDOK);
        SetDlgItemTextW(hwnd(), 10, typed_);
        SendMessageW(hwnd(), WM_COMMAND, IDOK, 0);
        PostMessageW(hwnd(), WM_APP, 1, 0);
    }

    const wchar_t* typed_;
};

} // namespace

TEST(ModalDialog, OkClosesOnlyWhenEveryFieldReads)
{
    FieldDialog rejected(L"3,5");
    EXPECT_EQ(rejected.run(nullptr), IDCANCEL);
    EXPECT_TRUE(rejected.open_after_ok);
    EXPECT_EQ(rejected.value, 2.5);

    FieldDialog accepted(L" 3.5 ");
    EXPECT_EQ(accepted.run(nullptr), IDOK);
    EXPECT_FALSE(accepted.open_after_ok);
    EXPECT_EQ(accepted.value, 3.5);
}

TEST(ModalDialog, ControlsFollowTheEdgesTheyAreAnchoredTo)
{
    FieldDialog dialog(L"1");
    dialog.run(nullptr);
    EXPECT_EQ(dialog.edit_after.left, dialog.edit_before.left);
    EXPECT_EQ(dialog.edit_after.right - dialog.edit_before.right, 100);  // stretched with the width
    EXPECT_EQ(dialog.edit_after.top, dialog.edit_before.top);
    EXPECT_EQ(dialog.ok_after.left - dialog.ok_before.left, 100);        // moved with the corner
    EXPECT_EQ(dialog.ok_after.top - dialog.ok_before.top, 40);
}

TEST(ModalDialog, RunsFromTheResourceAndAFailedSetUpCloses)
{
    ClosingDialog closing;
    EXPECT_EQ(closing.run(nullptr), IDOK);
    RecordedDialogs messages;  // what the exception boundary shows
    FailingDialog failing;
    EXPECT_EQ(failing.run(nullptr), IDCANCEL);
    EXPECT_EQ(messages.texts(), std::vector<std::wstring>{L"Broken dialog"});
    class Missing : public ModalDialog {
    public:
        Missing() : ModalDialog(4242) {}
    } missing;
    EXPECT_EQ(missing.run(nullptr), -1);
}
