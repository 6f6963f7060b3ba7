// A group of like controls (or of their values) numbered from First to Last, as a window's
// control groups are: imgCmd(1 to 3), optPic(1 to 3), imgPanel(0 to 15).
//
// Contract
//   Holds exactly Last - First + 1 items and no unused slot, so a range-for visits only real
//   items. operator[] takes the group's own index and throws std::out_of_range outside
//   First..Last instead of reading past the items. Plain data: aggregate-initialised in index
//   order, e.g. ControlArray<int, 1, 3> ids{{12, 14, 10}}; value-initialised when not given.
#pragma once

#include <array>
#include <cstddef>

namespace controls {

template <typename T, int First, int Last>
struct ControlArray {
    static_assert(First <= Last);
    static constexpr int kFirst = First;
    static constexpr int kLast = Last;

    std::array<T, static_cast<std::size_t>(Last - First + 1)> items{};

    constexpr T& operator[](int index) { return items.at(slot(index)); }
    constexpr const T& operator[](int index) const { return items.at(slot(index)); }

    constexpr auto begin() { return items.begin(); }
    constexpr auto end() { return items.end(); }
    constexpr auto begin() const { return items.begin(); }
    constexpr auto end() const { return items.end(); }
    static constexpr std::size_t size() { return static_cast<std::size_t>(Last - First + 1); }

    friend constexpr bool operator==(const ControlArray&, const ControlArray&) = default;

private:
    // Out of range maps to a slot past the end, which at() refuses.
    static constexpr std::size_t slot(int index)
    {
        return index < First || index > Last ? size() : static_cast<std::size_t>(index - First);
    }
};

}  // namespace controls
