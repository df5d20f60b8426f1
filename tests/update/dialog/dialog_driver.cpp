// Drives UpDate.exe's dialog from outside, as a user would, for the end-to-end
// test: one command per line on standard input, one JSON line in answer.
//   start CMDLINE           starts a program with exactly that command line: {"pid"}
//   exited PID MS           waits up to MS for it to end: {"exited","code"}
//   dialog MS               waits for the dialog with its controls: the state
//   state                   the dialog's controls and rows
//   message MS              waits for a message box: {"caption","text","icon","rect"}
//   answer                  presses the box's OK and waits for it to go
//   move-message X Y        moves the box (so that a picture shows both windows)
//   press ID                presses a button when it is shown and enabled: {"pressed"}
//   uncheck ROW             clears a row's check box: the state afterwards
//   click-row ROW           clicks the row's text
//   quit
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const wchar_t kDialogTitle[] = L"IM\u81ea\u52a8\u5347\u7ea7";  // IM自动升级
const int kControls[] = {1014, 1003, 1008, 1004, 1009, 1006, IDOK, IDCANCEL};
constexpr int kMessageText = 0xFFFF;

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring text(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), n);
    return text;
}

std::string Quoted(const std::wstring& wide) {
    std::string out = "\"";
    for (unsigned char c : Utf8(wide)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::ostringstream out;
    out << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
    return out.str();
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000, &copied);
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

HWND FindDialog() {
    const HWND dialog = FindWindowW(L"#32770", kDialogTitle);
    return dialog != nullptr && IsWindowVisible(dialog) && GetDlgItem(dialog, IDCANCEL) != nullptr ? dialog : nullptr;
}

BOOL CALLBACK CollectBoxes(HWND window, LPARAM found) {
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && GetDlgItem(window, kMessageText) != nullptr)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

HWND FindMessageBox() {
    std::vector<HWND> boxes;
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
    return boxes.empty() ? nullptr : boxes.front();
}

template <typename Find>
HWND WaitFor(Find find, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (const HWND found = find()) return found;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(50);
    }
}

// Memory in the dialog's process for the list view's records.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr) at_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteMemory() {
        if (at_ != nullptr) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    char* At(size_t offset = 0) const { return static_cast<char*>(at_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) {
        return WriteProcessMemory(process_, At(offset), data, size, nullptr) != 0;
    }
    bool Read(size_t offset, void* data, size_t size) {
        return ReadProcessMemory(process_, At(offset), data, size, nullptr) != 0;
    }
    bool Ok() const { return at_ != nullptr; }

private:
    HANDLE process_ = nullptr;
    void* at_ = nullptr;
};

std::wstring RowText(HWND list, int row, int column) {
    RemoteMemory memory(list, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
    if (!memory.Ok()) return L"<no access>";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 1024;
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof item));
    memory.Write(0, &item, sizeof item);
    const LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(memory.At()));
    std::wstring text(size_t(n), L'\0');
    if (n > 0) memory.Read(sizeof item, text.data(), size_t(n) * sizeof(wchar_t));
    return text;
}

bool RowChecked(HWND list, int row) {
    return ((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

std::string State() {
    const HWND dialog = FindDialog();
    if (dialog == nullptr) return "{\"found\":false}";
    std::ostringstream out;
    out << "{\"found\":true,\"title\":" << Quoted(TextOf(dialog)) << ",\"rect\":" << Rect(dialog)
        << ",\"enabled\":" << (IsWindowEnabled(dialog) ? "true" : "false") << ",\"controls\":{";
    for (int id : kControls) {
        const HWND control = GetDlgItem(dialog, id);
        out << (id == kControls[0] ? "" : ",") << "\"" << id << "\":{\"visible\":"
            << (IsWindowVisible(control) ? "true" : "false") << ",\"enabled\":"
            << (IsWindowEnabled(control) ? "true" : "false") << ",\"text\":" << Quoted(TextOf(control))
            << ",\"rect\":" << Rect(control) << "}";
    }
    const HWND list = GetDlgItem(dialog, 1003);
    const int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    out << "},\"progress\":" << SendMessageW(GetDlgItem(dialog, 1006), PBM_GETPOS, 0, 0) << ",\"rows\":[";
    for (int i = 0; i < rows; ++i)
        out << (i ? "," : "") << "{\"text\":" << Quoted(RowText(list, i, 0)) << ",\"status\":"
            << Quoted(RowText(list, i, 1)) << ",\"checked\":" << (RowChecked(list, i) ? "true" : "false") << "}";
    out << "]}";
    return out.str();
}

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
    if (IsWindowVisible(child) && ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
        SendMessageW(child, STM_GETICON, 0, 0) != 0) {
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
    return TRUE;
}

std::string Message(HWND box) {
    if (box == nullptr) return "{\"found\":false}";
    HWND icon = nullptr;
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
    std::ostringstream out;
    out << "{\"found\":true,\"caption\":" << Quoted(TextOf(box)) << ",\"text\":"
        << Quoted(TextOf(GetDlgItem(box, kMessageText))) << ",\"icon\":" << (icon ? Rect(icon) : "null")
        << ",\"rect\":" << Rect(box) << "}";
    return out.str();
}

std::map<DWORD, HANDLE> started;

std::string Start(const std::string& commandLine) {
    std::wstring line = Wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "{\"pid\":0,\"error\":" + std::to_string(GetLastError()) + "}";
    CloseHandle(process.hThread);
    started[process.dwProcessId] = process.hProcess;
    return "{\"pid\":" + std::to_string(process.dwProcessId) + "}";
}

std::string Exited(DWORD pid, DWORD ms) {
    const auto it = started.find(pid);
    if (it == started.end()) return "{\"exited\":false,\"error\":\"unknown\"}";
    if (WaitForSingleObject(it->second, ms) != WAIT_OBJECT_0) return "{\"exited\":false}";
    DWORD code = 0;
    GetExitCodeProcess(it->second, &code);
    return "{\"exited\":true,\"code\":" + std::to_string(code) + "}";
}

std::string Press(int id) {
    const HWND dialog = FindDialog();
    const HWND button = dialog ? GetDlgItem(dialog, id) : nullptr;
    // A hidden or disabled button is not there for a user to press.
    if (button == nullptr || !IsWindowVisible(button) || !IsWindowEnabled(button)) return "{\"pressed\":false}";
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return "{\"pressed\":true}";
}

std::string Uncheck(int row) {
    const HWND dialog = FindDialog();
    if (dialog == nullptr) return "{\"found\":false}";
    const HWND list = GetDlgItem(dialog, 1003);
    RemoteMemory memory(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    memory.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory.At()));
    return State();
}

std::string ClickRow(int row) {
    const HWND dialog = FindDialog();
    if (dialog == nullptr) return "{\"clicked\":false}";
    const HWND list = GetDlgItem(dialog, 1003);
    RemoteMemory memory(list, sizeof(RECT));
    RECT r{LVIR_LABEL, 0, 0, 0};
    memory.Write(0, &r, sizeof r);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(memory.At()));
    memory.Read(0, &r, sizeof r);
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    return "{\"clicked\":true}";
}

std::string Answer() {
    const HWND box = FindMessageBox();
    if (box == nullptr) return "{\"answered\":false}";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    const DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < 5000) Sleep(20);
    return std::string("{\"answered\":") + (IsWindow(box) ? "false" : "true") + "}";
}

std::string Run(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    long a = 0, b = 0;
    if (command == "start") {
        std::string rest;
        std::getline(in >> std::ws, rest);
        return Start(rest);
    }
    in >> a >> b;
    if (command == "exited") return Exited(DWORD(a), DWORD(b));
    if (command == "dialog") return WaitFor(FindDialog, DWORD(a)) ? State() : "{\"found\":false}";
    if (command == "state") return State();
    if (command == "message") return Message(WaitFor(FindMessageBox, DWORD(a)));
    if (command == "answer") return Answer();
    if (command == "move-message") {
        const HWND box = FindMessageBox();
        if (box) SetWindowPos(box, nullptr, int(a), int(b), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return Message(box);
    }
    if (command == "press") return Press(int(a));
    if (command == "uncheck") return Uncheck(int(a));
    if (command == "click-row") return ClickRow(int(a));
    return "{\"error\":\"unknown command\"}";
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "quit") break;
        std::cout << Run(line) << std::endl;
    }
    for (const auto& process : started) CloseHandle(process.second);
    return 0;
}
