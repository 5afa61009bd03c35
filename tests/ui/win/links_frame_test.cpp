// Links, bounds and user expressions through the main window under Wine, with the
// program's isotope table: the menus built for the cell selected in the parameter grid,
// the link-factor, bounds and expression editor dialogs driven as a user would, each
// change one undo step that undo reverses exactly, and a screenshot of each dialog in
// English and Russian.
#include "tests/ui/win/destroy_frame.h"
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/model/model_expressions.h"
#include "core/text/messages.h"
#include "subspec/distribution.h"
#include "tests/support/model_test_parts.h"
#include "tests/ui/win/frame_suite.h"
#include "ui/logic/link_targets.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/resource_ids.h"
#include "wingui/resources.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

using modal_test::item_text;

// Presses OK and reports whether the dialog is still open afterwards.
bool ok_keeps_open(HWND dialog)
{
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    return IsWindowVisible(dialog) != FALSE;
}

std::vector<std::wstring> list_texts(HWND list)
{
    std::vector<std::wstring> texts;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        ListView_GetItemText(list, i, 0, text, 128);
        texts.push_back(text);
    }
    return texts;
}

// Selects item `index` of a list and activates it as a double click does.
void activate(HWND dialog, int list_id, int index)
{
    const HWND list = GetDlgItem(dialog, list_id);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NMITEMACTIVATE activation{};
    activation.hdr = {list, static_cast<UINT_PTR>(list_id), static_cast<UINT>(LVN_ITEMACTIVATE)};
    activation.iItem = index;
    SendMessageW(dialog, WM_NOTIFY, list_id, reinterpret_cast<LPARAM>(&activation));
}

std::vector<std::wstring> menu_texts(HMENU popup)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

class LinksFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        frame_suite::set_up();
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    void SetUp() override { create(0x409); }
    void TearDown() override
    {
        destroy_frame(frame);
        set_resource_language(0x409);
        set_message_language(0x409);
    }

    void create(WORD langid)
    {
        if (frame) TearDown();
        ASSERT_TRUE(frame_suite::create_frame(frame, langid));
        ShowWindow(frame->hwnd(), SW_SHOWNOACTIVATE);
        // Baseline (N₀ c v₀), two Lorentz lines (I δ Γ).
        ModelState& d = document();
        for (const SubSpecPtr& s : {model_test::baseline(), model_test::lorentz(), model_test::lorentz()}) {
            const DVector v = dvector({1.0, 0.25, 0.5});
            d.insert_component(d.model.component_count(), s, v, {1, 1, 1}, dvector({-inf, -inf, -inf}),
                               dvector({inf, inf, inf}));
        }
        shown();
    }
    // The grids show the document as a command leaves it.
    void shown() { frame->document_changed(DocumentChange::model); }
    // The user's click on a cell of the parameter grid.
    void select(int row, int column)
    {
        frame->parameter_grid().SelectCell(row, column);
        ASSERT_EQ(frame->parameter_cell().row, row);
        ASSERT_EQ(frame->parameter_cell().column, column);
    }
    // Enter on the parameter grid, through the window's message filter as its loop passes it.
    void press_enter()
    {
        const HWND grid = frame->parameter_grid().hwnd();
        SetFocus(grid);
        MSG key{grid, WM_KEYDOWN, VK_RETURN, 0x001C0001};
        if (!frame->PreTranslateMessage(key)) {
            TranslateMessage(&key);
            DispatchMessageW(&key);
        }
    }
    static DVector dvector(std::initializer_list<double> values)
    {
        DVector v(values.size());
        std::copy(values.begin(), values.end(), v.begin());
        return v;
    }
    ModelState& document() { return frame->document(); }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    // Runs the command; `step` acts on the dialog it opens.
    void command_with_dialog(UINT id, std::function<void(HWND)> step)
    {
        modal_test::when_dialog_shows(std::move(step));
        command(id);
        EXPECT_FALSE(modal_test::dialog_step()) << "no dialog for command " << id;
        modal_test::dialog_step() = nullptr;
    }
    ParamLink link_of(unsigned component, unsigned param) { return document().model.components[component]->links[param]; }

    std::unique_ptr<CMainFrame> frame;
    RecordedDialogs boxes;
};

TEST_F(LinksFrameTest, LinkToOffersTheTargetsAndLinksWithTheFactorAsOneUndoStep)
{
    document().add_expression(0, L"w₂", L"2*[2:Γ]");
    document().add_expression(1, L"broken", L"[9:x]+");
    shown();
    select(1, 4);  // line 1's δ
    const HMENU menu = GetMenu(frame->hwnd());
    frame->BuildGridLinkMenu(menu);
    HMENU popup = nullptr;
    for (int i = 0; i < GetMenuItemCount(menu) && !popup; ++i)
        for (int k = 0; k < GetMenuItemCount(GetSubMenu(menu, i)); ++k)
            if (GetSubMenu(GetSubMenu(menu, i), k) && GetMenuItemID(GetSubMenu(GetSubMenu(menu, i), k), 0) == 5001)
                popup = GetSubMenu(GetSubMenu(menu, i), k);
    ASSERT_TRUE(popup);
    // The other δ and the expression that compiles; never the one that does not.
    EXPECT_EQ(menu_texts(popup), (std::vector<std::wstring>{L"[2]δ", L"w2"}));
    EXPECT_EQ(GetMenuState(menu, 259, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

    const std::size_t records = document().model_history.records().size();
    const DVector before = document().values;
    std::wstring dependent, target, shown;
    bool refused = false;
    command_with_dialog(5001, [&](HWND d) {
        dependent = item_text(d, IDC_LINK_DEPENDENT);
        target = item_text(d, IDC_LINK_TARGET);
        shown = item_text(d, IDC_LINK_FACTOR);
        SetDlgItemTextW(d, IDC_LINK_FACTOR, L"1O");
        refused = ok_keeps_open(d);
        SetDlgItemTextW(d, IDC_LINK_FACTOR, L"-0");
        refused = refused && ok_keeps_open(d);
        SetDlgItemTextW(d, IDC_LINK_FACTOR, L"2.5");
        EXPECT_TRUE(modal_test::save_screenshot(d, L"link-factor-english"));
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dependent, L"[1] δ = ");
    EXPECT_EQ(target, L" × [2]δ");
    EXPECT_EQ(shown, L"1");
    EXPECT_TRUE(refused);
    EXPECT_EQ(link_of(1, 1), (ParamLink{2, 1, LinkToParam, 2.5}));
    EXPECT_EQ(document().values(4), 2.5 * document().values(7));
    EXPECT_EQ(document().model_history.records().size(), records + 1);
    frame->BuildGridLinkMenu(menu);
    EXPECT_EQ(GetMenuState(menu, 259, MF_BYCOMMAND) & MF_GRAYED, 0u);  // Unlink for a linked parameter
    EXPECT_EQ(menu_texts(popup), (std::vector<std::wstring>{L""}));
    document().model_history.undo(document());
    EXPECT_EQ(link_of(1, 1).kind, NotLinked);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), document().values.begin()));
}

TEST_F(LinksFrameTest, AFactorLeftAsShownStaysExactAndAnEditedOneIsOneUndoStep)
{
    document().add_link({1, 0, LinkToParam, 2, 0, 1.23456789});
    const std::size_t records = document().model_history.records().size();
    std::wstring shown;
    modal_test::when_dialog_shows([&](HWND d) {
        shown = item_text(d, IDC_LINK_FACTOR);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    select(2, 3);
    press_enter();
    EXPECT_EQ(shown, L"1.23");
    EXPECT_EQ(link_of(2, 0).factor, 1.23456789);
    EXPECT_EQ(document().model_history.records().size(), records);

    std::wstring target;
    modal_test::when_dialog_shows([&](HWND d) {
        target = item_text(d, IDC_LINK_TARGET);
        SetDlgItemTextW(d, IDC_LINK_FACTOR, L"0");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    press_enter();
    EXPECT_EQ(target, L" × [1]I");
    EXPECT_EQ(link_of(2, 0).factor, 0.0);
    EXPECT_EQ(document().values(6), 0.0);
    EXPECT_EQ(document().model_history.records().size(), records + 1);
    document().model_history.undo(document());
    EXPECT_EQ(link_of(2, 0).factor, 1.23456789);

    // Unlink: one record; of an unlinked parameter: none.
    command(259);
    EXPECT_EQ(link_of(2, 0).kind, NotLinked);
    const std::size_t after_unlink = document().model_history.records().size();
    command(259);
    EXPECT_EQ(document().model_history.records().size(), after_unlink);
    document().model_history.undo(document());
    EXPECT_EQ(link_of(2, 0), (ParamLink{1, 0, LinkToParam, 1.23456789}));
}

TEST_F(LinksFrameTest, BoundsAreReadStrictlyKeptExactWhenUneditedAndUndoneInOneStep)
{
    select(1, 5);  // line 1's Γ, flat index 5
    document().lower_bounds(5) = 0.0012345;
    const std::size_t records = document().model_history.records().size();
    std::wstring lower, upper;
    command_with_dialog(264, [&](HWND d) {
        lower = item_text(d, IDC_BOUND_LOWER);
        upper = item_text(d, IDC_BOUND_UPPER);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(lower, L"0.001");
    EXPECT_EQ(upper, L"inf");
    EXPECT_EQ(document().lower_bounds(5), 0.0012345);
    EXPECT_EQ(document().model_history.records().size(), records);

    std::vector<bool> refused;
    command_with_dialog(264, [&](HWND d) {
        SetDlgItemTextW(d, IDC_BOUND_LOWER, L"1O");
        refused.push_back(ok_keeps_open(d));
        SetDlgItemTextW(d, IDC_BOUND_LOWER, L"5");
        SetDlgItemTextW(d, IDC_BOUND_UPPER, L"5");
        refused.push_back(ok_keeps_open(d));  // equal bounds
        SetDlgItemTextW(d, IDC_BOUND_LOWER, L"-INF");
        SetDlgItemTextW(d, IDC_BOUND_UPPER, L"7.25");
        EXPECT_TRUE(modal_test::save_screenshot(d, L"bounds-english"));
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(refused, (std::vector<bool>{true, true}));
    EXPECT_EQ(document().lower_bounds(5), -inf);
    EXPECT_EQ(document().upper_bounds(5), 7.25);
    EXPECT_EQ(document().values(5), 0.5);
    EXPECT_EQ(document().model_history.records().size(), records + 1);
    document().model_history.undo(document());
    EXPECT_EQ(document().lower_bounds(5), 0.0012345);
    EXPECT_EQ(document().upper_bounds(5), inf);

    // No parameter cell (the baseline's whole row): nothing opens.
    select(0, -1);
    command(264);
    EXPECT_EQ(document().model_history.records().size(), records + 1);
}

TEST_F(LinksFrameTest, TheExpressionEditorInsertsAtTheCaretShowsWhereTheTextFailsAndAdds)
{
    document().add_expression(0, L"sum", L"[1:I]+[2:I]");
    std::vector<std::wstring> parameters, operations, constants;
    std::wstring after_insert;
    DWORD caret = 0;
    bool kept_open = false;
    command_with_dialog(262, [&](HWND d) {
        parameters = list_texts(GetDlgItem(d, IDC_EXPRESSION_PARAMETERS));
        operations = list_texts(GetDlgItem(d, IDC_EXPRESSION_OPERATIONS));
        constants = list_texts(GetDlgItem(d, IDC_EXPRESSION_CONSTANTS));
        SetDlgItemTextW(d, IDC_EXPRESSION_NAME, L"ratio");
        activate(d, IDC_EXPRESSION_OPERATIONS, 9);  // sin()
        activate(d, IDC_EXPRESSION_PARAMETERS, 4);  // [1:δ], between the parentheses
        SendDlgItemMessageW(d, IDC_EXPRESSION_TEXT, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
        after_insert = item_text(d, IDC_EXPRESSION_TEXT);
        SetDlgItemTextW(d, IDC_EXPRESSION_TEXT, L"[1:I]/*2");
        kept_open = ok_keeps_open(d);
        SetDlgItemTextW(d, IDC_EXPRESSION_TEXT, L"[1:I]/<sum>");
        EXPECT_TRUE(modal_test::save_screenshot(d, L"expression-editor-english"));
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(parameters, (std::vector<std::wstring>{L"[0:N0]", L"[0:c]", L"[0:v0]", L"[1:I]", L"[1:δ]", L"[1:Γ]",
                                                     L"[2:I]", L"[2:δ]", L"[2:Γ]", L"<sum>"}));
    EXPECT_EQ(operations.size(), 18u);
    // The universal constants and those of the isotope the menu shows checked.
    ASSERT_EQ(constants.size(), 15u);
    EXPECT_EQ(constants[8], L"Γτ");
    EXPECT_EQ(after_insert, L"sin([1:δ])");
    EXPECT_EQ(caret, 9u);
    EXPECT_TRUE(kept_open);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, MessageText(50200, 7u).str());
    ASSERT_EQ(document().model.expressions.size(), 2u);
    EXPECT_EQ(document().model.expressions[1].name, L"ratio");
    EXPECT_TRUE(document().model.expressions[1].expr);

    // Editing its row: one replace record; undo gives the old text back.
    modal_test::when_dialog_shows([&](HWND d) {
        SetDlgItemTextW(d, IDC_EXPRESSION_TEXT, L"[1:I]*3");
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    select(3 + 1, -1);
    press_enter();
    EXPECT_EQ(document().model.expressions[1].text, L"[1:I]*3");
    document().model_history.undo(document());
    EXPECT_EQ(document().model.expressions[1].text, L"[1:I]/<sum>");
    document().model_history.undo(document());
    EXPECT_EQ(document().model.expressions.size(), 1u);
}

TEST_F(LinksFrameTest, PredefinedExpressionsOfTheSelectedComponentAddOneUndoStepEach)
{
    const auto file = std::filesystem::temp_directory_path() / L"vx-links-expressions.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << "Lorentz singlet\n twice=[I]*2\n shifted=[\xCE\xB4]+1\n narrow=[\xCE\x93]/\xCE\x93\xCF\x84\n";
    }
    model_expressions_load(file.wstring());
    std::filesystem::remove(file);
    const HMENU menu = CreatePopupMenu();
    const HMENU expressions = CreatePopupMenu();
    AppendMenuW(expressions, MF_STRING, 801, L"");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(expressions), L"Expressions");

    select(0, -1);  // the baseline has none
    frame->BuildExpressionsMenu(menu);
    EXPECT_EQ(menu_texts(expressions), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));

    select(2, -1);
    frame->BuildExpressionsMenu(menu);
    EXPECT_EQ(menu_texts(expressions),
              (std::vector<std::wstring>{L"twice:\tI*2", L"shifted:\tδ+1", L"narrow:\tΓ/Γτ", L"", MessageText(50068).str()}));
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED, 0u);
    DestroyMenu(menu);

    command(802);
    ASSERT_EQ(document().model.expressions.size(), 1u);
    EXPECT_EQ(document().model.expressions[0].text, L"[2:δ]+1");
    EXPECT_TRUE(document().model.expressions[0].expr);
    command(800);
    ASSERT_EQ(document().model.expressions.size(), 4u);
    // Γτ is the isotope's: a new window's model has the isotope its menu shows checked.
    EXPECT_EQ(document().model.expressions[3].text, L"[2:Γ]/Γτ");
    EXPECT_TRUE(document().model.expressions[3].expr);
    for (std::size_t left : {3u, 2u, 1u}) {
        document().model_history.undo(document());
        EXPECT_EQ(document().model.expressions.size(), left);
    }
}

TEST_F(LinksFrameTest, ADistributionIsOfferedTheOtherDistributions)
{
    ModelState& d = document();
    for (int i = 0; i < 3; ++i) {
        const SubSpecPtr s = make_distribution(model_test::lorentz(), 2, {1});
        const unsigned count = s->param_count();
        const DVector v(count, 0.5);
        d.insert_component(d.model.component_count(), s, v, std::vector<int>(count, 1), DVector(count, -inf),
                           DVector(count, inf));
    }
    const HMENU menu = CreatePopupMenu();
    const HMENU links = CreatePopupMenu();
    AppendMenuW(links, MF_STRING, 23001, L"");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(links), L"Link to");
    frame->BuildLinkMenu(menu, 3);
    const std::wstring name = normalize_script_text(d.model.components[4]->subspec->display_name());
    EXPECT_EQ(menu_texts(links), (std::vector<std::wstring>{L"4. " + name, L"5. " + name}));
    EXPECT_EQ(GetMenuItemID(links, 1), 23006u);
    // Every distribution but the asking component; an index beyond the model gets none.
    frame->BuildLinkMenu(menu, 1);
    EXPECT_EQ(menu_texts(links), (std::vector<std::wstring>{L"3. " + name, L"4. " + name, L"5. " + name}));
    frame->BuildLinkMenu(menu, 9);
    EXPECT_EQ(menu_texts(links), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    // A distribution whose weights follow another is neither offered nor offered any.
    d.link_distribution(5, 4, 2.0);
    frame->BuildLinkMenu(menu, 3);
    EXPECT_EQ(menu_texts(links), (std::vector<std::wstring>{L"5. " + name}));
    frame->BuildLinkMenu(menu, 4);
    EXPECT_EQ(menu_texts(links), (std::vector<std::wstring>{L""}));
    DestroyMenu(menu);
}

TEST_F(LinksFrameTest, ScreenshotsOfTheDialogsInRussian)
{
    create(0x419);
    document().add_link({1, 0, LinkToParam, 2, 0, 1.5});
    std::wstring caption;
    auto shoot = [&](const wchar_t* name) {
        return [&caption, name](HWND d) {
            wchar_t text[64] = {};
            GetWindowTextW(d, text, 64);
            caption += text;
            caption += L"|";
            EXPECT_TRUE(modal_test::save_screenshot(d, name));
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        };
    };
    modal_test::when_dialog_shows(shoot(L"link-factor-russian"));
    select(2, 3);
    press_enter();
    select(1, 5);
    command_with_dialog(264, shoot(L"bounds-russian"));
    command_with_dialog(262, shoot(L"expression-editor-russian"));
    EXPECT_EQ(caption, L"Коэффициент связи|Границы|Редактор выражений|");
}

} // namespace
