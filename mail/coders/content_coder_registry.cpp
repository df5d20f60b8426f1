#include "mail/coders/content_coder_registry.h"

namespace ziromail {

namespace {

template <typename Coder>
std::unique_ptr<ContentCoder> Make(const char* data, std::size_t length, bool encode) {
    return std::make_unique<Coder>(data, length, encode);
}

}  // namespace

const ContentCoderRegistry& ContentCoderRegistry::Instance() {
    static const ContentCoderRegistry registry = [] {
        ContentCoderRegistry coders;
        coders.Register("quoted-printable", &Make<QuotedPrintableCoder>);
        coders.Register("base64", &Make<Base64Coder>);
        return coders;
    }();
    return registry;
}

std::unique_ptr<ContentCoder> ContentCoderRegistry::Create(std::string_view encoding, const char* data,
                                                           std::size_t length, bool encode) const {
    ContentCoderFactory factory = Find(encoding.empty() ? "7bit" : encoding);
    return factory ? factory(data, length, encode) : Make<PlainCoder>(data, length, encode);
}

}  // namespace ziromail
