// The velocity calibration through the main window: the Calibrate submenu lists the
// standards of the current isotope; the dialog fits the α-iron standard to a simulated
// spectrum on rising or falling channels and shows its zero channel and price; OK writes
// them into the spectrum, "Use model" makes the fitted model the document's, each one
// undo step; a filter width below 2 says so and offers nothing to take; screenshots in
// both languages.
#include "ui/frame/main_frame.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/text/messages.h"
#include "core/text/text.h"
#include "tests/support/alpha_iron.h"
#include "tests/ui/win/dialog_command_suite.h"
#include "ui/dialogs/calibrate_dlg.h"
#include "ui/resource_ids.h"
#include "wingui/resources.h"

namespace {

using modal_test::item_text;

bool visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

class CalibrationWin : public DialogCommandSuite {
protected:
    static void SetUpTestSuite() { frame_suite::set_up(); }
    static void TearDownTestSuite() { CoUninitialize(); }

    // The α-iron spectrum on 512 channels: the channel keys describe its velocities,
    // which run from high to low on a `falling` axis.
    void create(WORD langid = 0x409, bool falling = false)
    {
        create_window(langid);
        const SpectrumData simulated = alpha_iron::spectrum();
        ModelState& d = document();
        const double low = simulated.x_data.front(), high = simulated.x_data.back();
        d.data.make_velocity_axis(512, falling ? high : low, falling ? low : high);
        d.data.set_counts_and_std_dev(simulated.y_data, simulated.std_dev_data);
        d.data.store_keywords();
        KeywordList keys = d.data.keywords;
        d.data.load_keywords(keys);
        d.data.keywords = keys;
        d.set_levels_from_spectrum();
    }
    std::wstring menu_text(UINT id) const
    {
        wchar_t text[64] = {};
        GetMenuStringW(GetMenu(frame->hwnd()), id, text, 64, MF_BYCOMMAND);
        return text;
    }
};

TEST_F(CalibrationWin, TheSubmenuListsTheStandardsOfTheCurrentIsotopeInOrder)
{
    create();
    ASSERT_TRUE(frame->GetCurrentIsotope());
    EXPECT_EQ(menu_text(231), L"SNP");
    EXPECT_EQ(menu_text(232), L"\u03B1-Fe");
    EXPECT_EQ(menu_text(233), L"");
}

// On a falling axis (channels from high to low velocities) the price is negative and
// is shown and written like any other.
TEST_F(CalibrationWin, OkWritesTheFittedZeroChannelAndPriceIntoTheSpectrum)
{
    for (const bool falling : {false, true}) {
        SCOPED_TRACE(falling ? "falling axis" : "rising axis");
        create(0x409, falling);
        ModelState& d = document();
        double zero = 0.0, price = 0.0;
        kwlist_get_double(d.data.keywords, L"ZeroChannel", zero);
        kwlist_get_double(d.data.keywords, L"ChannelPrice(mm/s)", price);
        EXPECT_EQ(price < 0.0, falling);
        const std::vector<double> x = d.data.x_data;
        std::wstring zero_text, price_text, result;
        bool ok_enabled = false, price_shown = false;
        command(232, [&](HWND dialog) {
            zero_text = item_text(dialog, IDC_CALIBRATE_ZERO_CHANNEL);
            price_text = item_text(dialog, IDC_CALIBRATE_PRICE);
            result = item_text(dialog, IDC_CALIBRATE_RESULT);
            ok_enabled = enabled(dialog, IDOK);
            price_shown = visible(dialog, IDC_CALIBRATE_PRICE);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        ASSERT_TRUE(ok_enabled) << wide_to_utf8(result);
        EXPECT_TRUE(price_shown);
        EXPECT_EQ(result.rfind(L"\u03C7\u00B2: ", 0), 0u) << wide_to_utf8(result);
        // The simulated sextet sits at δ = 0 with the standard's line distance, so the
        // axis stays where it was.
        EXPECT_NEAR(std::stod(zero_text), zero, 0.05);
        EXPECT_NEAR(std::stod(price_text), price, 0.002 * std::fabs(price));
        double written = 0.0;
        ASSERT_TRUE(kwlist_get_double(d.data.keywords, L"ZeroChannel", written));
        EXPECT_NEAR(written, std::stod(zero_text), 1e-5);
        ASSERT_EQ(d.data.x_data.size(), x.size());
        for (std::size_t i = 0; i < x.size(); ++i)
            ASSERT_NEAR(d.data.x_data[i], x[i], 0.01) << i;
        d.spectrum_history.undo(d);
        kwlist_get_double(d.data.keywords, L"ZeroChannel", written);
        EXPECT_EQ(written, zero);
        frame.reset();
    }
}

TEST_F(CalibrationWin, UseModelMakesTheFittedModelTheDocumentsAsOneStep)
{
    create();
    ModelState& d = document();
    command(232, [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, CCalibrateDlg::use_model_id, 0); });
    ASSERT_EQ(d.model.component_count(), 2u);
    EXPECT_TRUE(d.model.components[0]->is_baseline());
    EXPECT_EQ(d.values.size(), d.model.param_count());
    d.model_history.undo(d);
    EXPECT_EQ(d.model.component_count(), 0u);
}

TEST_F(CalibrationWin, AFilterWidthBelowTwoOffersNothingToTake)
{
    create();
    std::wstring result;
    bool ok_enabled = true, use_enabled = true, zero_shown = true;
    command(232, [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_CALIBRATE_FILTER_WIDTH, L"1");
        result = item_text(dialog, IDC_CALIBRATE_RESULT);
        ok_enabled = enabled(dialog, IDOK);
        use_enabled = enabled(dialog, CCalibrateDlg::use_model_id);
        zero_shown = visible(dialog, IDC_CALIBRATE_ZERO_CHANNEL);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, MessageText(50067).str());
    EXPECT_FALSE(ok_enabled);
    EXPECT_FALSE(use_enabled);
    EXPECT_FALSE(zero_shown);
    EXPECT_FALSE(document().spectrum_history.can_undo());
}

TEST_F(CalibrationWin, ScreenshotsInEnglishAndRussian)
{
    struct Language {
        WORD langid;
        const wchar_t* tag;
        const wchar_t* caption;
        const wchar_t* reason;  // the fit's stop reason closing the result line
    };
    const Language languages[] = {{0x409, L"english", L"Calibration results", L"step is too small"},
                                  {0x419, L"russian", L"Результаты калибровки", L"шаг слишком мал"}};
    for (const Language& language : languages)
        for (const bool falling : {false, true}) {
            SCOPED_TRACE(wide_to_utf8(language.tag) + (falling ? " falling" : " rising"));
            create(language.langid, falling);
            double zero = 0.0;
            kwlist_get_double(document().data.keywords, L"ZeroChannel", zero);
            bool shot = false;
            std::wstring caption, result, zero_text;
            command(232, [&](HWND dialog) {
                wchar_t text[128] = {};
                GetWindowTextW(dialog, text, 128);
                caption = text;
                result = item_text(dialog, IDC_CALIBRATE_RESULT);
                zero_text = item_text(dialog, IDC_CALIBRATE_ZERO_CHANNEL);
                shot = modal_test::save_screenshot(
                    dialog, std::wstring(falling ? L"calibration-falling-" : L"calibration-") + language.tag);
                SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
            EXPECT_TRUE(shot);
            // What the user reads: the caption, χ² with its reason, and the zero channel found.
            EXPECT_EQ(caption, language.caption);
            EXPECT_EQ(result.rfind(L"\u03C7\u00B2: ", 0), 0u) << wide_to_utf8(result);
            if (!falling) {
                EXPECT_TRUE(result.ends_with(language.reason)) << wide_to_utf8(result);
                EXPECT_NEAR(std::stod(zero_text), zero, 0.05);
            }
            // Cancel changes nothing.
            EXPECT_FALSE(document().spectrum_history.can_undo());
            frame.reset();
        }
}

}  // namespace
