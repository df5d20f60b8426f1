// Calls every export of the four DLLs as a host built with Microsoft's compiler does:
// compiled for the MSVC ABI and linked by an MSVC-compatible linker against the .lib
// import libraries alone. The test reads what the program imports. Its entry point is
// Loaded, not Entry: run from a client folder, it checks that the loader binds every
// name in that folder's DLLs, and calls none of them.
#include "tarnel.h"
#include "unzdll.h"
#include "ziromail.h"

// lumvox.h needs <windows.h>, which this check has not: its declarations, spelled out.
struct HWND__;
struct tagMSG;
struct CStAudioLeaveWord {
    char* data;
    uint32_t size;
    __declspec(dllimport) CStAudioLeaveWord& operator=(const CStAudioLeaveWord& other);
};
extern "C" {
__declspec(dllimport) void __cdecl CreateModal(HWND__* parent, const char* text, uint32_t size);
__declspec(dllimport) void __cdecl DestroyLeaveWordPack(CStAudioLeaveWord* pack);
__declspec(dllimport) int __stdcall FilterDllMsg(tagMSG* msg);
}

extern "C" int Entry() {
    TalkEngine* engine = Tarnel_Ini();
    Tarnel_SetSendCallBack(engine, 1, nullptr);
    Tarnel_BeginTalk(engine, 7000);
    Tarnel_AddTalkDestion(engine, "127.0.0.1", 7002);
    Tarnel_RemoveTalkDestion(engine, "127.0.0.1", 7002);
    Tarnel_SetRevData(engine, 0, 7002, nullptr, 0);
    Tarnel_SetSpeakerVol(engine, Tarnel_GetSpeakerVol(engine));
    Tarnel_SetMicVol(engine, Tarnel_GetMicVol(engine));
    Tarnel_MutSpeaker(engine);
    Tarnel_NoMutSpeaker(engine);
    Tarnel_EndTalk(engine);
    Tarnel_Release(engine);

    const int mail = InitSmtp("127.0.0.1", 25, 0);
    MailUserBind(mail, "user", "password");
    SetMailOption(mail, MailOptionTo, "peer@example.org");
    SendMail(mail, "subject", "<p>body</p>", nullptr);

    CStAudioLeaveWord pack = {}, copy = {};
    copy = pack;
    CreateModal(nullptr, copy.data, copy.size);
    DestroyLeaveWordPack(&copy);
    FilterDllMsg(nullptr);

    UnzipCommand* command = nullptr;
    return GetUnzDllVersion() + UnzDllExec(command);
}

extern "C" int Loaded() { return 0; }
