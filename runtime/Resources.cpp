#include "runtime/Resources.h"

#include "runtime/Runtime.h"

namespace rt {

std::vector<std::uint8_t> ResourceBytes(int id)
{
    HRSRC res = FindResourceW(Instance(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!res)
        return {};
    DWORD size = SizeofResource(Instance(), res);
    HGLOBAL data = LoadResource(Instance(), res);
    const void* p = data ? LockResource(data) : nullptr;
    if (!p || size == 0)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(p);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

} // namespace rt
