// Screenshots for the GUI tests: a window's rectangle as the screen shows it (frame
// and caption included, so the test must run inside a Wine virtual desktop, where Wine
// draws them), written as PNG through the Windows Imaging Component.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The screen's pixels under the window's rectangle; empty when the capture fails.
Screenshot capture_window(HWND window);

// Writes the pixels as a PNG file; throws std::runtime_error naming the failed step.
void save_png(const Screenshot& shot, const std::wstring& path);
