// How the image control normalises the values its properties take, from a let or from the
// property bag alike.
#pragma once

#include <cstdint>

namespace aic {

// 0 stays 0; any other value becomes its magnitude modulo 100, where 0 stands for 100.
constexpr int NormalOpacity(int value)
{
    if (value == 0)
        return 0;
    const std::int64_t wide = value; // the magnitude of INT_MIN needs the room
    const auto percent = static_cast<int>((wide < 0 ? -wide : wide) % 100);
    return percent == 0 ? 100 : percent;
}

// Degrees modulo 360, keeping the sign: -450 is -90, 360 is 0.
constexpr int NormalRotation(int value) { return value % 360; }

} // namespace aic
