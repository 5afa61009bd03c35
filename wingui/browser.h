// A child window hosting the system's WebBrowser control. The window's text at creation
// is the class identifier of the control it creates. It lets the first document load and
// refuses every later navigation (links in a page do nothing), shows no context menu,
// opens no dropped file, draws an edit box's border (themed when the system has a
// theme), and posts WM_APP to its parent once the first document is complete, when a
// parent may put its own page into it with LoadHtml.
//
// Without an HTML engine (a system without one, Wine without Gecko) or when the control
// cannot be created, the window stays empty and can_show_pages() is false: callers show
// their content some other way. Without a control nothing calls into one.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <uxtheme.h>

#include <string>

#include "wingui/com_ptr.h"
#include "wingui/event_sink.h"
#include "wingui/ole_site.h"
#include "wingui/window.h"

// The WebBrowser control's class identifier, as the window text that creates it.
inline constexpr const wchar_t* web_browser_class_id = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

class CBrowser final : public Window {
public:
    CBrowser();
    ~CBrowser() override;

    // Creates the window as child `id` of `parent` over `rect` (hidden), with the control
    // of class `class_id` in it; false when the window cannot be created.
    bool create(HWND parent, UINT id, const RECT& rect, const wchar_t* class_id = web_browser_class_id);

    // The hosted control; null when there is none.
    IWebBrowser2* browser() const { return browser_.get(); }
    // Whether pages can be shown: the control is there and so is an HTML engine (the
    // WebBrowser control makes itself without one, and then shows nothing).
    bool can_show_pages() const { return browser_ && html_engine_available(); }
    // Navigates to a file or address; nothing without a control.
    void navigate(const std::wstring& address);
    // Shows `text` (an HTML byte string) as the content of the loaded document without
    // navigating; a failing step leaves the page as it was.
    void LoadHtml(const std::string& text);

    // Whether the system can show HTML at all (its HTML document class exists).
    static bool html_engine_available();
    // Installs a replacement of that check (tests) and returns the previous one; null
    // restores the system's.
    using EngineCheck = bool (*)();
    static EngineCheck set_html_engine_check(EngineCheck check);

private:
    LRESULT OnCreate(const CREATESTRUCTW& create);
    void OnDocumentComplete();
    void OnBeforeNavigate2(DISPPARAMS& parameters);
    void OnContextMenu(DISPPARAMS& parameters, VARIANT* result);
    void release_control();
    void open_theme();
    LRESULT calc_size(WPARAM wparam, LPARAM lparam);
    void paint_border(HRGN update);

    HTHEME theme_ = nullptr;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IDispatch> document_;  // an IHTMLDocument2 (its header clashes with the model's names)
    ComPtr<IOleObject> control_;
    ComPtr<OleSite> site_;
    EventSink browser_events_;
    EventSink document_events_;
    bool loaded_ = false;
};
