#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Which entries a command asks for: names matched against wildcard patterns.
namespace unzdll {

// "*" matches any run of characters, "/" included; "?" matches one character;
// everything else matches itself, case-sensitively. "*.*" matches every name,
// with or without a dot, as it always has on Windows.
bool WildcardMatch(std::string_view pattern, std::string_view name);

class FileSpecs {
public:
    FileSpecs() = default;  // every entry
    // UTF-8 patterns; none means every entry.
    explicit FileSpecs(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {}
    bool Matches(std::string_view name) const;

private:
    std::vector<std::string> patterns_;
};

}  // namespace unzdll
