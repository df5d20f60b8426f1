#pragma once
// Boundaries of generated multipart containers.
#include <atomic>
#include <string>

namespace ziromail {

// Runs 1 to 9 and starts again; shared by every job of the library.
extern std::atomic<unsigned> BoundaryCounter;

// "__=_Part_Boundary_" + counter + two random numbers seeded from the time and `part`.
std::string GenerateBoundary(const void* part);

}  // namespace ziromail
