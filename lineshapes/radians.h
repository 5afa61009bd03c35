// Angles enter the models in degrees: on doubles one factor converts them to radians,
// on dual numbers a product by π and then by 1/180.
#pragma once

#include <type_traits>

template <class R>
R to_radians(const R& degrees)
{
    if constexpr (std::is_same_v<R, double>)
        return degrees * 0.017453292519943295;
    else
        return degrees * 3.141592653589793 * (1.0 / 180.0);
}
