// The main window as far as it exists yet: the frame with its menu, accelerators,
// status bar and Language menu. The grids, the plot and the document commands come
// with the rest of the main window.
#pragma once

#include "ui/wingui/handles.h"
#include "ui/wingui/message_loop.h"
#include "ui/wingui/window.h"

// The top-level window that Run creates and pumps messages for.
class ITopLevelWindow {
public:
    virtual ~ITopLevelWindow() = default;
    // Creates the window; false when it could not be created.
    virtual bool create_window() = 0;
    virtual HWND hwnd() const = 0;
};

class CMainFrame final : public Window, public ITopLevelWindow, public CMessageFilter, public CIdleHandler {
public:
    static constexpr const wchar_t* class_name = L"Vexmoor.MainFrame";

    CMainFrame();
    ~CMainFrame() override;

    bool create_window() override;
    HWND hwnd() const override { return Window::hwnd(); }

    bool PreTranslateMessage(MSG& message) override;
    bool OnIdle(int idle_count) override;

private:
    LRESULT OnCreate();
    LRESULT OnDestroy();
    LRESULT OnSize(LPARAM size);
    void OnLanguage(UINT id);
    void OnAbout();
    void build_language_menu();
    void layout_status_bar();

    ScopedAccelerators accelerators_;
    ScopedIcon icon_;
    ScopedFont font_;
    HWND status_bar_ = nullptr;
};
