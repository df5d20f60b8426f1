#include "mail/coders/field_coder_registry.h"

namespace ziromail {

namespace {

template <typename Coder>
std::unique_ptr<FieldCoder> Make(std::string_view value, std::string_view charset, std::size_t column) {
    return std::make_unique<Coder>(value, charset, column);
}

template <typename Coder>
void RegisterAll(FieldCoderRegistry& coders, std::initializer_list<const char*> names) {
    for (const char* name : names) coders.Register(name, &Make<Coder>);
}

}  // namespace

const FieldCoderRegistry& FieldCoderRegistry::Instance() {
    static const FieldCoderRegistry registry = [] {
        FieldCoderRegistry coders;
        RegisterAll<TextFieldCoder>(coders, {"Subject", "Comments", "Content-Description"});
        RegisterAll<AddressFieldCoder>(coders, {"From", "To", "Resent-To", "Cc", "Resent-Cc", "Bcc", "Resent-Bcc",
                                                "Reply-To", "Resent-Reply-To"});
        RegisterAll<ParameterFieldCoder>(coders, {"Content-Type", "Content-Disposition"});
        return coders;
    }();
    return registry;
}

std::unique_ptr<FieldCoder> FieldCoderRegistry::Create(std::string_view fieldName, std::string_view value,
                                                       std::string_view charset) const {
    FieldCoderFactory factory = Find(fieldName);
    std::size_t column = fieldName.size() + 2;
    return factory ? factory(value, charset, column) : Make<FieldCoder>(value, charset, column);
}

}  // namespace ziromail
