// The report viewer without an HTML engine: it asks before opening the report in the
// system's browser, opens exactly the written file, and says where the report is when
// nothing can open it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wingui/win/recorded_dialogs.h"
#include "ui/report_viewer.h"
#include "wingui/dialog_hooks.h"

namespace {

// The message boxes, answered Yes unless changed, and the files the system would open.
struct Recorder {
    RecordedDialogs boxes;
    std::vector<std::wstring> opened;
    bool open_works = true;

    Recorder()
    {
        boxes.default_answer = IDYES;
        set_open_file_function([this](HWND, const std::wstring& path) {
            opened.push_back(path);
            return open_works;
        });
    }
    ~Recorder() { set_open_file_function(nullptr); }
};

const std::wstring report = L"C:\\temp\\report.html";

TEST(ReportViewer, OpensTheReportInTheBrowserOnlyWhenTheUserAgrees)
{
    Recorder yes;
    EXPECT_EQ(show_report(nullptr, report), ReportOffer::Opened);
    ASSERT_EQ(yes.boxes.shown.size(), 1u);
    EXPECT_NE(yes.boxes.shown[0].text.find(report), std::wstring::npos);
    EXPECT_EQ(yes.opened, std::vector<std::wstring>{report});
}

TEST(ReportViewer, NoOpensNothing)
{
    Recorder no;
    no.boxes.default_answer = IDNO;
    EXPECT_EQ(show_report(nullptr, report), ReportOffer::Declined);
    EXPECT_TRUE(no.opened.empty());
    EXPECT_EQ(no.boxes.shown.size(), 1u);
}

TEST(ReportViewer, WhenNothingCanOpenItTheUserIsToldWhereTheReportIs)
{
    Recorder failing;
    failing.open_works = false;
    EXPECT_EQ(show_report(nullptr, report), ReportOffer::NotOpened);
    ASSERT_EQ(failing.boxes.shown.size(), 2u);
    EXPECT_NE(failing.boxes.shown[1].text.find(L"saved as"), std::wstring::npos);
    EXPECT_NE(failing.boxes.shown[1].text.find(report), std::wstring::npos);
}

}  // namespace
