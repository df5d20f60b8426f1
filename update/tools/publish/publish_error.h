#pragma once
// What the publishing tool stops for: a message for the vendor. Nothing is
// written when one is thrown, since every output is committed only at the end.
#include <stdexcept>
#include <string>

namespace publish {

class PublishError : public std::runtime_error {
public:
    explicit PublishError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace publish
