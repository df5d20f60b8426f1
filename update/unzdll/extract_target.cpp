#include "update/unzdll/extract_target.h"

namespace unzdll {
namespace {

constexpr char kPartSuffix[] = ".~unz";

class CurrentFolder final : public ExtractTarget {
public:
    bool MakeFolder(const std::string& path) override { return platform::EnsureFolder({path}); }
    std::unique_ptr<platform::CommittingWriter> OpenOutputFile(const std::string& path) override {
        return platform::CreateCommittingWriter(platform::Utf8Path{path}, kPartSuffix);
    }
};

}  // namespace

std::unique_ptr<ExtractTarget> CurrentFolderTarget() { return std::make_unique<CurrentFolder>(); }

}  // namespace unzdll
