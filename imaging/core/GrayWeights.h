// Red, green and blue weights of the grey-scale modes: grey = red × r + green × g + blue × b.
#pragma once

namespace imaging {

struct GrayWeights {
    float red, green, blue;
};

constexpr GrayWeights GrayWeightsForMode(int mode)
{
    switch (mode) {
    case 1: return {0.213f, 0.715f, 0.072f};
    case 2: return {0.333f, 0.334f, 0.333f};
    case 3: return {0.8f, 0.1f, 0.1f};
    case 4: return {0.1f, 0.8f, 0.1f};
    case 5: return {0.1f, 0.1f, 0.8f};
    case 6: return {0.45f, 0.45f, 0.1f};
    case 7: return {0.1f, 0.45f, 0.45f};
    case -1: return {1, 1, 1};
    default: return {0.299f, 0.587f, 0.114f};
    }
}

} // namespace imaging
