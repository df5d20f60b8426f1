#include "update/command_line.h"

namespace update {

namespace {

constexpr char kSpace[] = " \t\n\v\f\r";

}  // namespace

CommandLineResult ParseCommandLine(const std::string& commandLine, std::string& version) {
    const std::size_t at = commandLine.find("exe\"");
    if (at == std::string::npos) return CommandLineResult::NoUpdaterPath;
    const std::string rest = commandLine.substr(at + 4);
    const std::size_t begin = rest.find_first_not_of(kSpace);
    if (begin == std::string::npos) return CommandLineResult::EmptyVersion;
    const std::size_t end = rest.find_last_not_of(kSpace);
    version = rest.substr(begin, end + 1 - begin);
    return CommandLineResult::Version;
}

}  // namespace update
