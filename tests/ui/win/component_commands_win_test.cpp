// The component commands through the main window: the catalogue menus in English and
// Russian, adding (the default baseline first, distributions through their dialog),
// deleting and editing components, each one undo step; the isotope information; the
// fit settings dialog; screenshots of the menus and of both dialogs in both languages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <functional>
#include <string>
#include <vector>

#include "core/document/change_records.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "catalogue/sub_spec_factory.h"
#include "tests/support/scripted_user_interface.h"
#include "tests/ui/win/destroy_frame.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/ui/win/prop_page_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/dialogs/fit_settings_dlg.h"
#include "ui/dialogs/prop_page_dlg.h"
#include "ui/logic/catalogue_menus.h"
#include "ui/logic/dist_params_form.h"
#include "ui/frame/main_frame.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"
#include "wingui/resources.h"

namespace {

void click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Message boxes and file dialogs are recorded, not shown (RecordedDialogs).
class ComponentCommandsTest : public ::testing::Test, protected RecordedDialogs {
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
        if (isotope_table().count() == 0) isotope_table().load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
    }
    static void TearDownTestSuite() { CoUninitialize(); }

    void TearDown() override
    {
        destroy_frame(frame);
        set_resource_language(0x409);
        set_message_language(0x409);
    }

    void create(WORD langid = 0x409)
    {
        set_resource_language(langid);
        set_message_language(langid);
        frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(frame->create_window());
        frame->set_parameter_cell_source([this] { return CMainFrame::GridCell{row, 0, row + 1}; });
        SetWindowPos(frame->hwnd(), nullptr, 10, 10, 800, 560, SWP_NOZORDER);
        ShowWindow(frame->hwnd(), SW_SHOW);
        UpdateWindow(frame->hwnd());
    }
    void command(UINT id) { SendMessageW(frame->hwnd(), WM_COMMAND, id, 0); }
    static UINT add_id(const wchar_t* name) { return 21001 + SubSpecFactory::instance().index_of(name); }
    static UINT distribution_id(const wchar_t* name) { return 22001 + SubSpecFactory::instance().index_of(name); }
    ModelState& document() { return frame->document(); }
    std::size_t steps() { return document().model_history.records().size(); }
    std::wstring name_of(unsigned c) { return document().model.components.at(c)->subspec->display_name(); }

    std::vector<MenuEntry> popup_entries(UINT id)
    {
        std::vector<MenuEntry> out;
        const HMENU popup = popup_with(GetMenu(frame->hwnd()), id);
        for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
            wchar_t text[256] = {};
            GetMenuStringW(popup, i, text, 256, MF_BYPOSITION);
            const UINT item = GetMenuItemID(popup, i);
            out.push_back({item == static_cast<UINT>(-1) ? 0u : item, item ? text : L""});
        }
        return out;
    }
    static HMENU popup_with(HMENU menu, UINT id)
    {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const HMENU sub = GetSubMenu(menu, i);
            if (!sub) continue;
            if (const HMENU deeper = popup_with(sub, id)) return deeper;
            if (GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) return sub;
        }
        return nullptr;
    }
    // Opens the popup holding `id` and saves what the screen shows of it. The desktop
    // does not show a window's first popup menu in time to be captured: an empty name
    // opens and closes one unseen.
    void menu_shot(UINT id, const std::wstring& name)
    {
        const HMENU popup = popup_with(GetMenu(frame->hwnd()), id);
        ASSERT_NE(popup, nullptr);
        bool captured = false;
        modal_test::when_window_shows(
            [&](HWND menu) {
                if (!name.empty()) EXPECT_TRUE(modal_test::save_settled_screenshot(menu, name));
                captured = true;
                EndMenu();
            },
            L"#32768");
        RECT r{};
        GetWindowRect(frame->hwnd(), &r);
        SetForegroundWindow(frame->hwnd());
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN, r.left + 20, r.top + 40, 0, frame->hwnd(), nullptr);
        EXPECT_TRUE(captured) << name.size();
    }

    std::unique_ptr<CMainFrame> frame;
    int row = -1;
    // The keyword-list editor names the free variable.
    test_support::ScriptedUserInterface editor{[](KeywordList& list) {
        kwlist_set(list, L"Name", L"shared");
        return 1;
    }};
};

TEST_F(ComponentCommandsTest, MenusFollowTheCatalogueAndTheIsotopeTableInBothLanguages)
{
    for (const auto& [langid, tag] : std::vector<std::pair<WORD, std::wstring>>{{0x409, L"english"}, {0x419, L"russian"}}) {
        create(langid);
        const SubSpecFactory& catalogue = SubSpecFactory::instance();
        EXPECT_EQ(popup_entries(21001 + 0), add_subspectrum_menu(catalogue));
        EXPECT_EQ(popup_entries(20001), isotope_menu(isotope_table(), MessageText(50054).str()));
        EXPECT_EQ(popup_entries(20001).back().text, langid == 0x409 ? L"Information" : L"Информация");
        EXPECT_EQ(frame->GetCurrentIsotope(), &isotope_table().at(0));
        const std::vector<MenuEntry> distributions = popup_entries(distribution_id(L"Lorentz singlet"));
        EXPECT_EQ(distributions, add_distribution_menu(catalogue, &isotope_table().at(0)));
        menu_shot(20001, L"");
        menu_shot(add_id(L"Lorentz singlet"), L"menu-add-subspectrum-" + tag);
        menu_shot(distribution_id(L"Lorentz singlet"), L"menu-add-distribution-" + tag);
        menu_shot(20001, L"menu-isotope-" + tag);
        destroy_frame(frame);
    }
}

TEST_F(ComponentCommandsTest, AddDeleteAndPropertiesAreOneUndoStepEach)
{
    create();
    command(add_id(L"PseudoVoigt sextet"));
    ASSERT_EQ(document().model.component_count(), 2u);
    EXPECT_TRUE(document().model.components[0]->is_baseline());
    EXPECT_EQ(steps(), 2u);  // the baseline, then the sextet
    command(add_id(L"Lorentz singlet"));
    EXPECT_EQ(steps(), 3u);
    EXPECT_EQ(frame->tab_container().current_page(), 0);

    // Delete: the baseline stays; the selected component goes, and one undo brings it back.
    row = 0;
    command(255);
    EXPECT_EQ(steps(), 3u);
    row = 1;
    command(255);
    EXPECT_EQ(steps(), 4u);
    EXPECT_EQ(name_of(1), L"Lorentz singlet");
    document().model_history.undo(document());
    EXPECT_EQ(name_of(1), L"PseudoVoigt sextet (57Fe)");

    // Properties of the free variable: the editor's change is one step.
    row = 2;
    ASSERT_TRUE(frame->AddSubspectrum(SubSpecFactory::instance().index_of(L"FreeVar"), nullptr, false));
    const std::size_t before = steps();
    row = 3;
    command(265);
    EXPECT_EQ(steps(), before + 1);
    const auto description = [&] {
        return dynamic_cast<const ISubSpecDesc&>(*document().model.components[3]->subspec).description();
    };
    EXPECT_EQ(description(), L"shared");
    document().model_history.undo(document());
    EXPECT_EQ(description(), L"");
    EXPECT_TRUE(shown.empty());
}

// The level count of a many-state model in the real "Properties" dialog: a typed count
// is one step; a count without digits is reported and changes nothing.
TEST_F(ComponentCommandsTest, LevelCountThroughThePropertiesDialogInBothLanguages)
{
    for (const auto& [langid, tag] : std::vector<std::pair<WORD, std::wstring>>{{0x409, L"english"}, {0x419, L"russian"}}) {
        create(langid);
        row = -1;
        command(add_id(L"Many-state spin relaxation"));
        row = 1;
        const auto levels = [&] {
            return dynamic_cast<const ISubSpecDesc&>(*document().model.components[1]->subspec).description();
        };
        ASSERT_EQ(levels(), L"101");
        const std::size_t before = steps();
        std::wstring typed = L"7";
        editor.edit = [&](KeywordList& list) {
            CPropPageDlg dialog(list, false);
            modal_test::when_dialog_shows([&](HWND d) {
                edit_cell(dialog, 0, 1, typed.c_str());
                if (typed == L"7") EXPECT_TRUE(modal_test::save_settled_screenshot(d, L"many-state-properties-" + tag));
                PostMessageW(d, WM_COMMAND, IDOK, 0);
            });
            return static_cast<int>(dialog.run(frame->hwnd()));
        };
        command(265);
        EXPECT_EQ(levels(), L"7");
        EXPECT_EQ(steps(), before + 1);
        document().model_history.undo(document());
        EXPECT_EQ(levels(), L"101");

        typed = L"many";
        command(265);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, L"Invalid integer format for <Levels (2S+1)>: many");
        EXPECT_EQ(levels(), L"101");
        EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*document().model.components[1]->subspec).save_extra(),
                  L"0|Levels$0020$00282S$002b1$0029|101");
        EXPECT_TRUE(document().model_history.can_redo());
        shown.clear();
        destroy_frame(frame);
    }
}

TEST_F(ComponentCommandsTest, DistributionsThroughTheirDialogInBothLanguages)
{
    for (const auto& [langid, tag] : std::vector<std::pair<WORD, std::wstring>>{{0x409, L"english"}, {0x419, L"russian"}}) {
        create(langid);
        row = -1;
        command(add_id(L"Lorentz singlet"));
        const std::size_t before = steps();
        // Nothing ticked: the message, and the dialog stays; then 1001 points is refused.
        int rows = 0;
        bool stayed = false;
        std::vector<std::wstring> names;
        modal_test::when_dialog_shows([&](HWND dialog) {
            const HWND list = GetDlgItem(dialog, dist_params_list);
            rows = ListView_GetItemCount(list);
            for (int r = 0; r < rows; ++r) {
                wchar_t text[64] = {};
                ListView_GetItemText(list, r, 0, text, 64);
                names.push_back(text);
            }
            EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, dist_params_properties)), FALSE);
            EXPECT_TRUE(modal_test::save_settled_screenshot(dialog, L"distribution-parameters-" + tag));
            for (int r = 0; r < rows; ++r) ListView_SetCheckState(list, r, FALSE);
            click(dialog, IDOK);
            ListView_SetCheckState(list, 0, TRUE);
            SetDlgItemTextW(dialog, dist_params_points, L"1001");
            click(dialog, IDOK);
            stayed = IsWindow(dialog) && IsWindowVisible(dialog);
            SetDlgItemTextW(dialog, dist_params_points, L"20");
            click(dialog, IDOK);
        });
        command(distribution_id(L"PseudoVoigt doublet"));
        // The doublet's parameters that may be spread, δ and ε, each under its own letter.
        EXPECT_EQ(names, (std::vector<std::wstring>{L"\u03B4", L"\u03B5"}));
        EXPECT_GT(rows, 0);
        EXPECT_TRUE(stayed);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, MessageText(50058).str());
        EXPECT_EQ(steps(), before + 1);
        const IDistribution* dist = document().model.components.back()->distribution();
        ASSERT_NE(dist, nullptr);
        EXPECT_EQ(dist->point_count(), 20u);

        // Properties of the distribution: its count, the list greyed; one step.
        row = static_cast<int>(document().model.component_count()) - 1;
        bool list_enabled = true;
        std::wstring shown_count;
        modal_test::when_dialog_shows([&](HWND dialog) {
            list_enabled = IsWindowEnabled(GetDlgItem(dialog, dist_params_list));
            wchar_t text[16] = {};
            GetDlgItemTextW(dialog, dist_params_points, text, 16);
            shown_count = text;
            SetDlgItemTextW(dialog, dist_params_points, L"50");
            click(dialog, IDOK);
        });
        command(265);
        EXPECT_FALSE(list_enabled);
        EXPECT_EQ(shown_count, L"20");
        EXPECT_EQ(document().model.components.back()->distribution()->point_count(), 50u);
        EXPECT_EQ(steps(), before + 2);
        document().model_history.undo(document());
        EXPECT_EQ(document().model.components.back()->distribution()->point_count(), 20u);
        shown.clear();
        destroy_frame(frame);
    }
}

TEST_F(ComponentCommandsTest, IsotopeInformationShowsTheCheckedIsotope)
{
    create();
    command(261);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Information");
    EXPECT_EQ(shown[0].text.rfind(isotope_table().at(0).name, 0), 0u);
    EXPECT_NE(shown[0].text.find(L"Γτ="), std::wstring::npos);
}

TEST_F(ComponentCommandsTest, FitSettingsDialogReadsStrictlyAndKeepsRoundedValues)
{
    for (const auto& [langid, tag] : std::vector<std::pair<WORD, std::wstring>>{{0x409, L"english"}, {0x419, L"russian"}}) {
        set_resource_language(langid);
        FitSettings settings;
        settings.eps1 = 2.4e-10;
        CFitSettingsDlg dialog(settings);
        std::wstring eps1_text, caption;
        bool stayed = false;
        modal_test::when_dialog_shows([&](HWND d) {
            wchar_t text[64] = {};
            GetDlgItemTextW(d, fit_field_eps1, text, 64);
            eps1_text = text;
            GetWindowTextW(d, text, 64);
            caption = text;
            EXPECT_TRUE(modal_test::save_settled_screenshot(d, L"fit-settings-" + tag));
            SetDlgItemTextW(d, fit_field_kmax, L"1O");
            click(d, IDOK);
            stayed = IsWindowVisible(d) && GetFocus() == GetDlgItem(d, fit_field_kmax);
            SetDlgItemTextW(d, fit_field_kmax, L"500");
            click(d, IDOK);
        });
        ASSERT_EQ(dialog.run(nullptr), IDOK);
        EXPECT_EQ(eps1_text, L"2e-10");
        EXPECT_EQ(caption, langid == 0x409 ? L"Fit Settings" : L"Параметры минимизации");
        EXPECT_TRUE(stayed);
        EXPECT_EQ(dialog.settings().eps1, 2.4e-10);  // shown rounded, kept exactly
        EXPECT_EQ(dialog.settings().kmax, 500);

        CFitSettingsDlg reset(settings);
        modal_test::when_dialog_shows([&](HWND d) {
            click(d, fit_settings_defaults_button);
            click(d, IDOK);
        });
        ASSERT_EQ(reset.run(nullptr), IDOK);
        EXPECT_EQ(reset.settings().eps1, 1e-15);
        EXPECT_EQ(reset.settings().kmax, 1000);
    }
}

} // namespace
