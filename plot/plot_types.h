// Plain values that the plot's drawing code passes around: a colour as Windows writes it
// (COLORREF, 0x00BBGGRR) held portably, and the single-precision points of a polygon.
#pragma once

#include <cstdint>

using ColorRef = std::uint32_t;

constexpr std::uint8_t color_red(ColorRef c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t color_green(ColorRef c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t color_blue(ColorRef c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

// An opacity limited to 0 to 1; NaN counts as 0.
constexpr double clamped_opacity(double opacity)
{
    return opacity > 0.0 ? (opacity < 1.0 ? opacity : 1.0) : 0.0;
}

struct FloatPoint {
    float x;
    float y;
};
