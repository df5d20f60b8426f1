#pragma once
// Chooses the field coder for a header field name.
#include <memory>
#include <string_view>

#include "mail/coders/coder_registry.h"
#include "mail/coders/field_coder.h"

namespace ziromail {

using FieldCoderFactory = std::unique_ptr<FieldCoder> (*)(std::string_view value, std::string_view charset,
                                                        std::size_t column);

class FieldCoderRegistry : public CoderRegistry<FieldCoderFactory> {
public:
    // Filled once, read-only afterwards, so every job's thread may read it.
    static const FieldCoderRegistry& Instance();

    // Names without a coder of their own get the generic FieldCoder. The value
    // is written after "Name: ", which sets the column it starts at.
    std::unique_ptr<FieldCoder> Create(std::string_view fieldName, std::string_view value,
                                       std::string_view charset) const;
};

}  // namespace ziromail
