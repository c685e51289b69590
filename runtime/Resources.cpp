#include "runtime/Resources.h"

#include "runtime/Runtime.h"

namespace rt {

std::span<const std::uint8_t> ResourceData(HMODULE module, const ResourceName& type, const ResourceName& name)
{
    if (!module)
        module = Instance();
    if (!type.get() || !name.get())
        return {};
    HRSRC res = FindResourceW(module, name.get(), type.get());
    if (!res)
        return {};
    const DWORD size = SizeofResource(module, res);
    HGLOBAL data = LoadResource(module, res);
    const void* p = data ? LockResource(data) : nullptr;
    if (!p || size == 0)
        return {};
    return {static_cast<const std::uint8_t*>(p), size};
}

std::vector<std::uint8_t> ResourceBytes(int id)
{
    const auto bytes = ResourceData(nullptr, RT_RCDATA, id);
    return {bytes.begin(), bytes.end()};
}

} // namespace rt
