// The browser window under Wine: without a control it is an empty window with an edit
// box's border that calls into nothing; Wine's WebBrowser control is hosted, its events
// reach the sinks and its first navigation goes through. Wine here has no HTML engine
// (no Gecko), so no document completes: with one, the first is reported once and later
// navigations are refused.
#include "wingui/browser.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <exdispid.h>

#include <algorithm>

#include <string>
#include <vector>


namespace {

// The browser's parent: counts the notices of the first document.
class Parent : public Window {
public:
    Parent()
    {
        message_map().on_message(WM_APP, [this](WPARAM, LPARAM) { return (++first_documents, LRESULT{0}); });
    }
    bool create_popup()
    {
        WindowPlacement placement;
        placement.style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN;
        placement.x = placement.y = 0;
        placement.width = 400;
        placement.height = 300;
        return create(L"Vexmoor.BrowserParent", {}, placement);
    }
    int first_documents = 0;
};

struct OleScope {
    OleScope() { OleInitialize(nullptr); }
    ~OleScope() { OleUninitialize(); }
};

// Pumps messages for about `ms` milliseconds or until `done`.
template <class Done>
void pump_until(int ms, Done done)
{
    for (int waited = 0; waited < ms && !done(); waited += 20) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
}

TEST(Browser, WithoutAControlTheWindowIsThereWithItsBorderAndCallsNothing)
{
    const OleScope ole;
    Parent parent;
    ASSERT_TRUE(parent.create_popup());
    CBrowser browser;
    // A class that does not exist: no control.
    ASSERT_TRUE(browser.create(parent.hwnd(), 11, {10, 10, 210, 110}, L"{0D1F2E3C-0000-4000-8000-000000000001}"));
    EXPECT_EQ(browser.browser(), nullptr);
    EXPECT_FALSE(browser.can_show_pages());
    browser.navigate(L"about:blank");
    browser.LoadHtml("<p>nothing to load into</p>");
    SetFocus(browser.hwnd());
    pump_until(200, [] { return false; });
    EXPECT_EQ(parent.first_documents, 0);
    // The border takes its width off every side of the client area.
    RECT window{}, client{};
    GetWindowRect(browser.hwnd(), &window);
    GetClientRect(browser.hwnd(), &client);
    const int frame = (window.right - window.left) - client.right;
    EXPECT_GT(frame, 0);
    EXPECT_EQ((window.bottom - window.top) - client.bottom, frame);
    EXPECT_EQ(GetDlgCtrlID(browser.hwnd()), 11);
    // Not a class identifier at all: no control either.
    CBrowser unnamed;
    ASSERT_TRUE(unnamed.create(parent.hwnd(), 12, {0, 0, 50, 50}, L"not a class"));
    EXPECT_EQ(unnamed.browser(), nullptr);
}

TEST(Browser, TheWebBrowserControlIsHostedWhereItExists)
{
    const OleScope ole;
    Parent parent;
    ASSERT_TRUE(parent.create_popup());
    CBrowser browser;
    ASSERT_TRUE(browser.create(parent.hwnd(), 11, {0, 0, 400, 300}));
    std::printf("WebBrowser control: %s; HTML engine: %s\n", browser.browser() ? "created" : "none",
                CBrowser::html_engine_available() ? "present" : "none");
    if (!browser.browser()) GTEST_SKIP() << "this system has no WebBrowser control";
    ShowWindow(browser.hwnd(), SW_SHOW);
    // The drop target is off: dropped files do not open.
    VARIANT_BOOL drop = VARIANT_TRUE;
    EXPECT_TRUE(SUCCEEDED(browser.browser()->get_RegisterAsDropTarget(&drop)));
    EXPECT_EQ(drop, VARIANT_FALSE);
    // A sink of the test's own on the same events sees what the browser's sink sees.
    std::vector<DISPID> events;
    EventSink sink(DIID_DWebBrowserEvents2, [&](DISPID id, DISPPARAMS&, VARIANT*) { events.push_back(id); });
    ASSERT_TRUE(sink.connect(browser.browser()));
    EXPECT_FALSE(sink.connect(browser.browser()));  // connected already
    browser.navigate(L"about:blank");
    pump_until(3000, [&] { return parent.first_documents > 0; });
    // The first navigation goes through: the download begins after BeforeNavigate2.
    const auto before = std::find(events.begin(), events.end(), DISPID_BEFORENAVIGATE2);
    ASSERT_NE(before, events.end());
    EXPECT_NE(std::find(before, events.end(), DISPID_DOWNLOADBEGIN), events.end());
    sink.disconnect();
    EXPECT_FALSE(sink.connected());
    if (!CBrowser::html_engine_available()) {
        // Without an engine no document completes, and nobody is told of one.
        EXPECT_EQ(parent.first_documents, 0);
        EXPECT_FALSE(browser.can_show_pages());
        browser.LoadHtml("<p>no document to load into</p>");
        return;
    }
    ASSERT_EQ(parent.first_documents, 1);
    browser.LoadHtml("<html><body><p id='x'>page</p></body></html>");
    // A later navigation is refused: the first document stays, and is reported once.
    browser.navigate(L"about:blank#elsewhere");
    pump_until(500, [] { return false; });
    EXPECT_EQ(parent.first_documents, 1);
}

} // namespace
