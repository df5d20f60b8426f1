#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include "platform/processes.h"
#include "platform/win/wide_text.h"

namespace platform {

namespace {

class WinProcess final : public ProcessHandle {
public:
    explicit WinProcess(HANDLE process) : process_(process) {}
    ~WinProcess() override { CloseHandle(process_); }

    std::string ExecutablePath() override {
        HMODULE first = nullptr;
        DWORD needed = 0;
        if (!EnumProcessModules(process_, &first, sizeof first, &needed) || first == nullptr) return {};
        wchar_t name[MAX_PATH];
        const DWORD n = GetModuleFileNameExW(process_, first, name, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return {};
        return WideToGbk(std::wstring_view(name, n));
    }

    bool Terminate(uint32_t exitCode) override { return TerminateProcess(process_, exitCode) != 0; }

    bool WaitForExit(uint32_t timeoutMs) override { return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0; }

private:
    HANDLE process_;
};

}  // namespace

// The identifier array grows until the system leaves room in it, so that a
// busy machine cannot hide the process we look for.
std::optional<std::vector<uint32_t>> ListProcessIds() {
    std::vector<DWORD> ids(1024);
    for (;;) {
        DWORD bytes = 0;
        if (!EnumProcesses(ids.data(), DWORD(ids.size() * sizeof(DWORD)), &bytes)) return std::nullopt;
        if (bytes < ids.size() * sizeof(DWORD) || ids.size() >= (1u << 20)) {
            ids.resize(bytes / sizeof(DWORD));
            return std::vector<uint32_t>(ids.begin(), ids.end());
        }
        ids.resize(ids.size() * 2);
    }
}

std::unique_ptr<ProcessHandle> OpenProcessById(uint32_t id) {
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, id);
    if (process == nullptr) return nullptr;
    return std::make_unique<WinProcess>(process);
}

bool StartProgram(const std::string& path, const std::string& parameters) {
    const std::wstring file = GbkToWide(path), arguments = GbkToWide(parameters);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", file.c_str(), parameters.empty() ? nullptr : arguments.c_str(),
                                          nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace platform
