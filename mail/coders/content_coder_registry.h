#pragma once
// Chooses the content coder for a "Content-Transfer-Encoding" name.
#include <memory>
#include <string_view>

#include "mail/coders/coder_registry.h"
#include "mail/coders/content_coder.h"

namespace ziromail {

using ContentCoderFactory = std::unique_ptr<ContentCoder> (*)(const char* data, std::size_t length, bool encode);

class ContentCoderRegistry : public CoderRegistry<ContentCoderFactory> {
public:
    // "quoted-printable" and "base64"; filled once, read-only afterwards, so
    // every job's thread may read it.
    static const ContentCoderRegistry& Instance();

    // An empty name means "7bit"; names without a coder of their own copy the bytes.
    std::unique_ptr<ContentCoder> Create(std::string_view encoding, const char* data, std::size_t length,
                                         bool encode) const;
};

}  // namespace ziromail
