#pragma once
// `package`: a folder of new files and a list of actions become a package
// archive, its install script update-info.xml at the top.
//
// The list has one action a line, its word first and then the name of the
// file relative to the client folder ("/" or "\" separated):
//     copy sub/new.txt
//     replace readme.txt
//     remove old.txt
//     execute setup.exe
// Empty lines and lines starting with "#" are passed over. A copy, replace or
// execute names a file of the folder; no name may leave the client folder.
#include <string>

namespace publish {

struct PackageRequest {
    std::string folder;
    std::string actions;
    std::string archive;
};

// Writes the archive; the summary for the vendor. Throws PublishError, and
// then nothing is written.
std::string MakePackage(const PackageRequest& request);

}  // namespace publish
