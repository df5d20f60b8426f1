#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "update/unzdll/archive_directory.h"
#include "update/unzdll/entry_decoder.h"
#include "update/unzdll/entry_name.h"
#include "update/unzdll/extract_target.h"
#include "update/unzdll/file_specs.h"

// Extracts the entries of one archive that the file patterns ask for,
// entry after entry: a problem with one entry is reported and the next one
// is tried.
namespace unzdll {

struct ExtractOptions {
    FileSpecs specs;
    bool recreateFolders = true;  // false: every file goes into the target folder itself
    bool replaceFiles = true;
};

// Receives every message: `code` is an UNZ_ code of unzdll.h, UNZ_OK for
// progress; `entryNumber` is 1-based, 0 for the archive as a whole; `text` is GBK.
class ExtractReporter {
public:
    virtual ~ExtractReporter() = default;
    virtual void Report(uint32_t entryNumber, uint32_t entryCount, int code, const std::string& text) = 0;
};

class ZipExtractor {
public:
    ZipExtractor(platform::FileReader& source, ExtractTarget& target, const ExtractOptions& options,
                 ExtractReporter& reporter)
        : source_(source), target_(target), options_(options), reporter_(reporter) {}

    // The number of matching entries that were not extracted, or -1 when the
    // archive's directory cannot be read (then nothing is written).
    // `archiveName` (GBK) is what messages about the whole archive show.
    int Run(std::string_view archiveName);

private:
    bool ReadDirectory(std::string_view archiveName);
    bool ExtractEntry(const CentralHeader& header, const std::string& rawName);
    int Refusal(const CentralHeader& header, const EntryName& name) const;
    int WriteFile(const CentralHeader& header, const std::string& path, const std::string& shown);
    bool DataOffset(const CentralHeader& header, uint64_t& offset);
    bool MakeFolders(const std::string& path);
    bool Fail(int code, const std::string& text);

    platform::FileReader& source_;
    ExtractTarget& target_;
    const ExtractOptions& options_;
    ExtractReporter& reporter_;
    ArchiveLayout layout_;
    EntryDecoder decoder_;
    uint32_t entryNumber_ = 0;
    std::string lastFolder_;  // made by this run, with all its parents
};

}  // namespace unzdll
