#include "plot/gamma_table.h"

#include <cmath>

namespace {

std::uint8_t rounded_power(int i, double exponent)
{
    return static_cast<std::uint8_t>(std::pow(i / 255.0, exponent) * 255.0 + 0.5);
}

}  // namespace

GammaTable::GammaTable(double gamma)
{
    for (int i = 0; i < 256; ++i) {
        forward_[i] = rounded_power(i, gamma);
        inverse_[i] = rounded_power(i, 1.0 / gamma);
    }
}
