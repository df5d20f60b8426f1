#include "mail/mime/part_header.h"

#include <algorithm>

#include "mail/coders/field_coder_registry.h"
#include "mail/mime/boundary.h"
#include "mail/mime/header_parameters.h"
#include "mail/mime/media_types.h"
#include "mail/text/ascii.h"
#include "mail/text/header_text.h"

namespace ziromail {

namespace {

constexpr std::string_view kContentType = "Content-Type";

std::unique_ptr<FieldCoder> CoderFor(const HeaderField& field) {
    return FieldCoderRegistry::Instance().Create(field.name, field.value, field.charset);
}

}  // namespace

std::size_t PartHeader::GetLength() const {
    BoundedWriter counter;
    Render(counter);
    return counter.Length();
}

long PartHeader::Store(char* out, std::size_t capacity) const {
    BoundedWriter writer(out, capacity);
    return Render(writer) ? static_cast<long>(writer.Length()) : -1;
}

bool PartHeader::Render(BoundedWriter& out) const {
    RenderHeader(out);
    return true;
}

void PartHeader::RenderHeader(BoundedWriter& out) const {
    for (const HeaderField& field : fields_) {
        out.Put(field.name);
        out.Put(": ");
        out.Put(CoderFor(field)->Encode());
        out.Put("\r\n");
    }
    out.Put("\r\n");
}

HeaderField* PartHeader::FindField(std::string_view name) {
    auto it = std::find_if(fields_.begin(), fields_.end(),
                           [&](const HeaderField& field) { return EqualsIgnoreCase(field.name, name); });
    return it == fields_.end() ? nullptr : &*it;
}

const HeaderField* PartHeader::GetField(std::string_view name) const {
    return const_cast<PartHeader*>(this)->FindField(name);
}

void PartHeader::SetFieldValue(std::string_view name, std::string_view value, std::string_view charset) {
    HeaderField replacement{OneLine(name), OneLine(value), std::string(charset)};
    if (HeaderField* field = FindField(name))
        *field = std::move(replacement);
    else
        fields_.push_back(std::move(replacement));
}

void PartHeader::SetFieldCharset(std::string_view name, std::string_view charset) {
    if (HeaderField* field = FindField(name)) field->charset = charset;
}

void PartHeader::SetParameter(std::string_view fieldName, std::string_view parameter, std::string_view value) {
    std::string quoted = OneLine(QuoteParameterValue(value));
    HeaderField* field = FindField(fieldName);
    if (!field) {
        SetFieldValue(fieldName, OneLine(parameter) + "=" + quoted);
        return;
    }
    if (auto span = FindParameter(field->value, parameter))
        field->value.replace(span->begin, span->end - span->begin, quoted);
    else
        field->value += "; " + OneLine(parameter) + "=" + quoted;
}

std::string PartHeader::GetParameter(std::string_view fieldName, std::string_view parameter) const {
    const HeaderField* field = GetField(fieldName);
    if (!field) return {};
    auto span = FindParameter(field->value, parameter);
    if (!span) return {};
    return std::string(UnquoteParameterValue(std::string_view(field->value).substr(span->begin, span->end - span->begin)));
}

void PartHeader::SetBoundary() { SetBoundary(GenerateBoundary(this)); }

void PartHeader::SetBoundary(std::string_view boundary) {
    const HeaderField* type = GetField(kContentType);
    if (!type || !StartsWithIgnoreCase(type->value, "multipart")) SetFieldValue(kContentType, "multipart/mixed");
    SetParameter(kContentType, "boundary", boundary);
}

std::string PartHeader::GetBoundary() const { return GetParameter(kContentType, "boundary"); }

void PartHeader::SetTypeFromFileName(std::string_view fileName) {
    if (!GetField(kContentType)) SetFieldValue(kContentType, MediaTypeForFileName(fileName));
    SetParameter(kContentType, "name", fileName);
}

std::string PartHeader::GetName() const { return GetParameter(kContentType, "name"); }

}  // namespace ziromail
