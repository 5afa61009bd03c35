// The grids as windows under Wine: the owner-data list view with its custom-drawn cells,
// padlock images and scripted text; keyboard movement; the in-place editor's commit
// rules; cell and row clipboard commands with the real clipboard and with a failing
// one; the correlation grid; the keyword-list editor dialog in both languages. Each
// grid is also written as a screenshot for a developer to look at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "subspec/distribution.h"
#include "tests/subspec/test_models.h"
#include "tests/support/fake_grid_document.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/pump_until.h"
#include "ui/clipboard.h"
#include "ui/controls/corr_grid.h"
#include "ui/controls/model_grid.h"
#include "ui/dialogs/prop_page_dlg.h"
#include "tests/ui/win/prop_page_driver.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"
#include "wingui/resources.h"
#include "wingui/scripted_text_draw.h"
#include "wingui/window.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"

namespace {

void pump()
{
    MSG msg;
    for (int i = 0; i < 5; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

// A top-level window that hosts a grid, reflects the list view's notifications to it and
// records the grid notifications.
class Host : public Window {
public:
    Host()
    {
        message_map().on_message(WM_NOTIFY, [this](WPARAM w, LPARAM l) {
            const auto& header = *reinterpret_cast<const NMHDR*>(l);
            if (header.code >= GRIDN_VALUE_CHANGED && header.code <= GRIDN_ACTIVATE)
                codes.push_back(header.code);
            return reflect_to_child(WM_NOTIFY, w, l);
        });
        WindowPlacement placement;
        placement.title = L"Grid";
        placement.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        placement.x = placement.y = 20;
        placement.width = 760;
        placement.height = 300;
        create(L"Vexmoor.GridHost", {}, placement);
    }
    RECT client() const
    {
        RECT r;
        GetClientRect(hwnd(), &r);
        return r;
    }
    std::vector<UINT> codes;
};

SpectrumModel grid_model(unsigned points)
{
    SpectrumModel m = model_test::model_of({model_test::auto_baseline(), make_subspec<test_models::TestLorentz>(nullptr),
                                            make_subspec<test_models::TestLorentz>(nullptr),
                                            make_distribution(model_test::lorentz(), points, {1})});
    m.insert_expression(0, L"ratio", L"[1:I]/[2:I]");
    m.insert_expression(1, L"broken", L"[9:I]+");
    return m;
}

struct ModelGridFixture : ::testing::Test {
    FakeGridDocument doc{grid_model(1000)};
    Host host;
    CModelGrid grid{doc, {true, false, true, false, true}};
    RecordedDialogs boxes;

    void SetUp() override
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
        doc.values(0) = 1000.0;
        doc.values(3) = 2.0, doc.values(6) = 1.0;
        doc.values(4) = 0.25, doc.values(7) = -0.5;
        doc.lower(4) = 0.25;  // on its bound: silver
        doc.upper(7) = -0.6;  // beyond its bound: red
        doc.flags[7] = ParamFree | ParamLocked;
        doc.flags[8] = ParamLocked;
        doc.flags[6] = ParamLocked;
        model_test::link_param(doc.model, 2, 2, 1, 2, 0.5);
        const RECT r = host.client();
        ASSERT_TRUE(grid.Create(host.hwnd(), &r, 0, 0, 9001));
        grid.Refresh(true);
        pump();
    }
    int k_of(int row, int column) const { return static_cast<int>(doc.model.components[row]->first) + column - 3; }
    std::wstring list_text(int row, int column) const
    {
        wchar_t buffer[512] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(grid.hwnd(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    void key(UINT vk) { SendMessageW(grid.hwnd(), WM_KEYDOWN, vk, 0); }
    void type(wchar_t c) { SendMessageW(grid.hwnd(), WM_CHAR, c, 0); }
    void command(UINT id) { SendMessageW(grid.hwnd(), WM_COMMAND, id, 0); }
    std::wstring editor_text() const
    {
        wchar_t buffer[256] = {};
        GetWindowTextW(grid.editor(), buffer, 256);
        return buffer;
    }
};

TEST_F(ModelGridFixture, CellsImagesAndLayout)
{
    EXPECT_EQ(SendMessageW(grid.hwnd(), LVM_GETITEMCOUNT, 0, 0), 6);
    EXPECT_EQ(list_text(1, 4), L"δ=0.250");
    EXPECT_EQ(list_text(2, 5).rfind(L"Γ=0.500×", 0), 0u);
    EXPECT_EQ(list_text(4, 0), L"ratio");
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(grid.hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 5);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    grid.SelectCell(1, 6);  // beyond the row's parameters: the whole row
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_EQ(grid.CurrentColumn(), -1);
    grid.SelectCell(1, 4);
    EXPECT_TRUE(modal_test::save_screenshot(host.hwnd(), L"model_grid"));
}

UINT WINAPI dpi_144(HWND)
{
    return 144;
}

TEST_F(ModelGridFixture, AHighDpiParentGetsTheLargePadlocks)
{
    const DpiFunctions previous = dpi_functions();
    DpiFunctions high = previous;
    high.get_dpi_for_window = dpi_144;
    set_dpi_functions(high);
    CModelGrid large(doc, {true, false, true, false, true});
    const RECT r = host.client();
    const HWND created = large.Create(host.hwnd(), &r, 0, 0, 9003);
    set_dpi_functions(previous);
    ASSERT_TRUE(created);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(large.hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, 32);
    EXPECT_EQ(ImageList_GetImageCount(images), 5);
}

TEST_F(ModelGridFixture, ArrowKeysMoveTheCurrentColumnWithinTheRow)
{
    grid.SelectCell(1, -1);
    key(VK_RIGHT);
    EXPECT_EQ(grid.CurrentColumn(), 3);
    key(VK_END);
    EXPECT_EQ(grid.CurrentColumn(), 5);
    key(VK_RIGHT);
    EXPECT_EQ(grid.CurrentColumn(), 5);
    key(VK_HOME);
    EXPECT_EQ(grid.CurrentColumn(), 3);
    key(VK_LEFT);
    EXPECT_EQ(grid.CurrentColumn(), -1);
    EXPECT_EQ(grid.CurrentRow(), 1);  // Home and End never move the row
    grid.SelectCell(4, -1);           // an expression row is always whole
    key(VK_RIGHT);
    EXPECT_EQ(grid.CurrentColumn(), -1);
}

TEST_F(ModelGridFixture, TypingOpensTheEditorEnterCommitsEscapeDiscards)
{
    SetFocus(grid.hwnd());
    grid.SelectCell(1, 4);
    type(L'\x01');
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
    type(L'7');
    ASSERT_TRUE(IsWindowVisible(grid.editor()));
    EXPECT_EQ(editor_text(), L"7");
    SendMessageW(grid.editor(), WM_CHAR, VK_RETURN, 0);
    pump();
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
    EXPECT_EQ(doc.calls, std::vector<std::wstring>{L"set 4 7"});
    EXPECT_EQ(host.codes, std::vector<UINT>{GRIDN_VALUE_CHANGED});

    type(L'8');
    SendMessageW(grid.editor(), WM_CHAR, VK_ESCAPE, 0);
    pump();
    EXPECT_EQ(doc.calls.size(), 1u);
    grid.SelectCell(2, 5);  // linked: no editor
    type(L'9');
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
}

TEST_F(ModelGridFixture, TheSecondClickOnACellOpensTheEditorAPressElsewhereDropsTheEdit)
{
    SetForegroundWindow(host.hwnd());
    // Waits for the click's effect: on a busy machine the input comes late.
    auto click = [&](int row, int column, const std::function<bool()>& done) {
        RECT cell{};
        cell.left = LVIR_LABEL;
        cell.top = column;
        SendMessageW(grid.hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
        POINT p{cell.right - 4, (cell.top + cell.bottom) / 2};
        ClientToScreen(grid.hwnd(), &p);
        // The position goes with the input: a cursor moved by SetCursorPos reaches the X
        // server later, and a busy machine let the click land where the cursor was.
        INPUT input[2] = {};
        for (INPUT& event : input) {
            event.type = INPUT_MOUSE;
            event.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
            event.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
            event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        }
        input[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        EXPECT_TRUE(test_support::pump_until(done, 10000));
        pump();
    };
    click(1, 4, [&] { return grid.CurrentRow() == 1 && grid.CurrentColumn() == 4; });
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
    Sleep(600);  // not a double click
    click(1, 4, [&] { return IsWindowVisible(grid.editor()) != FALSE; });
    ASSERT_TRUE(IsWindowVisible(grid.editor()));
    EXPECT_EQ(editor_text(), L"0.250");
    SetWindowTextW(grid.editor(), L"0.4");
    Sleep(600);
    click(2, 3, [&] { return grid.CurrentRow() == 2; });  // another row of the same grid: the edit is dropped
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
    EXPECT_TRUE(doc.calls.empty());
}

TEST_F(ModelGridFixture, SwitchingWindowsCommitsOnlyAnEditedText)
{
    SetFocus(grid.hwnd());
    grid.SelectCell(1, 4);
    type(L'1');
    SetWindowTextW(grid.editor(), L"0.250");  // as opened: the display-rounded value
    SetFocus(host.hwnd());
    pump();
    EXPECT_TRUE(doc.calls.empty());
    SetFocus(grid.hwnd());
    type(L'1');
    SetWindowTextW(grid.editor(), L"0.3");
    SetFocus(host.hwnd());
    pump();
    EXPECT_EQ(doc.calls, std::vector<std::wstring>{L"set 4 0.3"});
}

TEST_F(ModelGridFixture, ATextThatIsNotANumberIsRefusedNamingTheCell)
{
    SetFocus(grid.hwnd());
    grid.SelectCell(1, 4);
    for (const wchar_t* text : {L"2abc", L"1,234.5"}) {
        type(L'x');
        SetWindowTextW(grid.editor(), text);
        SendMessageW(grid.editor(), WM_CHAR, VK_RETURN, 0);
        pump();
    }
    EXPECT_TRUE(doc.calls.empty());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[0].text.find(L"Component 1, parameter δ: \"2abc\""), std::wstring::npos);
    EXPECT_TRUE(host.codes.empty());
}

TEST_F(ModelGridFixture, PadlockClicksToggleFlags)
{
    auto click = [&](int row, int column) {
        RECT icon{};
        icon.left = LVIR_ICON;
        icon.top = column;
        SendMessageW(grid.hwnd(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&icon));
        NMITEMACTIVATE click{};
        click.hdr = {grid.hwnd(), 9001, static_cast<UINT>(NM_CLICK)};
        click.ptAction = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
        SendMessageW(grid.hwnd(), reflected_message_base + WM_NOTIFY, 9001, reinterpret_cast<LPARAM>(&click));
    };
    click(1, 4);
    click(2, 1);
    EXPECT_EQ(doc.calls, (std::vector<std::wstring>{L"toggle 4-5 1", L"toggle 6-9 2"}));
    EXPECT_EQ(host.codes, (std::vector<UINT>{GRIDN_FLAGS_TOGGLED, GRIDN_FLAGS_TOGGLED}));
}

TEST_F(ModelGridFixture, CellCopyAndPaste)
{
    grid.SelectCell(1, 4);
    command(ID_EDIT_COPY);
    EXPECT_EQ(read_clipboard_text(nullptr, nullptr), L"δ=0.250");
    EXPECT_FALSE(clipboard_has_model_data());
    for (const wchar_t* text : {L"2,5", L"δ=1.5"}) {
        ASSERT_TRUE(set_clipboard_text(nullptr, nullptr, text));
        command(ID_EDIT_PASTE);
    }
    command(ID_EDIT_CUT);  // a single cell is never cut
    EXPECT_EQ(doc.calls, (std::vector<std::wstring>{L"set 4 2.5", L"set 4 1.5"}));
    grid.SelectCell(2, 5);  // not editable: pastes nothing
    command(ID_EDIT_PASTE);
    EXPECT_EQ(doc.calls.size(), 2u);
}

TEST_F(ModelGridFixture, RowRoundTripOfTheThousandPointDistributionAndAnExpression)
{
    grid.SelectCell(3, -1);
    command(ID_EDIT_COPY);
    const auto line = read_clipboard_text(nullptr, component_clipboard_format);
    ASSERT_TRUE(line);
    EXPECT_GT(line->size(), 16383u);
    EXPECT_EQ(read_clipboard_text(nullptr, nullptr), line);
    EXPECT_TRUE(clipboard_has_model_data());
    grid.SelectCell(1, -1);
    command(ID_EDIT_PASTE);
    EXPECT_EQ(doc.pasted.params, line->substr(line->find(L':') + 2));
    EXPECT_EQ(doc.calls, std::vector<std::wstring>{L"component at 2"});
    EXPECT_EQ(grid.CurrentRow(), 2);

    grid.SelectCell(4, -1);
    command(ID_EDIT_COPY);
    EXPECT_EQ(read_clipboard_text(nullptr, expression_clipboard_format), L"ratio=[1:I]/[2:I]");
    EXPECT_FALSE(read_clipboard_text(nullptr, component_clipboard_format));
    command(ID_EDIT_PASTE);
    EXPECT_EQ(doc.calls.back(), L"expression at 1: ratio|[1:I]/[2:I]");
}

TEST_F(ModelGridFixture, ACutNeedsTheClipboardAndNeverTakesTheBaseline)
{
    ClipboardApi busy;
    busy.open = [](HWND) { return FALSE; };
    const ClipboardApi real = set_clipboard_api(busy);
    grid.SelectCell(1, -1);
    command(ID_EDIT_CUT);
    set_clipboard_api(real);
    EXPECT_TRUE(doc.calls.empty());

    ClipboardApi refusing = real;
    refusing.set_data = [](UINT, HANDLE) -> HANDLE { return nullptr; };
    set_clipboard_api(refusing);
    command(ID_EDIT_CUT);
    set_clipboard_api(real);
    EXPECT_TRUE(doc.calls.empty());

    grid.SelectCell(0, -1);
    command(ID_EDIT_CUT);
    EXPECT_TRUE(doc.calls.empty());
    grid.SelectCell(1, -1);
    command(ID_EDIT_CUT);
    EXPECT_EQ(doc.calls, std::vector<std::wstring>{L"delete component 1"});
    EXPECT_EQ(host.codes.back(), GRIDN_VALUE_CHANGED);
}

TEST_F(ModelGridFixture, TheResultGridShowsErrorsAndOnlyCopies)
{
    for (unsigned k = 0; k < doc.model.param_count(); ++k) doc.covariance(k, k) = 1e-4;
    doc.covariance(7, 7) = 0.0;  // varied? no: locked; and 4 is varied with zero variance
    doc.covariance(4, 4) = 0.0;
    grid.options() = {false, true, false, true, true};
    grid.Refresh(true);
    EXPECT_EQ(list_text(1, 5), L"Γ=0.500±0.010");
    grid.SelectCell(1, 5);
    SetFocus(grid.hwnd());
    type(L'1');
    EXPECT_FALSE(IsWindowVisible(grid.editor()));
    grid.SelectCell(1, -1);
    command(ID_EDIT_CUT);
    command(ID_EDIT_PASTE);
    EXPECT_TRUE(doc.calls.empty());
    command(ID_EDIT_COPY);
    EXPECT_NE(read_clipboard_text(nullptr, component_clipboard_format)->find(L"=5.000000000000000e-01"),
              std::wstring::npos);
    EXPECT_TRUE(modal_test::save_screenshot(host.hwnd(), L"fit_result_grid"));
}

TEST(Clipboard, TextsOfAnyLengthGoUnderBothFormats)
{
    EXPECT_EQ(clipboard_alloc_text(nullptr), nullptr);
    const std::wstring text(40000, L'ж');
    ASSERT_TRUE(set_clipboard_text(nullptr, expression_clipboard_format, text));
    EXPECT_EQ(read_clipboard_text(nullptr, expression_clipboard_format), text);
    EXPECT_EQ(read_clipboard_text(nullptr, nullptr), text);
    EXPECT_TRUE(clipboard_has_model_data());
    ASSERT_TRUE(set_clipboard_text(nullptr, nullptr, L"plain"));
    EXPECT_FALSE(clipboard_has_model_data());
    EXPECT_FALSE(read_clipboard_text(nullptr, component_clipboard_format));
}

// Ink rows of a drawn text: the topmost and bottommost rows with a black pixel.
std::pair<int, int> ink_rows(const wchar_t* text, UINT align, int x, int& leftmost, int& rightmost)
{
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 60);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, bitmap);
    LOGFONTW lf{};
    lf.lfHeight = -30;
    wcscpy(lf.lfFaceName, L"Tahoma");
    const HFONT font = CreateFontIndirectW(&lf);
    SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, align);
    const RECT all{0, 0, 200, 60};
    draw_scripted_text(dc, x, 50, ETO_OPAQUE, &all, text, static_cast<UINT>(wcslen(text)));
    int top = 60, bottom = -1;
    leftmost = 200, rightmost = -1;
    for (int y = 0; y < 60; ++y)
        for (int px = 0; px < 200; ++px)
            if (GetPixel(dc, px, y) == RGB(0, 0, 0)) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                leftmost = std::min(leftmost, px), rightmost = std::max(rightmost, px);
            }
    DeleteDC(dc);
    DeleteObject(bitmap);
    DeleteObject(font);
    return {top, bottom};
}

TEST(ScriptedText, ScriptRunsAreRaisedOrLoweredAndAlignmentHolds)
{
    int l = 0, r = 0;
    const auto plain = ink_rows(L"2", TA_LEFT | TA_BOTTOM, 10, l, r);
    const int plain_height = plain.second - plain.first;
    const auto sup = ink_rows(L"\u00B2", TA_LEFT | TA_BOTTOM, 10, l, r);
    const auto sub = ink_rows(L"\u2082", TA_LEFT | TA_BOTTOM, 10, l, r);
    EXPECT_LT(sup.second - sup.first, plain_height);  // a smaller font
    EXPECT_LT(sup.first, sub.first);                  // raised above the lowered one
    EXPECT_LT(sup.second, sub.second);
    EXPECT_GT(sub.second, plain.second - 3);          // reaches down to the baseline and below

    ink_rows(L"x\u00B2", TA_RIGHT | TA_BOTTOM, 150, l, r);
    EXPECT_LE(r, 150);
    EXPECT_GT(r, 140);
    int l2 = 0, r2 = 0;
    ink_rows(L"x\u00B2", TA_LEFT | TA_BOTTOM, 150 - (r - l) - 1, l2, r2);
    EXPECT_NEAR(r2, r, 3);  // right-aligned ends where the left-aligned text of that width does

    // The opaque rectangle is filled even without text.
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    SelectObject(dc, bitmap);
    SetBkColor(dc, RGB(0, 0, 255));
    const RECT rect{0, 0, 4, 4};
    EXPECT_EQ(draw_scripted_text(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0), 1);
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 255));
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(CorrelationGrid, HeadersColoursAndSelection)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    SpectrumModel model = model_test::model_of({model_test::baseline(), make_subspec<test_models::TestLorentz>(nullptr),
                                                make_subspec<test_models::TestLorentz>(nullptr)});
    const unsigned P = model.param_count();
    std::vector<int> flags(P, ParamFree);
    flags[0] = flags[1] = flags[2] = 0;
    DMatrix covariance(P, P, 0.0), directions(3, P + 1, 0.0);
    for (unsigned k = 0; k < P; ++k) covariance(k, k) = 1.0;
    covariance(3, 4) = covariance(4, 3) = -0.95;
    covariance(3, 6) = covariance(6, 3) = 0.75;
    covariance(5, 8) = covariance(8, 5) = 0.55;
    covariance(4, 7) = covariance(7, 4) = 0.3;
    directions(0, P) = 1.0, directions(1, P) = 0.02, directions(2, P) = 0.0;
    directions(2, 3) = 0.96, directions(2, 4) = -0.27;
    directions(1, 6) = 0.72, directions(1, 7) = 0.6;
    Host host;
    CCorrGrid grid;
    const RECT r = host.client();
    ASSERT_TRUE(grid.CreateControls(host.hwnd(), &r, 0x54014000, WS_EX_CLIENTEDGE, 9004));
    grid.Fill(model, [&](unsigned k) { return varied_by_flags(model, flags, k); }, covariance, directions);
    EXPECT_EQ(SendMessageW(grid.hwnd(), LVM_GETITEMCOUNT, 0, 0), 8);

    // Selecting a header row leaves no row selected.
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(grid.hwnd(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(grid.CurrentRow(), -1);
    grid.SelectParam(6);
    EXPECT_EQ(grid.CurrentRow(), 5);
    EXPECT_EQ(grid.CurrentColumn(), -1);
    grid.SelectParam(1);
    EXPECT_EQ(grid.CurrentRow(), -1);

    ASSERT_TRUE(set_clipboard_text(nullptr, nullptr, L"before"));
    grid.SelectParam(3);
    SendMessageW(grid.hwnd(), WM_COMMAND, ID_EDIT_COPY, 0);
    EXPECT_EQ(read_clipboard_text(nullptr, nullptr), L"before");  // this grid copies nothing
    EXPECT_TRUE(modal_test::save_screenshot(host.hwnd(), L"correlation_grid"));
}

INT_PTR run_with(CPropPageDlg& dialog, std::function<void(HWND)> step)
{
    modal_test::when_dialog_shows(std::move(step));
    return dialog.run(nullptr);
}

KeywordList properties()
{
    return {{L"Name", {L"Fe foil", 0}}, {L"Secret", {L"x", KWHidden}}, {L"Fixed", {L"1", KWReadOnly}},
            {L"Temp", {L"300", KWTransient}}};
}

struct PropertiesFixture : ::testing::Test {
    RecordedDialogs boxes;
    void SetUp() override
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&init);
    }
    void TearDown() override { set_resource_language(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)); }
};

TEST_F(PropertiesFixture, EditsRenamesAddsAndDeletesThenOkWritesBack)
{
    KeywordList list = properties();
    CPropPageDlg dialog(list, false);
    wchar_t caption[64] = {};
    const INT_PTR result = run_with(dialog, [&](HWND d) {
        GetWindowTextW(d, caption, 64);
        edit_cell(dialog, 2, 1, L"77");        // a transient value becomes persistent
        edit_cell(dialog, 0, 0, L"");          // refused
        edit_cell(dialog, 0, 0, L"Temp");      // refused: another entry's key
        edit_cell(dialog, 0, 0, L"Title");
        edit_cell(dialog, 3, 0, L"Added");     // the new-entry row
        edit_cell(dialog, 3, 1, L"new value");
        dialog.grid().SelectCell(1, -1);
        SendMessageW(dialog.grid().hwnd(), WM_KEYDOWN, VK_DELETE, 0);  // read-only: stays
        dialog.grid().SelectCell(2, -1);
        SendMessageW(dialog.grid().hwnd(), WM_KEYDOWN, VK_DELETE, 0);
        EXPECT_EQ(SendMessageW(dialog.grid().hwnd(), LVM_GETITEMCOUNT, 0, 0), 4);
        EXPECT_TRUE(modal_test::save_screenshot(d, L"properties_en"));
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(std::wstring(caption), L"Properties");
    EXPECT_EQ(boxes.shown.size(), 2u);
    const KeywordList expected = {{L"Title", {L"Fe foil", 0}}, {L"Secret", {L"x", KWHidden}},
                                  {L"Fixed", {L"1", KWReadOnly}}, {L"Added", {L"new value", 0}}};
    EXPECT_EQ(list, expected);
}

TEST_F(PropertiesFixture, CancelAndReadOnlyLeaveTheListAndRussianHasItsTexts)
{
    set_resource_language(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
    KeywordList list = properties();
    CPropPageDlg dialog(list, true, L"");
    wchar_t caption[64] = {};
    bool ok_enabled = true;
    const INT_PTR result = run_with(dialog, [&](HWND d) {
        GetWindowTextW(d, caption, 64);
        ok_enabled = IsWindowEnabled(GetDlgItem(d, IDOK));
        SetFocus(dialog.grid().hwnd());
        dialog.grid().SelectCell(0, 1);
        SendMessageW(dialog.grid().hwnd(), WM_CHAR, L'x', 0);
        EXPECT_FALSE(IsWindowVisible(dialog.grid().editor()));
        EXPECT_TRUE(modal_test::save_screenshot(d, L"properties_ru"));
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(std::wstring(caption), L"Свойства");
    EXPECT_FALSE(ok_enabled);
    EXPECT_EQ(list, properties());

    KeywordList titled = properties();
    CPropPageDlg named(titled, false, L"Spectrum");
    run_with(named, [&](HWND d) {
        GetWindowTextW(d, caption, 64);
        edit_cell(named, 0, 1, L"changed");
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(std::wstring(caption), L"Spectrum");
    EXPECT_EQ(titled, properties());
}

// Printed, not asserted: filling and repainting a large model's grid under Wine.
TEST(ModelGridTiming, FillAndRepaintAFiftyComponentModelWithAThousandPointDistribution)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    SpectrumModel model;
    model.insert_component(0, model_test::baseline());
    for (unsigned i = 0; i < 50; ++i)
        model.insert_component(model.component_count(), make_subspec<test_models::TestLorentz>(nullptr));
    model.insert_component(model.component_count(), make_distribution(model_test::lorentz(), 1000, {1}));
    FakeGridDocument doc(std::move(model));
    for (unsigned k = 0; k < doc.model.param_count(); ++k) doc.covariance(k, k) = 1e-4;
    Host host;
    CModelGrid grid(doc, {false, true, false, true, true});
    const RECT r = host.client();
    ASSERT_TRUE(grid.Create(host.hwnd(), &r, 0, 0, 9002));
    using clock = std::chrono::steady_clock;
    const auto t0 = clock::now();
    grid.Refresh(true);
    const auto t1 = clock::now();
    RedrawWindow(grid.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const auto t2 = clock::now();
    doc.fit(3) += 0.01;
    grid.Refresh(false);
    RedrawWindow(grid.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const auto t3 = clock::now();
    auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("model grid, 52 rows: fill %.1f ms, first paint %.1f ms, refresh and repaint after a fit step %.1f ms\n",
                ms(t1 - t0), ms(t2 - t1), ms(t3 - t2));
    EXPECT_EQ(SendMessageW(grid.hwnd(), LVM_GETITEMCOUNT, 0, 0), 52);
}

} // namespace
