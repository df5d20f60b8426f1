// libinih walks the lines and finds the sections and keys; each value is then
// taken from the raw line itself, because the library would cut it at an
// inline ";" comment and at its line-length limit, which the Windows call does not.
#include <ini.h>
#include <strings.h>

#include <cstring>

#include "platform/file_system.h"
#include "platform/ini_file.h"

namespace platform {

namespace {

constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) { return ::strcasecmp(a.c_str(), b) == 0; }

struct Lookup {
    const std::string& section;
    const std::string& key;
    std::string text;         // the whole file
    std::size_t next = 0;     // where the reader goes on
    std::string lastLine;     // the raw line the library parsed last
    bool inSection = false;   // the first section of the name is being read
    bool sectionDone = false; // ... and has ended
    std::optional<std::string> value;
};

// Hands the library one line at a time with leading white space removed (no
// continuation lines), cut to its buffer; the raw line stays in lastLine.
char* ReadLine(char* buffer, int capacity, void* context) {
    auto& lookup = *static_cast<Lookup*>(context);
    if (lookup.next >= lookup.text.size() || capacity < 2) return nullptr;
    std::size_t end = lookup.text.find('\n', lookup.next);
    if (end == std::string::npos) end = lookup.text.size();
    lookup.lastLine = lookup.text.substr(lookup.next, end - lookup.next);
    lookup.next = end + 1;
    const std::string line = Trim(lookup.lastLine);
    const std::size_t n = std::min(line.size(), std::size_t(capacity - 2));
    std::memcpy(buffer, line.data(), n);
    buffer[n] = '\n';
    buffer[n + 1] = '\0';
    return buffer;
}

int OnPair(void* context, const char* section, const char*, const char*) {
    auto& lookup = *static_cast<Lookup*>(context);
    if (lookup.value || lookup.sectionDone) return 1;
    if (!SameName(lookup.section, section)) {
        lookup.sectionDone = lookup.inSection;
        return 1;
    }
    lookup.inSection = true;
    const std::string raw = Trim(lookup.lastLine);
    const std::size_t equals = raw.find('=');
    if (equals == std::string::npos || !SameName(Trim(raw.substr(0, equals)), lookup.key.c_str())) return 1;
    std::string value = Trim(raw.substr(equals + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    lookup.value = value;
    return 1;
}

}  // namespace

std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::optional<std::string> text = ReadWholeFile(path, kMaxFileBytes);  // the file as it is: GBK
    std::string value = defaultValue;
    if (text) {
        Lookup lookup{section, key, std::move(*text), 0, {}, false, false, std::nullopt};
        ini_parse_stream(ReadLine, &lookup, OnPair, &lookup);
        if (lookup.value) value = *lookup.value;
    }
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

}  // namespace platform
