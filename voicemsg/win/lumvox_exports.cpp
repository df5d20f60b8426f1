// The library's entry points: the module handle, and the four exports
// translated to the dialog.
#include <windows.h>

#include <memory>

#include "common/export_guard.h"
#include "voicemsg/leave_word_pack.h"
#include "voicemsg/lumvox.h"
#include "voicemsg/win/lumvox_app.h"
#include "voicemsg/win/lumvox_dlg.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) voicemsg::theApp.SetInstance(instance);
    return TRUE;
}

extern "C" {

void __cdecl CreateModal(HWND parent, const char* text, uint32_t size) {
    common::Guarded([&] {
        voicemsg::theApp.InitInstance();
        auto dialog = std::make_unique<voicemsg::CLumvoxDlg>(parent);
        if (text && size > 0) dialog->LoadMessage(text, size);
        // Without a window to send it to (none given, or gone meanwhile) nothing is made.
        if (dialog->DoModal() != IDOK || !parent || !IsWindow(parent)) return;
        if (CStAudioLeaveWord* pack = voicemsg::MakeLeaveWordPack(dialog->Logic()))
            SendMessageW(parent, WM_LEAVEWORD_READY, 0, reinterpret_cast<LPARAM>(pack));
    });
}

void __cdecl DestroyLeaveWordPack(CStAudioLeaveWord* pack) { voicemsg::FreeLeaveWordPack(pack); }

BOOL __stdcall FilterDllMsg(MSG* msg) {
    return msg ? common::GuardedOr<BOOL>(FALSE, [&] { return voicemsg::theApp.PreTranslateMessage(msg); }) : FALSE;
}

}  // extern "C"
