#include "update/unzdll/zip_extractor.h"

#include "update/unzdll/extract_messages.h"
#include "update/unzdll/unzdll.h"

namespace unzdll {
namespace {

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool WholeDirectory(platform::FileReader& source, const ArchiveLayout& layout) {
    CentralDirectoryCursor cursor(source, layout);
    CentralHeader header;
    std::string name;
    CentralDirectoryCursor::Step step;
    do {
        step = cursor.Next(header, name);
    } while (step == CentralDirectoryCursor::Step::Entry);
    return step == CentralDirectoryCursor::Step::End;
}

// The entry's MS-DOS date and time, which are local time; none when no date was stored.
std::optional<platform::LocalTime> ModifiedTime(const CentralHeader& header) {
    if (header.dosDate == 0) return std::nullopt;
    return platform::LocalTime{1980 + (header.dosDate >> 9), header.dosDate >> 5 & 0x0F, header.dosDate & 0x1F,
                               header.dosTime >> 11, header.dosTime >> 5 & 0x3F, (header.dosTime & 0x1F) * 2};
}

bool IsSelfOrParentOf(const std::string& path, const std::string& folder) {
    return folder.starts_with(path) && (folder.size() == path.size() || folder[path.size()] == '/');
}

}  // namespace

int ZipExtractor::Run(std::string_view archiveName) {
    if (!ReadDirectory(archiveName)) return -1;
    CentralDirectoryCursor cursor(source_, layout_);
    CentralHeader header;
    std::string rawName;
    int failed = 0;
    for (entryNumber_ = 1; cursor.Next(header, rawName) == CentralDirectoryCursor::Step::Entry; ++entryNumber_)
        if (!ExtractEntry(header, rawName)) ++failed;
    return failed;
}

// The whole directory is walked once before anything is written: a damaged
// directory cannot say where its entries are.
bool ZipExtractor::ReadDirectory(std::string_view archiveName) {
    const LayoutStatus status = FindArchiveLayout(source_, layout_);
    if (status == LayoutStatus::Ok && WholeDirectory(source_, layout_)) return true;
    switch (status) {
    case LayoutStatus::ReadFailed:
        reporter_.Report(0, 0, UNZ_ERR_OPEN, ArchiveMessage(ArchiveProblem::CannotOpen, archiveName));
        break;
    case LayoutStatus::MultiDisk:
        reporter_.Report(0, 0, UNZ_ERR_FORMAT, ArchiveMessage(ArchiveProblem::MultiDisk, archiveName));
        break;
    case LayoutStatus::Ok:  // found, but its entries do not add up
    case LayoutStatus::NotZip:
        reporter_.Report(0, 0, UNZ_ERR_FORMAT, ArchiveMessage(ArchiveProblem::NotZip, archiveName));
        break;
    }
    return false;
}

bool ZipExtractor::ExtractEntry(const CentralHeader& header, const std::string& rawName) {
    const bool utf8 = header.flags & kFlagUtf8Name;
    const EntryName name = ResolveEntryName(rawName, utf8);
    if (!options_.specs.Matches(name.text)) return true;
    const std::string shown = DisplayName(rawName, utf8, name.check != NameCheck::Unreadable);
    if (name.check == NameCheck::Unreadable) return Fail(UNZ_ERR_UNSAFE_NAME, UnreadableNameMessage(shown));
    if (const int code = Refusal(header, name)) return Fail(code, EntryMessage(code, shown, header.method));

    if (name.folder) {
        if (!options_.recreateFolders || name.path.empty() || MakeFolders(name.path)) return true;
        return Fail(UNZ_ERR_WRITE, EntryMessage(UNZ_ERR_WRITE, shown));
    }
    const std::string path = options_.recreateFolders ? name.path : LastComponent(name.path);
    const int code = WriteFile(header, path, shown);
    return code == UNZ_OK || Fail(code, EntryMessage(code, shown));
}

// Why an entry with a readable name is not extracted, or UNZ_OK.
int ZipExtractor::Refusal(const CentralHeader& header, const EntryName& name) const {
    if (name.check == NameCheck::Unsafe || IsSpecialUnixFile(header)) return UNZ_ERR_UNSAFE_NAME;
    if (name.folder) return UNZ_OK;
    if (header.flags & (kFlagEncrypted | kFlagStrongEncryption)) return UNZ_ERR_ENCRYPTED;
    if (header.zip64Missing) return UNZ_ERR_ZIP64;
    if (header.method != kMethodStored && header.method != kMethodDeflated) return UNZ_ERR_METHOD;
    return UNZ_OK;
}

int ZipExtractor::WriteFile(const CentralHeader& header, const std::string& path, const std::string& shown) {
    uint64_t offset;
    if (!DataOffset(header, offset)) return UNZ_ERR_DATA;
    if (!MakeFolders(ParentOf(path))) return UNZ_ERR_WRITE;
    std::unique_ptr<platform::CommittingWriter> file = target_.OpenOutputFile(path);
    if (!file) return UNZ_ERR_WRITE;
    switch (decoder_.Copy(source_, offset, header, *file)) {
    case DataStatus::Ok: break;
    case DataStatus::Damaged: return UNZ_ERR_DATA;
    case DataStatus::CrcMismatch: return UNZ_ERR_CRC;
    case DataStatus::WriteFailed: return UNZ_ERR_WRITE;
    }
    const platform::CommitOptions commit{options_.replaceFiles, IsUnixExecutable(header), ModifiedTime(header)};
    switch (file->Commit(commit)) {
    case platform::CommitResult::Done: reporter_.Report(entryNumber_, layout_.entryCount, UNZ_OK, ExtractedMessage(shown)); break;
    case platform::CommitResult::Kept: reporter_.Report(entryNumber_, layout_.entryCount, UNZ_OK, KeptMessage(shown)); break;
    case platform::CommitResult::Failed: return UNZ_ERR_WRITE;
    }
    return UNZ_OK;
}

// Where the entry's data starts, after its local header; the data must end
// before the central directory.
bool ZipExtractor::DataOffset(const CentralHeader& header, uint64_t& offset) {
    const uint64_t before = layout_.directoryStart - layout_.base;  // what stored offsets may reach
    if (before < kLocalHeaderSize || header.localHeaderOffset > before - kLocalHeaderSize) return false;
    const uint64_t local = layout_.base + header.localHeaderOffset;
    uint8_t fixed[kLocalHeaderSize];
    LocalHeader localHeader;
    if (!source_.ReadAt(local, fixed, sizeof fixed) || !ParseLocalHeader(fixed, localHeader)) return false;
    offset = local + kLocalHeaderSize + localHeader.nameLength + localHeader.extraLength;
    return offset <= layout_.directoryStart && header.compressedSize <= layout_.directoryStart - offset;
}

bool ZipExtractor::MakeFolders(const std::string& path) {
    if (path.empty() || IsSelfOrParentOf(path, lastFolder_)) return true;
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (!IsSelfOrParentOf(parent, lastFolder_) && !target_.MakeFolder(parent)) return false;
    }
    if (!target_.MakeFolder(path)) return false;
    lastFolder_ = path;
    return true;
}

bool ZipExtractor::Fail(int code, const std::string& text) {
    reporter_.Report(entryNumber_, layout_.entryCount, code, text);
    return false;
}

}  // namespace unzdll
