// What the tests of the main window set up once per suite: COM on the test's thread (the
// system's file dialogs need it), the program's isotope table and a language menu of
// English and Russian; a folder for the suite's own files; and the window in a language.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/spectrum/isotope.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "ui/logic/language_list.h"
#include "ui/frame/main_frame.h"
#include "wingui/resources.h"

namespace frame_suite {

inline void set_up()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (isotope_table().count() == 0) isotope_table().load(utf8_to_wide(VX_TEST_DATA_DIR "/../../data/isotope.txt"));
    set_language_list(parse_language_list(L"0x409,English;0x419,Русский"));
}

// <temp>/<prefix>-<process id>, created: each test program has a folder of its own.
inline std::filesystem::path make_folder(const std::wstring& prefix)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (prefix + L"-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    return folder;
}

// Removes the suite's folder and ends COM on the thread.
inline void tear_down(const std::filesystem::path& folder)
{
    std::filesystem::remove_all(folder);
    CoUninitialize();
}

// A new main window, not yet shown, with its resources and messages in `langid`; false
// when the window could not be created.
inline bool create_frame(std::unique_ptr<CMainFrame>& frame, WORD langid)
{
    set_resource_language(langid);
    set_message_language(langid);
    frame = std::make_unique<CMainFrame>();
    return frame->create_window();
}

}  // namespace frame_suite
