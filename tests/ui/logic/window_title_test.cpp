// The window title and the short form of long paths in it.
#include <gtest/gtest.h>

#include "ui/logic/window_title.h"

TEST(ShortenPath, KeepsShortPathsAndCutsTheMiddleOfLongOnes)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {LR"(C:\a\b\c\d.spc)", LR"(C:\a\b\c\d.spc)"},
        {LR"(C:\a\b\c\d\e.spc)", LR"(C:\a\b\...\d\e.spc)"},
        {LR"(\\srv\share\x\y\z.spc)", LR"(\\srv\share\x\y\z.spc)"},
        {LR"(\\srv\share\x\y\w\z.spc)", LR"(\\srv\share\...\w\z.spc)"},
        {L"C:/a/b/c/d/e.spc", LR"(C:\a\b\...\d\e.spc)"},
        {LR"(C:\Users\me\Documents\fits\2020\run1\model.mdl)", LR"(C:\Users\me\...\run1\model.mdl)"},
        {LR"(C:\a\\b\c\d.spc)", LR"(C:\a\\...\c\d.spc)"},  // an empty part counts
        {L"", L""},
        {L"model.mdl", L"model.mdl"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(shorten_path(path), expected) << testing::PrintToString(std::wstring(path));
}

TEST(WindowTitle, NamesTheFilesAndMarksUnsavedChanges)
{
    EXPECT_EQ(window_title(L"Vexmoor", L"", true, L"", true), L"Vexmoor");
    EXPECT_EQ(window_title(L"Vexmoor", L"", false, LR"(C:\Users\me\Documents\fits\2020\run1\model.mdl)", true),
              LR"(Vexmoor - *C:\Users\me\...\run1\model.mdl)");
    EXPECT_EQ(window_title(L"Vexmoor", LR"(C:\s.spc)", true, L"", false), LR"(Vexmoor - *C:\s.spc)");
    EXPECT_EQ(window_title(L"Vexmoor", LR"(C:\s.spc)", false, LR"(C:\m.mdl)", true),
              LR"(Vexmoor - C:\s.spc, *C:\m.mdl)");
    EXPECT_EQ(window_title(L"Vexmoor", LR"(C:\s.spc)", true, LR"(C:\m.mdl)", false),
              LR"(Vexmoor - *C:\s.spc, C:\m.mdl)");
}
