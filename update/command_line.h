#pragma once
// The updater's command line: the quoted path of its own executable, then the
// client's version.
#include <string>

namespace update {

enum class CommandLineResult { NoUpdaterPath, EmptyVersion, Version };

// The text after the first `exe"`, trimmed, into `version` when not empty.
CommandLineResult ParseCommandLine(const std::string& commandLine, std::string& version);

}  // namespace update
