#include "mail/mime/boundary.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <random>

namespace ziromail {

std::atomic<unsigned> BoundaryCounter{0};

namespace {

// The next counter value, 1 to 9, taken atomically since jobs run side by side.
unsigned NextCounterValue() { return BoundaryCounter.fetch_add(1) % 9 + 1; }

}  // namespace

std::string GenerateBoundary(const void* part) {
    auto seed = static_cast<std::uint32_t>(std::time(nullptr)) ^
                static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(part));
    std::minstd_rand random(seed);
    unsigned counter = NextCounterValue();
    unsigned r1 = random() % 32768;
    unsigned r2 = random() % 32768;
    char text[64];
    std::snprintf(text, sizeof text, "__=_Part_Boundary_%03u_%06u.%06u", counter, r2, r1);
    return text;
}

}  // namespace ziromail
