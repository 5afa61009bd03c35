// Gamma look-up tables over 8-bit channel values: forward maps a stored value to linear
// light, i → round(255·(i/255)^γ), inverse maps back, i → round(255·(i/255)^(1/γ)), both
// rounded half up.
#pragma once

#include <array>
#include <cstdint>

class GammaTable {
public:
    explicit GammaTable(double gamma);

    std::uint8_t forward(std::uint8_t v) const { return forward_[v]; }
    std::uint8_t inverse(std::uint8_t v) const { return inverse_[v]; }

private:
    std::array<std::uint8_t, 256> forward_;
    std::array<std::uint8_t, 256> inverse_;
};
