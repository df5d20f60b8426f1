#pragma once
// The header of one MIME part: fields in the order they were first set.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mime/bounded_writer.h"
#include "mail/mime/header_field.h"

namespace ziromail {

class PartHeader {
public:
    virtual ~PartHeader() = default;

    virtual void Clear() { fields_.clear(); }
    // What Store writes, counted by rendering without a buffer (see BoundedWriter).
    std::size_t GetLength() const;
    // Renders into `out`; returns the bytes written, or -1 when the part cannot be rendered.
    long Store(char* out, std::size_t capacity) const;

    // Field names match case-insensitively; an existing field is replaced in place.
    void SetFieldValue(std::string_view name, std::string_view value, std::string_view charset = {});
    const HeaderField* GetField(std::string_view name) const;
    // The charset the field's value is encoded in (see FieldCoder); no field, no change.
    void SetFieldCharset(std::string_view name, std::string_view charset);

    // Sets `parameter` of field `fieldName` to the quoted value.
    void SetParameter(std::string_view fieldName, std::string_view parameter, std::string_view value);
    // The parameter's value without its quotes; empty when absent.
    std::string GetParameter(std::string_view fieldName, std::string_view parameter) const;

    // Makes the part multipart and sets its boundary; without one, a fresh boundary is generated.
    void SetBoundary();
    void SetBoundary(std::string_view boundary);
    std::string GetBoundary() const;

    void SetTypeFromFileName(std::string_view fileName);
    std::string GetName() const;

    const std::vector<HeaderField>& Fields() const { return fields_; }

protected:
    // Writes (or counts) the part; false when it cannot be rendered.
    virtual bool Render(BoundedWriter& out) const;
    void RenderHeader(BoundedWriter& out) const;

private:
    HeaderField* FindField(std::string_view name);

    std::vector<HeaderField> fields_;
};

}  // namespace ziromail
