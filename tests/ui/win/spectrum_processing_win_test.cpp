// The spectrum processing commands through the main window, their dialogs answered by
// the test: each changes the spectrum as one undo step, refuses what its dialog refuses,
// says why a deconvolution cannot run, and the dialogs look right in both languages.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/model/model_expressions.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "lineshapes/singlets.h"
#include "plot/model_data_view.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/spectrum_texts.h"
#include "tests/ui/win/dialog_command_suite.h"
#include "wingui/logic/dialog_numbers.h"
#include "ui/resource_ids.h"
#include "wingui/resources.h"

namespace {

using modal_test::item_text;

// Types `text` into field `id` and presses OK; true when the dialog then stays open.
bool ok_refused(HWND dialog, int id, const wchar_t* text)
{
    SetDlgItemTextW(dialog, id, text);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

class SpectrumProcessingWin : public DialogCommandSuite {
protected:
    static void SetUpTestSuite() { model_expressions_load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/model_expressions.txt")); }

    // A baseline and a line on a 64-channel spectrum.
    void create(WORD langid = 0x409) { create_with(langid, {make_subspec<LorenzLine>(nullptr)}); }
    LRESULT point_click(std::int32_t index)
    {
        PlotNotification n{};
        n.hdr.hwndFrom = frame->plot_view().window();
        n.hdr.idFrom = CMainFrame::plot_view_id;
        n.hdr.code = static_cast<UINT>(NotifyPointClick);
        n.index = index;
        return SendMessageW(frame->hwnd(), WM_NOTIFY, CMainFrame::plot_view_id, reinterpret_cast<LPARAM>(&n));
    }
};

TEST_F(SpectrumProcessingWin, FilterSmoothsAsOneStepAndItsFieldIsReadStrictly)
{
    create();
    const std::vector<double> counts = document().data.y_data;
    std::wstring label, width;
    bool refused_minus_zero = false, refused_text = false;
    command(211, [&](HWND d) {
        label = item_text(d, IDC_FILTER_LABEL);
        width = item_text(d, IDC_FILTER_WIDTH);
        refused_minus_zero = ok_refused(d, IDC_FILTER_WIDTH, L"-0");
        refused_text = ok_refused(d, IDC_FILTER_WIDTH, L"0.4x");
        ok_refused(d, IDC_FILTER_WIDTH, L"0.4");
    });
    EXPECT_EQ(label, MessageText(50065).str());
    EXPECT_EQ(width, L"0");
    EXPECT_TRUE(refused_minus_zero);
    EXPECT_TRUE(refused_text);
    EXPECT_NE(document().data.y_data, counts);
    SendMessageW(frame->hwnd(), WM_COMMAND, 209, 0);  // spectrum undo
    EXPECT_EQ(document().data.y_data, counts);

    // A width of 0 is read and does nothing.
    command(211, [](HWND d) { ok_refused(d, IDC_FILTER_WIDTH, L"0"); });
    EXPECT_EQ(document().data.y_data, counts);
    EXPECT_TRUE(shown.empty());
}

TEST_F(SpectrumProcessingWin, DeconvolutionSaysWhyTheModelDoesNotSuit)
{
    create();
    const std::vector<double> counts = document().data.y_data;
    std::wstring probability, fraction;
    command(214, [&](HWND d) {
        probability = item_text(d, IDC_DECONVOLUTION_PROBABILITY);
        fraction = item_text(d, IDC_DECONVOLUTION_FRACTION);
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(probability, L"0.77");
    EXPECT_EQ(fraction, L"0.5");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, MessageText(50062).str());
    EXPECT_EQ(shown[0].caption, MessageText(50000).str());
    EXPECT_EQ(document().data.y_data, counts);

    // A product that is not positive: nothing happens and nothing is said.
    shown.clear();
    command(214, [](HWND d) { ok_refused(d, IDC_DECONVOLUTION_FRACTION, L"0"); });
    EXPECT_TRUE(shown.empty());
}

TEST_F(SpectrumProcessingWin, GenerateFromModelDrawsTheRangeShownAndScalesTheAreas)
{
    create();
    const double first = document().data.x_data.front(), last = document().data.x_data.back();
    std::wstring vmin, vmax, points;
    bool refused_31 = false, refused_8193 = false;
    bool noise_ticked = false;
    command(204, [&](HWND d) {
        vmin = item_text(d, IDC_VELOCITY_MIN);
        vmax = item_text(d, IDC_VELOCITY_MAX);
        points = item_text(d, IDC_VELOCITY_POINTS);
        noise_ticked = IsDlgButtonChecked(d, IDC_VELOCITY_NOISE) == BST_CHECKED;
        refused_31 = ok_refused(d, IDC_VELOCITY_POINTS, L"31");
        refused_8193 = ok_refused(d, IDC_VELOCITY_POINTS, L"8193");
        CheckDlgButton(d, IDC_VELOCITY_NOISE, BST_UNCHECKED);
        ok_refused(d, IDC_VELOCITY_POINTS, L"32");
    });
    // The spectrum's ends with three significant digits, and those are the range used.
    EXPECT_EQ(vmin, format_field_double(first, 3));
    EXPECT_EQ(vmax, format_field_double(last, 3));
    EXPECT_EQ(points, L"1024");
    EXPECT_TRUE(noise_ticked);
    EXPECT_TRUE(refused_31);
    EXPECT_TRUE(refused_8193);
    ASSERT_EQ(document().data.x_data.size(), 32u);
    EXPECT_DOUBLE_EQ(document().data.x_data.front(), std::stod(vmin));
    EXPECT_DOUBLE_EQ(document().data.x_data.back(), std::stod(vmax));
    ASSERT_TRUE(document().model.area_exprs.back().expr);
    const double total = document().model.area_exprs.back().expr->value(document().values);
    EXPECT_NEAR(std::fabs(document().model.scale) * total, document().data.analysis(false).S, 1e-6 * total);
}

TEST_F(SpectrumProcessingWin, TransformsAreMenuItemsWhoseParametersAreRemembered)
{
    create();
    const HMENU popup = [&] {
        HMENU found = nullptr;
        std::function<void(HMENU)> walk = [&](HMENU menu) {
            for (int i = 0; i < GetMenuItemCount(menu) && !found; ++i) {
                const HMENU sub = GetSubMenu(menu, i);
                if (!sub) continue;
                if (GetMenuItemID(sub, 0) == 1001) found = sub;
                else walk(sub);
            }
        };
        walk(GetMenu(frame->hwnd()));
        return found;
    }();
    ASSERT_TRUE(popup);
    const ModelExpressionList& entries = model_expressions_find(L"Transform");
    ASSERT_GE(entries.size(), 2u);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(entries.size()));
    wchar_t text[64] = {};
    GetMenuStringW(popup, 1001, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(text, entries[0].name);

    // "Scale" = $k*$I with k left at its first value, 0: every count becomes 0.
    std::wstring caption;
    command(1001, [&](HWND d) {
        wchar_t title[128] = {};
        GetWindowTextW(d, title, 128);
        caption = title;
        SendMessageW(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(caption, MessageText(50079).str() + L": " + entries[0].name);
    for (double y : document().data.y_data) EXPECT_EQ(y, 0.0);
    ASSERT_EQ(frame->transform_parameters().size(), 1u);
    EXPECT_EQ(frame->transform_parameters()[0].first, L"k");
    SendMessageW(frame->hwnd(), WM_COMMAND, 209, 0);
    EXPECT_NE(document().data.y_data.front(), 0.0);
}

TEST_F(SpectrumProcessingWin, AShiftClickedPointTakesTheTypedCountAsOneStep)
{
    create();
    const std::vector<double> counts = document().data.y_data;
    std::wstring count;
    modal_test::when_dialog_shows([&](HWND d) {
        count = item_text(d, IDC_DATA_POINT_VALUE);
        ok_refused(d, IDC_DATA_POINT_VALUE, L"12345.5");
    });
    point_click(3);
    EXPECT_EQ(count, std::to_wstring(static_cast<long long>(counts[3])));
    EXPECT_EQ(document().data.y_data[3], 12345.5);
    SendMessageW(frame->hwnd(), WM_COMMAND, 209, 0);
    EXPECT_EQ(document().data.y_data, counts);
    // Outside the counts: no dialog, nothing changes.
    point_click(-1);
    point_click(static_cast<std::int32_t>(counts.size()));
    EXPECT_EQ(document().data.y_data, counts);
}

TEST_F(SpectrumProcessingWin, ScreenshotsOfTheDialogsInEnglishAndRussian)
{
    struct Language {
        WORD langid;
        const wchar_t* tag;
        const wchar_t* captions[4];  // filter, deconvolution, generate from model, data point
    };
    const Language languages[] = {
        {0x409, L"english", {L"Filter parameters", L"Deconvolution", L"Modeling", L"Data point"}},
        {0x419, L"russian", {L"Параметры фильтра", L"Обращение свертки", L"Моделирование спектра", L"Редактирование точки"}},
    };
    const auto caption_of = [](HWND d) {
        wchar_t text[128] = {};
        GetWindowTextW(d, text, 128);
        return std::wstring(text);
    };
    for (const Language& language : languages) {
        SCOPED_TRACE(wide_to_utf8(language.tag));
        create(language.langid);
        const std::wstring suffix = std::wstring(L"-") + language.tag;
        const std::vector<double> counts = document().data.y_data;
        // Each dialog in the window's language, with the value it starts from.
        const struct {
            UINT id;
            const wchar_t* name;
            int field;
            std::wstring value;
        } dialogs[] = {
            {211u, L"filter", IDC_FILTER_WIDTH, L"0"},
            {214u, L"deconvolution", IDC_DECONVOLUTION_PROBABILITY, L"0.77"},
            {204u, L"generate-from-model", IDC_VELOCITY_POINTS, L"1024"},
        };
        for (std::size_t k = 0; k < std::size(dialogs); ++k) {
            bool shot = false;
            std::wstring caption, value;
            command(dialogs[k].id, [&, name = dialogs[k].name, field = dialogs[k].field](HWND d) {
                caption = caption_of(d);
                value = item_text(d, field);
                shot = modal_test::save_screenshot(d, name + suffix);
                SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
            });
            EXPECT_TRUE(shot) << wide_to_utf8(dialogs[k].name);
            EXPECT_EQ(caption, language.captions[k]);
            EXPECT_EQ(value, dialogs[k].value) << wide_to_utf8(dialogs[k].name);
        }
        bool shot = false;
        std::wstring caption, count;
        modal_test::when_dialog_shows([&](HWND d) {
            caption = caption_of(d);
            count = item_text(d, IDC_DATA_POINT_VALUE);
            shot = modal_test::save_screenshot(d, L"data-point" + suffix);
            SendMessageW(d, WM_COMMAND, IDCANCEL, 0);
        });
        point_click(5);
        EXPECT_TRUE(shot);
        EXPECT_EQ(caption, language.captions[3]);
        EXPECT_EQ(count, std::to_wstring(static_cast<long long>(counts[5])));
        // Cancel leaves the spectrum as it was.
        EXPECT_EQ(document().data.y_data, counts);
        EXPECT_FALSE(document().spectrum_history.can_undo());
        frame.reset();
    }
}

}  // namespace
