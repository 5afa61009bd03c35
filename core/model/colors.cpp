#include "core/model/colors.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "core/model/sub_model.h"

namespace {

constexpr std::array<COLORREF, 6> palette = {
    rgb_color(192, 192, 192), rgb_color(255, 0, 0),    rgb_color(192, 192, 0),
    rgb_color(0, 224, 0),     rgb_color(192, 128, 64), rgb_color(255, 108, 10),
};

}  // namespace

COLORREF subspectrum_color(unsigned i)
{
    return i < palette.size() ? palette[i] : palette[0];
}

COLORREF next_component_color(const ComponentList& components)
{
    if (components.empty())
        return palette[0];
    for (COLORREF color : palette)
        if (std::none_of(components.begin(), components.end(),
                         [color](const auto& c) { return c->color == color; }))
            return color;
    // i = r·6/RAND_MAX lies in 0 … 6, and 6 gives entry 0. RAND_MAX is 32767 with the
    // Windows runtime but 2³¹ − 1 elsewhere, so the product needs 64 bits.
    const long long r = std::rand();
    return subspectrum_color(static_cast<unsigned>(r * 6 / RAND_MAX));
}
