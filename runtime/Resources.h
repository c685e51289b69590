// Resources of a module: raw data (RCDATA and custom types), such as the PNG bytes of images,
// read where the module holds them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace rt {

// A resource's name or type as the resource calls take it: a number (1 to 65535), also as
// MAKEINTRESOURCEW or RT_RCDATA make it, or a text; a text "#123" stands for number 123.
class ResourceName {
public:
    ResourceName(int id) : id_(id) {}
    ResourceName(std::wstring name) : name_(std::move(name)) {}
    ResourceName(const wchar_t* name)
    {
        if (IS_INTRESOURCE(name))
            id_ = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
        else
            name_ = name;
    }
    // Null for a number out of range or an empty text, which no resource has.
    LPCWSTR get() const
    {
        if (!name_.empty())
            return name_.c_str();
        return id_ >= 1 && id_ <= 0xFFFF ? MAKEINTRESOURCEW(id_) : nullptr;
    }

private:
    int id_ = 0;
    std::wstring name_;
};

// The bytes of resource `name` of `type` in `module` (null: the executable), valid while the
// module stays loaded; empty when there is none.
std::span<const std::uint8_t> ResourceData(HMODULE module, const ResourceName& type, const ResourceName& name);

// Bytes of RCDATA resource `id` of the executable; empty when there is none.
std::vector<std::uint8_t> ResourceBytes(int id);

} // namespace rt
