// A stand-in for the messenger client: appends its command line to
// "client-started.txt" beside itself, then waits (at most a minute, or until a
// "client-quit" file appears there) so that the updater has a process to stop.
// With ZIRO_DUMMY_CLIENT_HOLDS naming a file beside it, it holds that file
// open as a running program holds its own, so that it cannot be replaced
// while the client runs.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "platform/module_file.h"
#include "tests/update/held_file.h"

int main(int argc, char** argv) {
    const std::string self = platform::ModuleFileName();
    const std::string folder = self.substr(0, self.rfind(platform::kPathSeparator));
    std::string line;
    for (int i = 1; i < argc; ++i) line += (i > 1 ? " " : "") + std::string(argv[i]);
    {
        std::ofstream log(folder + platform::kPathSeparator + "client-started.txt", std::ios::app | std::ios::binary);
        log << line << "\n";
    }
    const char* holds = std::getenv("ZIRO_DUMMY_CLIENT_HOLDS");
    const std::shared_ptr<void> held = holds ? HoldFile(folder + platform::kPathSeparator + holds) : nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline &&
           !platform::PathExists(folder + platform::kPathSeparator + "client-quit"))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return 0;
}
