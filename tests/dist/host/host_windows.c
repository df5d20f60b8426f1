#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "host_platform.h"
#include "lumvox.h"

void HostSleep(int milliseconds) { Sleep((DWORD)milliseconds); }

/* The version resource as the file's properties read it, in both languages. */
static int ShowsVersion(const wchar_t* module, const char* version) {
    wchar_t path[MAX_PATH];
    if (!GetModuleFileNameW(GetModuleHandleW(module), path, MAX_PATH)) return 0;
    DWORD ignored;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    static BYTE info[16384];
    if (size == 0 || size > sizeof info || !GetFileVersionInfoW(path, 0, size, info)) return 0;
    wchar_t expected[64];
    MultiByteToWideChar(CP_ACP, 0, version, -1, expected, 64);
    const wchar_t* blocks[] = {L"\\StringFileInfo\\080404b0\\FileVersion",
                               L"\\StringFileInfo\\040904b0\\ProductVersion"};
    for (int i = 0; i < 2; ++i) {
        wchar_t* value;
        UINT length;
        if (!VerQueryValueW(info, blocks[i], (void**)&value, &length) || wcscmp(value, expected) != 0) {
            wprintf(L"%ls: %ls is not %hs\n", module, blocks[i], version);
            return 0;
        }
    }
    wprintf(L"%ls: version %hs\n", module, version);
    return 1;
}

int PlatformChecks(const char* version) {
    /* Lumvox: nothing to free, no dialog message to filter. */
    MSG message;
    memset(&message, 0, sizeof message);
    DestroyLeaveWordPack(NULL);
    const int lumvox = FilterDllMsg(&message) == 0;
    printf("lumvox: %s\n", lumvox ? "library answers" : "FilterDllMsg claimed an empty message");
    const int versions = ShowsVersion(L"Tarnel.dll", version) & ShowsVersion(L"ZiroMail.dll", version) &
                         ShowsVersion(L"Lumvox.dll", version) & ShowsVersion(L"UNZDLL.DLL", version);
    fflush(stdout);
    return lumvox && versions;
}
