// The report viewer without an HTML engine: it asks before opening the report in the
// system's browser, opens exactly the written file, and says where the report is when
// nothing can open it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/report_viewer.h"
#include "ui/wingui/dialog_hooks.h"

namespace {

struct Recorder {
    std::vector<std::wstring> texts;
    std::vector<std::wstring> opened;
    int answer = IDYES;
    bool open_works = true;

    Recorder()
    {
        set_message_box_function([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
            texts.push_back(text);
            return answer;
        });
        set_open_file_function([this](HWND, const std::wstring& path) {
            opened.push_back(path);
            return open_works;
        });
    }
    ~Recorder()
    {
        set_message_box_function(nullptr);
        set_open_file_function(nullptr);
    }
};

const std::wstring report = L"C:\\temp\\report.html";

TEST(ReportViewer, OpensTheReportInTheBrowserOnlyWhenTheUserAgrees)
{
    Recorder yes;
    EXPECT_TRUE(show_report(nullptr, report));
    ASSERT_EQ(yes.texts.size(), 1u);
    EXPECT_NE(yes.texts[0].find(report), std::wstring::npos);
    EXPECT_EQ(yes.opened, std::vector<std::wstring>{report});
}

TEST(ReportViewer, NoOpensNothing)
{
    Recorder no;
    no.answer = IDNO;
    EXPECT_FALSE(show_report(nullptr, report));
    EXPECT_TRUE(no.opened.empty());
    EXPECT_EQ(no.texts.size(), 1u);
}

TEST(ReportViewer, WhenNothingCanOpenItTheUserIsToldWhereTheReportIs)
{
    Recorder failing;
    failing.open_works = false;
    EXPECT_FALSE(show_report(nullptr, report));
    ASSERT_EQ(failing.texts.size(), 2u);
    EXPECT_NE(failing.texts[1].find(L"saved as"), std::wstring::npos);
    EXPECT_NE(failing.texts[1].find(report), std::wstring::npos);
}

}  // namespace
