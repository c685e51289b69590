// Raw data resources (RCDATA) of the running executable, such as the PNG bytes of images.
#pragma once

#include <cstdint>
#include <vector>

namespace rt {

// Bytes of RCDATA resource `id` of the executable; empty when there is none.
std::vector<std::uint8_t> ResourceBytes(int id);

} // namespace rt
