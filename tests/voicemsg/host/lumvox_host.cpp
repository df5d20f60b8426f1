// A host window that uses Lumvox.dll as the messenger does: loads it by name,
// binds the four exports by their exact names, opens the dialog and drives it
// through window messages from a second thread, the way a user would click.
// With --shots DIR it also has pictures of each dialog state taken (for a run
// on a real display); with --expect-sound a sound device must be there.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/base64.h"
#include "voicemsg/lumvox.h"
#include "voicemsg/resource.h"

namespace {

using CreateModalFn = void(__cdecl*)(HWND, const char*, uint32_t);
using DestroyPackFn = void(__cdecl*)(CStAudioLeaveWord*);
using FilterFn = BOOL(__stdcall*)(MSG*);
// The member operator, called as an MSVC-built host calls it (thiscall on 32-bit Windows).
#ifdef __i386__
#define MEMBER_CALL __attribute__((thiscall))
#else
#define MEMBER_CALL
#endif
using AssignFn = CStAudioLeaveWord& (MEMBER_CALL*)(CStAudioLeaveWord*, const CStAudioLeaveWord&);

struct Library {
    HMODULE module = nullptr;
    CreateModalFn createModal = nullptr;
    DestroyPackFn destroyPack = nullptr;
    FilterFn filter = nullptr;
    AssignFn assign = nullptr;
};

Library g_lumvox;
std::atomic<int> g_failures{0};
std::wstring g_shots;
std::vector<CStAudioLeaveWord*> g_received;
bool g_soundDevice = false;

#define CHECK(condition)                                                          \
    do {                                                                          \
        if (!(condition)) {                                                       \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            ++g_failures;                                                         \
        }                                                                         \
    } while (0)

bool WaitFor(const std::function<bool()>& ready, int timeoutMs = 10000) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (ready()) return true;
        Sleep(20);
    }
    return ready();
}

std::wstring Text(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

// A dialog of this process with the given title: other hosts may be running
// on the same Wine desktop at the same time.
HWND FindOwnDialog(const wchar_t* title) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", title)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) return window;
    }
    return nullptr;
}

// The voice-message dialog once its initialisation has run.
HWND FindDialog() {
    HWND dialog = nullptr;
    WaitFor([&] {
        dialog = FindOwnDialog(L"语音留言");
        return dialog && IsWindowVisible(dialog) && Text(GetDlgItem(dialog, IDC_ELAPSED)) == L"0秒";
    });
    return dialog;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Record, stop, play and send enabled, as a four-letter pattern such as "r--s".
std::string Buttons(HWND dialog) {
    std::string pattern;
    pattern += Enabled(dialog, IDC_RECORD) ? 'r' : '-';
    pattern += Enabled(dialog, IDC_STOP) ? 't' : '-';
    pattern += Enabled(dialog, IDC_PLAY) ? 'p' : '-';
    pattern += Enabled(dialog, IDC_SEND) ? 's' : '-';
    return pattern;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// 32-bit pixels of a bitmap or a drawing, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const { return data[size_t(y * width + x)] & 0xFFFFFF; }
};

BITMAPINFO TopDown(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

Pixels StripOf(int bitmapId) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageW(g_lumvox.module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    Pixels pixels{104, 22, std::vector<uint32_t>(104 * 22)};
    BITMAPINFO info = TopDown(104, 22);
    HDC screen = GetDC(nullptr);
    CHECK(strip && GetDIBits(screen, strip, 0, 22, pixels.data.data(), &info, DIB_RGB_COLORS) == 22);
    ReleaseDC(nullptr, screen);
    DeleteObject(strip);
    return pixels;
}

// What the button draws of itself, through its owner's drawing code.
Pixels Drawn(HWND button) {
    BITMAPINFO info = TopDown(26, 22);
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, canvas);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    GdiFlush();
    Pixels pixels{26, 22, std::vector<uint32_t>(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 26 * 22)};
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);
    return pixels;
}

int Mismatches(const Pixels& drawn, const Pixels& strip, int image, int shift, int margin) {
    int wrong = 0;
    for (int y = margin; y < 22 - margin; ++y)
        for (int x = margin; x < 26 - margin; ++x)
            if (drawn.At(x, y) != strip.At(image * 26 + x - shift, y - shift)) ++wrong;
    return wrong;
}

void CheckButtonPixels(HWND dialog) {
    HWND record = GetDlgItem(dialog, IDC_RECORD);
    RECT client;
    GetClientRect(record, &client);
    CHECK(client.right == 26 && client.bottom == 22);
    const Pixels recordStrip = StripOf(IDB_RECORD);
    CHECK(Mismatches(Drawn(record), recordStrip, 0, 0, 0) == 0);
    SendMessageW(record, WM_MOUSEHOVER, 0, 0);
    CHECK(Mismatches(Drawn(record), recordStrip, 1, 0, 0) == 0);
    SendMessageW(record, BM_SETSTATE, TRUE, 0);
    const Pixels pressed = Drawn(record);
    CHECK(Mismatches(pressed, recordStrip, 1, 1, 2) == 0);  // shifted one pixel right and down
    int frame = 0, frameBlue = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 26; ++x)
            if (x < 2 || y < 2 || x >= 24 || y >= 20) {
                ++frame;
                frameBlue += pressed.At(x, y) == 0x69C0FA;  // RGB(105, 192, 250) in a DIB
            }
    CHECK(frameBlue == frame);
    SendMessageW(record, BM_SETSTATE, FALSE, 0);
    SendMessageW(record, WM_MOUSELEAVE, 0, 0);
    CHECK(Mismatches(Drawn(record), recordStrip, 0, 0, 0) == 0);
    CHECK(!Enabled(dialog, IDC_PLAY));
    CHECK(Mismatches(Drawn(GetDlgItem(dialog, IDC_PLAY)), StripOf(IDB_PLAY), 2, 0, 0) == 0);
}

// Asks the picture taker outside Wine (run-dialog-screenshots) for a picture
// of the window: NAME.ready holds its place on the display; NAME.png appears
// once the picture is taken.
void SaveShot(HWND window, const wchar_t* name) {
    if (g_shots.empty()) return;
    Sleep(300);  // let the display catch up with the last change
    RECT area;
    GetWindowRect(window, &area);
    const std::wstring base = g_shots + L"\\" + name;
    if (FILE* ready = _wfopen((base + L".ready").c_str(), L"w")) {
        std::fprintf(ready, "%ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top, area.left, area.top);
        std::fclose(ready);
    }
    CHECK(WaitFor([&] { return GetFileAttributesW((base + L".png").c_str()) != INVALID_FILE_ATTRIBUTES; }));
}

// Runs the dialog on this thread while `drive` works it from another.
void RunDialog(HWND parent, const char* text, uint32_t size, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = FindDialog();
        CHECK(dialog != nullptr);
        if (!dialog) return;
        drive(dialog);
        if (!WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) {
            std::fprintf(stderr, "the dialog is still open: closing it\n");
            ++g_failures;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    g_lumvox.createModal(parent, text, size);
    driver.join();
}

bool WaitForLabel(HWND dialog, const wchar_t* text, int timeoutMs = 8000) {
    return WaitFor([&] { return Text(GetDlgItem(dialog, IDC_ELAPSED)) == text; }, timeoutMs);
}

void RecordAndSend(HWND host) {
    RunDialog(host, nullptr, 0, [](HWND dialog) {
        CHECK(Buttons(dialog) == "r---");
        CHECK(!IsWindowVisible(GetDlgItem(dialog, IDC_HIDDEN1)) && !Enabled(dialog, IDC_HIDDEN1));
        CHECK(!IsWindowVisible(GetDlgItem(dialog, IDC_DATA_RECEIVED)));
        CHECK(!IsWindowEnabled(GetWindow(dialog, GW_OWNER)));  // modal to the host
        CheckButtonPixels(dialog);
        SaveShot(dialog, L"1-empty");
        Click(dialog, IDC_RECORD);
        CHECK(Buttons(dialog) == "-t--");
        CHECK(WaitForLabel(dialog, L"1秒"));
        SaveShot(dialog, L"2-recording");
        CHECK(WaitForLabel(dialog, L"2秒"));
        Click(dialog, IDC_STOP);
        CHECK(Buttons(dialog) == "r-ps");
        CHECK(SendMessageW(GetDlgItem(dialog, IDC_PROGRESS), TBM_GETPOS, 0, 0) == 0);
        SaveShot(dialog, L"3-recorded");
        Click(dialog, IDC_SEND);
    });
    CHECK(g_received.size() == 1);
    CHECK(IsWindowEnabled(host));
    if (g_received.empty()) return;
    CStAudioLeaveWord* pack = g_received.back();
    g_received.clear();
    // Two ticks of audio, or nothing at all where no microphone opens.
    if (g_soundDevice) {
        CHECK(pack->size > 0 && pack->size % 640 == 0);
    } else {
        CHECK(pack->size == 0);
    }
    CHECK(pack->data != nullptr);
    uint8_t bytes[3];
    bool base64 = true;
    for (uint32_t at = 0; at + 4 <= pack->size; at += 4) base64 &= common::Base64DecodeGroup(pack->data + at, bytes) == 3;
    CHECK(base64);
    CStAudioLeaveWord copy{nullptr, 12345};
    CHECK(&g_lumvox.assign(&copy, *pack) == &copy);
    CHECK(copy.data == pack->data && copy.size == pack->size);
    g_lumvox.destroyPack(pack);
    g_lumvox.destroyPack(nullptr);
}

std::string TextOfTone(int blocks) {
    std::vector<uint8_t> pcm(size_t(blocks) * 480);
    for (size_t i = 0; i < pcm.size(); i += 2) pcm[i + 1] = uint8_t((i / 40) % 2 ? 0x20 : 0xE0);
    std::string text(common::Base64Length(pcm.size()), '\0');
    common::Base64Encode(pcm.data(), pcm.size(), text.data());
    return text;
}

void PlayReceived(HWND host) {
    const std::string text = TextOfTone(40);  // one whole second
    RunDialog(host, text.data(), uint32_t(text.size()), [](HWND dialog) {
        CHECK(Buttons(dialog) == "r-p-");
        SaveShot(dialog, L"4-received");
        Click(dialog, IDC_PLAY);
        CHECK(Buttons(dialog) == "-t--");
        CHECK(WaitFor([&] { return Buttons(dialog) == "r-p-"; }));  // stops by itself after the second
        if (!g_shots.empty()) {
            PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            HWND about = nullptr;
            CHECK(WaitFor([&] { return (about = FindOwnDialog(L"关于 Lumvox")) && IsWindowVisible(about); }));
            SaveShot(about, L"5-about");
            PostMessageW(about, WM_COMMAND, IDOK, 0);
            CHECK(WaitFor([&] { return !IsWindow(about); }));
        }
        Click(dialog, IDCANCEL);
    });
    CHECK(g_received.empty());
}

void OddCalls(HWND host) {
    // Too large a text opens an empty dialog; the close box sends nothing.
    const std::string huge(0x100001, 'A');
    RunDialog(host, huge.data(), uint32_t(huge.size()), [](HWND dialog) {
        CHECK(Buttons(dialog) == "r---");
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    // A null text with a size, and a text that is not Base64.
    RunDialog(host, nullptr, 640, [](HWND dialog) {
        CHECK(Buttons(dialog) == "r---");
        SendMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        Click(dialog, IDCANCEL);
    });
    const std::string broken(640 * 40, '*');
    RunDialog(host, broken.data(), uint32_t(broken.size()), [](HWND dialog) {
        CHECK(Buttons(dialog) == "r---");
        Click(dialog, IDCANCEL);
    });
    CHECK(g_received.empty());
    // Without a parent the dialog has no owner, and there is nobody to send to.
    RunDialog(nullptr, nullptr, 0, [](HWND dialog) {
        CHECK(GetWindow(dialog, GW_OWNER) == nullptr);
        Click(dialog, IDC_RECORD);
        CHECK(WaitForLabel(dialog, L"1秒"));
        Click(dialog, IDC_STOP);
        Click(dialog, IDC_SEND);
    });
    CHECK(g_received.empty());
    MSG msg{host, WM_LBUTTONDBLCLK, 0, 0, 0, {0, 0}};
    CHECK(g_lumvox.filter(&msg) == FALSE && msg.message == WM_LBUTTONDBLCLK);  // not one of the library's windows
    CHECK(g_lumvox.filter(nullptr) == FALSE);
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LEAVEWORD_READY) {
        CHECK(wParam == 0);
        g_received.push_back(reinterpret_cast<CStAudioLeaveWord*>(lParam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Bind() {
    g_lumvox.module = LoadLibraryA("Lumvox.dll");
    if (!g_lumvox.module) return false;
    auto bind = [](const char* name) { return reinterpret_cast<void*>(GetProcAddress(g_lumvox.module, name)); };
    g_lumvox.createModal = reinterpret_cast<CreateModalFn>(bind("CreateModal"));
    g_lumvox.destroyPack = reinterpret_cast<DestroyPackFn>(bind("DestroyLeaveWordPack"));
    g_lumvox.filter = reinterpret_cast<FilterFn>(bind("_FilterDllMsg@4"));
    g_lumvox.assign = reinterpret_cast<AssignFn>(bind("??4CStAudioLeaveWord@@QAEAAU0@ABU0@@Z"));
    return g_lumvox.createModal && g_lumvox.destroyPack && g_lumvox.filter && g_lumvox.assign;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool expectSound = false;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--shots" && i + 1 < argc) g_shots = argv[++i];
        if (std::wstring(argv[i]) == L"--expect-sound") expectSound = true;
    }
    if (!Bind()) {
        std::fprintf(stderr, "Lumvox.dll or one of its four exports is missing\n");
        return 1;
    }
    g_soundDevice = waveInGetNumDevs() > 0;
    CHECK(g_soundDevice || !expectSound);
    WNDCLASSW type{};
    type.lpfnWndProc = HostProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"LumvoxHost";
    RegisterClassW(&type);
    HWND host = CreateWindowW(L"LumvoxHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              type.hInstance, nullptr);
    RecordAndSend(host);
    PlayReceived(host);
    OddCalls(host);
    DestroyWindow(host);
    std::printf("lumvox host: %s (%s sound device)\n", g_failures ? "FAILED" : "passed",
                g_soundDevice ? "with a" : "without a");
    return g_failures ? 1 : 0;
}
