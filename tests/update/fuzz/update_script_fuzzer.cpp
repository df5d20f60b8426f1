// Any text as a package's install script: the file actions read through
// libxml2, and every name the updater would act on kept inside the client folder.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/xml_tree.h"
#include "tests/update/fuzz/fuzz_checks.h"
#include "update/update_documents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto document = platform::ParseXmlDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!document) return 0;
    std::vector<update::FileAction> actions;
    update::ReadScriptTree(*document, actions);
    for (const update::FileAction& action : actions) update::fuzz::CheckActionName(action.name);
    return 0;
}
