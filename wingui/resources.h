// The program's resources in the user-interface language. They are looked up by LANGID
// explicitly (English when that language lacks one) rather than by the thread's
// preferred UI languages, which Wine and older Windows do not all honour for resources.
#pragma once

#include <windows.h>

#include <string>

void set_resource_language(WORD langid);
WORD resource_language();

// The string of a string table in the resource language; empty when there is none.
std::wstring load_string_resource(UINT id);
// A menu; the caller owns it (a window's menu is destroyed with the window). Null
// when there is none.
HMENU load_menu_resource(UINT id);
// A dialog template, valid while the program runs; null when there is none.
const DLGTEMPLATE* find_dialog_resource(UINT id);
