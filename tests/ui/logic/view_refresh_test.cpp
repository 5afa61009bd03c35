// The view refresh's flags, its chi-square text, the fit status pane and the throttle
// on copies of the parameter vector.
#include <gtest/gtest.h>

#include "core/fit/fit_settings.h"
#include "core/text/messages.h"
#include "ui/logic/fit_protocol.h"
#include "ui/logic/view_refresh.h"

TEST(ViewRefresh, ResultsWithAStatusShowChiSquareIterationsAndTheReason)
{
    FitStatus status;
    status.stop_code = 2;
    status.iterations = 12;
    const ViewRefresh r = plan_view_refresh(ViewsResults | ViewsChiSquare, &status, 100.0, 1.25);
    EXPECT_EQ(r.status_text, L"χ² = 100.00 (1.250±0.158),  " + MessageText(50028).str() + L": 12, " +
                                 MessageText(50018).str());
    EXPECT_TRUE(r.results);
    EXPECT_FALSE(r.follow_values);
    EXPECT_FALSE(r.rebuild_parameter_grid);
}

TEST(ViewRefresh, AFitThatFittedNothingShowsOnlyItsReasonAndPutsTheValuesBack)
{
    // 11: counts or velocities that are not numbers, found before the first step too.
    for (int code : {8, 9, 10, 11}) {
        FitStatus status;
        status.stop_code = code;
        const ViewRefresh r = plan_view_refresh(ViewsResults | ViewsChiSquare, &status, -1.0, -1.0);
        EXPECT_EQ(r.status_text, MessageText(fit_stop_message_id(code)).str()) << code;
        EXPECT_FALSE(r.results) << code;
        EXPECT_TRUE(r.follow_values) << code;
        EXPECT_TRUE(r.rebuild_parameter_grid) << code;
    }
}

TEST(ViewRefresh, FlagsDecideTextValuesResultsAndGrid)
{
    struct Case {
        int flags;
        const wchar_t* text;
        bool follow, results, rebuild;
    };
    const Case cases[] = {
        {0, L"", false, false, false},
        {ViewsChiSquare, L"χ² = 50.00 (0.500±0.141)", false, false, false},
        {ViewsResults | ViewsChiSquare, L"", false, true, false},  // results without a status
        {ViewsResults, L"", false, true, false},
        {ViewsFollowValues, L"", true, false, true},
        {ViewsRebuildGrid, L"", false, false, true},
    };
    for (const Case& c : cases) {
        const ViewRefresh r = plan_view_refresh(c.flags, nullptr, 50.0, 0.5);
        EXPECT_EQ(r.status_text, c.text) << c.flags;
        EXPECT_EQ(r.follow_values, c.follow) << c.flags;
        EXPECT_EQ(r.results, c.results) << c.flags;
        EXPECT_EQ(r.rebuild_parameter_grid, c.rebuild) << c.flags;
    }
}

TEST(ViewRefresh, ChangesThatLeaveTheFitStandingKeepItsResultsAndTheirStatusText)
{
    struct Case {
        DocumentChange change;
        bool results_stay, follow, rebuild;
    };
    const Case cases[] = {
        {DocumentChange::spectrum, false, false, true},
        {DocumentChange::spectrum_replaced, false, true, true},
        {DocumentChange::model, false, true, true},
        {DocumentChange::constraints, true, false, false},
        {DocumentChange::grid_edit, true, false, false},
        {DocumentChange::expressions, true, false, true},
        {DocumentChange::fit_accepted, true, false, true},
        {DocumentChange::appearance, true, false, true},
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(c.change);
        for (bool shown : {false, true}) {
            const ViewRefresh r = plan_view_refresh(refresh_flags(c.change, shown), nullptr, 50.0, 0.5);
            EXPECT_EQ(r.results, c.results_stay && shown) << n;
            EXPECT_EQ(r.keep_status_text, c.results_stay) << n;
            EXPECT_EQ(r.follow_values, c.follow) << n;
            EXPECT_EQ(r.rebuild_parameter_grid, c.rebuild) << n;
        }
    }
}

TEST(FitValuesThrottle, AttachesOnlyAfterTwoSecondsAcrossTheTickWrapAround)
{
    struct Case {
        std::uint32_t now, last;
        bool due;
    };
    const Case cases[] = {
        {2000, 0, false},          {2001, 0, true},          {100, 100, false},
        {0xFFFFFFFFu, 0xFFFFF830u, false},  // 1999 ms before the wrap
        {0x000003E8u, 0xFFFFFC00u, true},   // 2024 ms across the wrap
        {0x00000400u, 0xFFFFFBFFu, true},   // 2049 ms across the wrap
        {0x00000010u, 0xFFFFF840u, false},  // exactly 2000 ms across the wrap
        {0x00000011u, 0xFFFFF840u, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fit_values_due(c.now, c.last), c.due) << c.now << " " << c.last;
}

TEST(FitStatusText, FittingOrWaitingWithTheLastStep)
{
    FitProgress p;
    EXPECT_EQ(fit_status_text(false, false, p), L"");
    EXPECT_EQ(fit_status_text(true, false, p), MessageText(50003, L"...").str());
    EXPECT_EQ(fit_progress_insert(p), L"...");
    p.iteration = 3;
    p.chi_square = 120.5;
    p.reduced_chi_square = 1.125;
    p.previous_chi_square = 130.75;
    p.rho = 0.875;
    p.step_length = 0.01;
    EXPECT_EQ(fit_progress_insert(p), L": 3; χ²=120.500 (1.125); Δχ²=10.250; ρ=0.88; lg(Δp)=-2.0");
    EXPECT_EQ(fit_status_text(true, true, p), MessageText(50004, fit_progress_insert(p)).str());
}
