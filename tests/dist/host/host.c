/* A host built only from the installed tree (headers, libraries, package files):
 * it drives each library through its C interface as a messenger does.
 *
 *   host VERSION ARCHIVE.zip
 *
 * Tarnel: a talk with one peer; ending it sends the RTCP BYE through the callback.
 * ZiroMail: a mail to a port where nothing listens ends with "no connection".
 * UNZDLL: the archive is extracted into the current directory.
 * Then the platform's own checks (host_windows.c: Lumvox, the DLLs' version resources). */
#include <stdatomic.h>
#include <stdio.h>
#include <string.h>

#include "host_platform.h"
#include "tarnel.h"
#include "unzdll.h"
#include "ziromail.h"

static atomic_int packets_sent;
static atomic_int mail_status = 99;
static int unzip_messages;

static int TARNEL_CDECL OnPacket(uint32_t context, uint32_t ip, uint32_t port, const uint8_t* data,
                                 int32_t length, int32_t isRtcp) {
    (void)context, (void)ip, (void)port, (void)data, (void)length, (void)isRtcp;
    atomic_fetch_add(&packets_sent, 1);
    return 0;
}

static void ZIROMAIL_CALLBACK OnMailStatus(int status, int userValue) {
    if (userValue == 7 && status != MailStatusStarted) atomic_store(&mail_status, status);
}

static int UNZDLL_CALL OnUnzipMessage(UnzipCallbackInfo* info) {
    (void)info;
    ++unzip_messages;
    return 0;
}

static int Talk(void) {
    TalkEngine* engine = Tarnel_Ini();
    if (engine == NULL || Tarnel_SetSendCallBack(engine, 1, OnPacket) != engine) return 0;
    Tarnel_BeginTalk(engine, 7000);
    Tarnel_AddTalkDestion(engine, "127.0.0.1", 7002);
    Tarnel_EndTalk(engine);
    Tarnel_Release(engine);
    printf("tarnel: %d packets handed to the host\n", atomic_load(&packets_sent));
    return atomic_load(&packets_sent) > 0;
}

static int Mail(void) {
    const int handle = InitSmtp("127.0.0.1", 1, 7);
    MailUserBind(handle, "host@example.org", "secret");
    SetMailOption(handle, MailOptionTo, "peer@example.org");
    if (SendMail(handle, "subject", "<p>body</p>", OnMailStatus) != 0) return 0;
    for (int waited = 0; atomic_load(&mail_status) == 99 && waited < 20000; waited += 10) HostSleep(10);
    printf("ziromail: final status %d\n", atomic_load(&mail_status));
    return atomic_load(&mail_status) == MailStatusConnectFailed;
}

static int Unzip(const char* archive) {
    static UnzipCommand command;
    command.version = GetUnzDllVersion();
    command.callback = OnUnzipMessage;
    command.recreateFolders = 1;
    command.overwriteFiles = 1;
    command.archivePath = archive;
    command.reportLevel = 1 | 4;
    const int result = UnzDllExec(&command);
    printf("unzdll: version %d, result %d, %d messages\n", command.version, result, unzip_messages);
    return command.version == UNZDLL_VERSION && result == 0 && unzip_messages > 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: host VERSION ARCHIVE.zip\n");
        return 2;
    }
    const int ok = Talk() & Mail() & Unzip(argv[2]) & PlatformChecks(argv[1]);
    puts(ok ? "host: all calls answered as expected" : "host: FAILED");
    return ok ? 0 : 1;
}
