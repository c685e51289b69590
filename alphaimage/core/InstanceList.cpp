#include "alphaimage/core/InstanceList.h"

#include <algorithm>

namespace aic {

std::size_t InstanceList::Find(std::uintptr_t pointer, bool& found) const
{
    const auto used = Items();
    const auto at = std::lower_bound(used.begin(), used.end(), pointer);
    found = at != used.end() && *at == pointer;
    return static_cast<std::size_t>(at - used.begin());
}

bool InstanceList::Contains(std::uintptr_t pointer) const
{
    bool found = false;
    Find(pointer, found);
    return found;
}

bool InstanceList::Add(std::uintptr_t pointer)
{
    bool found = false;
    const std::size_t at = Find(pointer, found);
    if (pointer == 0 || found)
        return false;
    if (count_ == slots_.size())
        slots_.resize(count_ + 1 + kSpare);
    std::copy_backward(slots_.begin() + static_cast<std::ptrdiff_t>(at),
                       slots_.begin() + static_cast<std::ptrdiff_t>(count_),
                       slots_.begin() + static_cast<std::ptrdiff_t>(count_ + 1));
    slots_[at] = pointer;
    ++count_;
    return true;
}

bool InstanceList::Remove(std::uintptr_t pointer)
{
    bool found = false;
    const std::size_t at = Find(pointer, found);
    if (!found)
        return false;
    std::copy(slots_.begin() + static_cast<std::ptrdiff_t>(at + 1), slots_.begin() + static_cast<std::ptrdiff_t>(count_),
              slots_.begin() + static_cast<std::ptrdiff_t>(at));
    --count_;
    if (count_ == 0)
        slots_.clear();
    else if (slots_.size() > count_ + kSpare)
        slots_.resize(count_);
    else
        slots_[count_] = 0;
    return true;
}

} // namespace aic
