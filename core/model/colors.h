// Component colours: the six-colour palette of the plot and the query by which views
// ask a model for the colour of a component.
#pragma once

#include <cstdint>

#if defined(_WIN32)
// The type <windows.h> gives COLORREF (DWORD), so both declarations may meet.
using COLORREF = unsigned long;
#else
using COLORREF = std::uint32_t;
#endif

// Red in the low byte, then green, then blue.
constexpr COLORREF rgb_color(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<COLORREF>(red | green << 8 | blue << 16);
}

inline constexpr unsigned subspectrum_color_count = 6;
// Palette entry i for i < subspectrum_color_count, else entry 0.
COLORREF subspectrum_color(unsigned i);

namespace Colors {

class ISubSpColor {
public:
    // The colour of component i; subspectrum_color(0) when there is no component i.
    virtual COLORREF color_of(unsigned i) const = 0;

protected:
    ~ISubSpColor() = default;
};

}  // namespace Colors
