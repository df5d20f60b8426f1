#pragma once

namespace platform {

// Sets the process's local time zone from a TZ rule (null: the system's own).
void SetLocalZone(const char* zone);

}  // namespace platform
