#pragma once

namespace platform {

// Start-up and clean-up of the OS socket library (counted on Windows, nothing elsewhere).
bool StartSocketLibrary();
void StopSocketLibrary();

}  // namespace platform
