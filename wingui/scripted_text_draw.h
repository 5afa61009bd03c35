// Draws text whose superscript and subscript characters become raised and lowered runs
// of plain characters in a font two thirds as high; ExtTextOutW without the spacing
// array otherwise.
#pragma once

#include <windows.h>

int draw_scripted_text(HDC dc, int x, int y, UINT options, const RECT* rect, const wchar_t* text, UINT count);
