#pragma once
// Running processes: listing, matching by executable path, stopping; and
// starting a program the way a user's "open" does.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One running process, held open so that its identity cannot change under us.
class ProcessHandle {
public:
    virtual ~ProcessHandle() = default;
    // Full path of the process's executable; empty when it cannot be read.
    virtual std::string ExecutablePath() = 0;
    // Ends the process at once (with `exitCode` where the system keeps one).
    virtual bool Terminate(uint32_t exitCode) = 0;
    // True once the process has ended; false when it still runs after timeoutMs.
    virtual bool WaitForExit(uint32_t timeoutMs) = 0;
};

// Identifiers of all running processes; nothing when the list cannot be read.
std::optional<std::vector<uint32_t>> ListProcessIds();
// Nothing when the process cannot be opened (gone, or not ours to control).
std::unique_ptr<ProcessHandle> OpenProcessById(uint32_t id);

// Starts `path` with `parameters` as its one argument (none when empty), not
// waiting for it. On Windows the shell's "open" verb, so documents open too.
bool StartProgram(const std::string& path, const std::string& parameters);

}  // namespace platform
