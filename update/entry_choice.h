#pragma once
// Which of the manifest's entries are installed, and the version the client
// is restarted with.
#include <string>
#include <vector>

#include "update/update_documents.h"

namespace update {

// Drops the leading entries that are not newer than `currentVersion`; true
// when an entry remains. Entries behind the first newer one stay, whatever
// their versions.
bool HasNewerVersion(std::vector<UpdateEntry>& entries, const std::string& currentVersion);

// The highest of the entries' versions and 2.9.3.27 (what an empty version
// reads as), as four numbers joined by ".".
std::string HighestVersion(const std::vector<UpdateEntry>& entries);

}  // namespace update
