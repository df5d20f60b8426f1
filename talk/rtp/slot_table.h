#pragma once
#include <array>
#include <cstddef>

// Fixed tables whose used slots are kept contiguous from the first.
namespace rtp {

// Stores item in the first unused slot; false when all are used.
template <typename T, size_t N>
bool InsertInFirstFree(std::array<T, N>& table, const T& item) {
    for (T& slot : table) {
        if (slot.Used()) continue;
        slot = item;
        return true;
    }
    return false;
}

// Empties slot `index` and moves the last used slot after it into the hole.
template <typename T, size_t N>
void RemoveAndCloseGap(std::array<T, N>& table, size_t index) {
    table[index] = T{};
    for (size_t last = N - 1; last > index; --last) {
        if (!table[last].Used()) continue;
        table[index] = table[last];
        table[last] = T{};
        return;
    }
}

// Number of used slots counted from the first up to the first unused one.
template <typename T, size_t N>
size_t LeadingUsed(const std::array<T, N>& table) {
    size_t n = 0;
    while (n < N && table[n].Used()) ++n;
    return n;
}

}  // namespace rtp
