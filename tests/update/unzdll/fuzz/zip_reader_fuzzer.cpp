// Throws arbitrary bytes at the ZIP reader as an archive. The target folder is
// simulated: every folder and file the reader asks for is resolved the way
// Windows and POSIX would resolve it and must stay inside, and must lie in a
// folder the reader made first.
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "update/unzdll/unzdll.h"
#include "update/unzdll/zip_extractor.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

class MemorySource : public platform::FileReader {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool ReadAt(uint64_t offset, void* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) return false;
        std::memcpy(out, data_ + offset, length);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

// A component as Windows reads it: trailing dots and spaces dropped. Escaping
// or device-like components and any drive or stream colon fail the check.
void CheckComponent(std::string_view component) {
    while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.remove_suffix(1);
    Check(!component.empty() && component != "..");
    for (char c : component) Check(c != ':' && c != '\\' && uint8_t(c) >= 0x20);
}

void CheckInside(const std::string& path) {
    Check(!path.empty() && path.front() != '/' && path.back() != '/');
    size_t start = 0;
    for (size_t slash; (slash = path.find('/', start)) != std::string::npos; start = slash + 1)
        CheckComponent(std::string_view(path).substr(start, slash - start));
    CheckComponent(std::string_view(path).substr(start));
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

class SimulatedFile : public platform::CommittingWriter {
public:
    bool Write(const void*, size_t) override { return true; }
    platform::CommitResult Commit(const platform::CommitOptions&) override { return platform::CommitResult::Done; }
};

class SimulatedFolder : public unzdll::ExtractTarget {
public:
    bool MakeFolder(const std::string& path) override {
        CheckInside(path);
        Check(ParentOf(path).empty() || folders_.count(ParentOf(path)));
        if (files_.count(path)) return false;
        folders_.insert(path);
        return true;
    }

    std::unique_ptr<platform::CommittingWriter> OpenOutputFile(const std::string& path) override {
        CheckInside(path);
        Check(ParentOf(path).empty() || folders_.count(ParentOf(path)));
        if (folders_.count(path)) return nullptr;
        files_.insert(path);
        return std::make_unique<SimulatedFile>();
    }

private:
    std::set<std::string> folders_, files_;
};

class CheckingReporter : public unzdll::ExtractReporter {
public:
    void Report(uint32_t entryNumber, uint32_t entryCount, int code, const std::string& text) override {
        Check(entryNumber <= entryCount && code >= UNZ_OK && code <= UNZ_ERR_COMMAND && !text.empty());
        if (code != UNZ_OK) ++errors;
    }
    int errors = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    SimulatedFolder target;
    CheckingReporter reporter;
    const unzdll::ExtractOptions options;
    const int failed = unzdll::ZipExtractor(source, target, options, reporter).Run("fuzz.zip");
    Check(failed == -1 ? reporter.errors == 1 : failed == reporter.errors);
    return 0;
}
