// A main window whose commands open modal dialogs that the test answers: the window in a
// language, each command run with a step for the dialog it opens, message boxes and file
// dialogs recorded. The language goes back to English after each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>

#include "tests/support/document_test_parts.h"
#include "tests/support/spectrum_texts.h"
#include "tests/ui/win/frame_suite.h"
#include "tests/ui/win/modal_dialog_driver.h"
#include "tests/wingui/win/recorded_dialogs.h"

class DialogCommandSuite : public ::testing::Test, protected RecordedDialogs {
protected:
    void create_window(WORD langid) { ASSERT_TRUE(frame_suite::create_frame(frame, langid)); }
    // The window with a 64-channel spectrum and a baseline at its level, followed by the
    // `components`.
    void create_with(WORD langid, std::initializer_list<SubSpecPtr> components)
    {
        create_window(langid);
        ModelState& d = document();
        d.data.load_text(test_support::counts_text());
        d.set_levels_from_spectrum();
        document_test::add(d, model_test::baseline());
        for (const SubSpecPtr& c : components) document_test::add(d, c);
        d.adapt_to_spectrum();
    }
    void TearDown() override
    {
        frame.reset();
        set_resource_language(0x409);
        set_message_language(0x409);
        // The window's end posts the quit message of a normal close.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
    // Runs command `id`, with `step` on the dialog it opens.
    void command(UINT id, std::function<void(HWND)> step)
    {
        modal_test::when_dialog_shows(std::move(step));
        SendMessageW(frame->hwnd(), WM_COMMAND, id, 0);
    }
    ModelState& document() { return frame->document(); }

    std::unique_ptr<CMainFrame> frame;
};
