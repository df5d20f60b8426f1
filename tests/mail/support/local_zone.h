#pragma once
// Sets the process's local time zone from a TZ rule (null: the system's own).
namespace mailtest {

void SetLocalZone(const char* zone);

}  // namespace mailtest
