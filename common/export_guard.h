#pragma once
#include <utility>

// The libraries' C entry points run their work through these: no exception may
// unwind into a host that cannot catch it.
namespace common {

template <typename F>
void Guarded(F&& work) noexcept {
    try {
        std::forward<F>(work)();
    } catch (...) {
    }
}

// Returns what `work` returns, or `fallback` when it throws.
template <typename R, typename F>
R GuardedOr(R fallback, F&& work) noexcept {
    try {
        return std::forward<F>(work)();
    } catch (...) {
        return fallback;
    }
}

}  // namespace common
