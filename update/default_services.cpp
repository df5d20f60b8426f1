#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/module_file.h"
#include "update/update_services.h"

namespace update {

UpdateServices DefaultUpdateServices() {
    UpdateServices services;
    services.moduleFileName = [] { return platform::ModuleFileName(); };
    services.wallSeconds = [] { return platform::SystemClock().WallNow().seconds; };
    services.separator = platform::kPathSeparator;
    services.unzipLibraryName = ZIRO_UNZIP_LIBRARY_NAME;
    return services;
}

}  // namespace update
