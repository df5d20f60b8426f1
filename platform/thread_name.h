#pragma once

namespace platform {

// Names the calling thread for debuggers and for per-thread figures (/proc on
// Linux). Short ASCII names: Linux keeps 15 characters.
void NameThisThread(const char* name);

}  // namespace platform
