/* ZiroMail: sends one HTML mail per session through an SMTP server with AUTH LOGIN.
 *
 * Calling order, all from one thread: InitSmtp, then MailUserBind and any
 * SetMailOption calls, then exactly one SendMail per handle.
 *
 * - Strings are byte strings in the host's code page; they are copied on entry.
 * - SendMail reports MailStatusStarted through the callback before it returns,
 *   then runs the job on a thread of its own and reports one final status
 *   there. Every report goes to the callback of the most recent SendMail call.
 * - From the moment SendMail accepts a job the handle designates no session
 *   any more: further calls with it do nothing (SendMail returns -1).
 * - Local pictures named in <IMG src="path"> tags of the HTML are sent inline
 *   and referred to by "cid:"; SetMailOption(MailOptionAttachment) adds files.
 */
#ifndef ZIROMAIL_H
#define ZIROMAIL_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define ZIROMAIL_CDECL __cdecl
#else
#define ZIROMAIL_CDECL
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define ZIROMAIL_CALLBACK __stdcall
#else
#define ZIROMAIL_CALLBACK
#endif

#if defined(_WIN32) && defined(ZIROMAIL_BUILDING)
#define ZIROMAIL_API
#elif defined(_WIN32)
#define ZIROMAIL_API __declspec(dllimport)
#elif defined(ZIROMAIL_BUILDING)
#define ZIROMAIL_API __attribute__((visibility("default")))
#else
#define ZIROMAIL_API
#endif

/* Options of SetMailOption; other values are ignored. */
enum MailOption {
    MailOptionSender = 0,     /* envelope sender (MAIL FROM) */
    MailOptionTo = 1,         /* To recipients, separated by "," or ";" */
    MailOptionCc = 2,         /* Cc recipients, same separators */
    MailOptionAttachment = 6  /* full path of a file to attach; each call adds one */
};

/* Statuses reported to the SendMailCallback. */
enum MailStatus {
    MailStatusStarted = 1,           /* from inside SendMail */
    MailStatusOk = 0,                /* delivered and the session closed */
    MailStatusError = -1,            /* AUTH LOGIN refused, or QUIT could not be sent */
    MailStatusConnectFailed = -2,    /* no connection, no 220 greeting or no 250 to HELO */
    MailStatusLoginFailed = -3,      /* user name or password refused */
    MailStatusSenderRejected = -4,   /* MAIL FROM not answered with 250 */
    MailStatusMessageFailed = -6,    /* DATA refused, or the message could not be handed over */
    MailStatusRecipientRefused = -7  /* a recipient was answered with 550 */
};

typedef void(ZIROMAIL_CALLBACK* SendMailCallback)(int status, int userValue);

/* Creates a session and returns its handle (1, 2, 3, ...). No network activity. */
ZIROMAIL_API int ZIROMAIL_CDECL InitSmtp(const char* server, int port, int userValue);
/* Sets the AUTH LOGIN user name (also the From header) and password. */
ZIROMAIL_API void ZIROMAIL_CDECL MailUserBind(int handle, const char* user, const char* password);
/* Sets the option (see MailOption) to value. */
ZIROMAIL_API void ZIROMAIL_CDECL SetMailOption(int handle, int option, const char* value);
/* Starts the job; returns 0, or -1 when the handle designates no session. */
ZIROMAIL_API int ZIROMAIL_CDECL SendMail(int handle, const char* subject, const char* htmlBody,
                                         SendMailCallback callback);

#ifdef __cplusplus
}
#endif

#endif /* ZIROMAIL_H */
