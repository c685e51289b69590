// The registered controls of one shared object: their object pointers in ascending order
// without duplicates, in slots that grow five spare at a time and shrink only when more than
// five are spare, so that registering and removing cost a binary search and few moves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace aic {

class InstanceList {
public:
    // False, and nothing changed, for 0 and for a pointer already listed.
    bool Add(std::uintptr_t pointer);
    // False when the pointer is not listed.
    bool Remove(std::uintptr_t pointer);
    bool Contains(std::uintptr_t pointer) const;

    std::span<const std::uintptr_t> Items() const { return {slots_.data(), count_}; }
    std::size_t Slots() const { return slots_.size(); }

private:
    static constexpr std::size_t kSpare = 5;
    // Where `pointer` stands, or where it would go; `found` tells which.
    std::size_t Find(std::uintptr_t pointer, bool& found) const;

    std::vector<std::uintptr_t> slots_;
    std::size_t count_ = 0;
};

} // namespace aic
