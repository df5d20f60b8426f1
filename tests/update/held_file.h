#pragma once
// A file held open the way a running program holds its own files: on Windows
// nobody else may write, replace or delete it meanwhile; elsewhere an
// advisory lock only.
#include <memory>
#include <string>

std::shared_ptr<void> HoldFile(const std::string& path);
