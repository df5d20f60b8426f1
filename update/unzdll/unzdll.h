/* UNZDLL: extracts every entry of a ZIP archive into the current directory.
 *
 * The updater loads the library by name and calls two functions:
 *   int GetUnzDllVersion(void);
 *   int UnzDllExec(const UnzipCommand* command);
 * UnzDllExec extracts the entries that match the command's file
 * patterns ("*.*" for all), recreating stored folders and replacing
 * files of the same name, reports each problem through the command's
 * callback while it runs, and returns when it is done: 0 when every
 * matching entry was extracted, else the number of matching entries that
 * were not, or -1 when the archive could not be read at all or the command
 * is unusable.
 *
 * Names stored in UTF-8 (general-purpose flag bit 11) or in GBK are written
 * as the same characters on every platform. Entries whose names would leave
 * the current directory (absolute paths, drive letters, "..", names Windows
 * reserves for devices) and links are refused and reported; the others are
 * still extracted. A file is written under a temporary name in its folder and
 * renamed only once its data has been checked, so a failed entry never
 * leaves a partial file under its own name.
 *
 * On 32-bit Windows every field is 4 bytes wide, so the offsets in the
 * comments hold; natively the pointers have their own width.
 */
#ifndef UNZDLL_H
#define UNZDLL_H

#include <stdint.h>

#if defined(_WIN32)
#define UNZDLL_CALL __stdcall
#else
#define UNZDLL_CALL
#endif

#if !defined(_WIN32) && defined(UNZDLL_BUILDING)
#define UNZDLL_API __attribute__((visibility("default")))
#else
#define UNZDLL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    UNZDLL_VERSION = 100,
    UNZDLL_MAX_FILE_SPECS = 4096,
    UNZDLL_MESSAGE_SIZE = 1024
};

/* Error codes of an UnzipCallbackInfo; 0 is a progress message. */
enum {
    UNZ_OK = 0,
    UNZ_ERR_OPEN = 1,        /* the archive cannot be opened or read */
    UNZ_ERR_FORMAT = 2,      /* not a ZIP archive, or its directory is damaged */
    UNZ_ERR_METHOD = 3,      /* compression method not supported */
    UNZ_ERR_ENCRYPTED = 4,   /* encrypted entry */
    UNZ_ERR_ZIP64 = 5,       /* ZIP64 entry without its 64-bit values */
    UNZ_ERR_CRC = 6,         /* data does not match its CRC-32 */
    UNZ_ERR_DATA = 7,        /* entry data damaged or cut short */
    UNZ_ERR_UNSAFE_NAME = 8, /* entry name leaves the target folder, is no valid text, or is a link */
    UNZ_ERR_WRITE = 9,       /* a file or folder cannot be created or written */
    UNZ_ERR_MEMORY = 10,     /* out of memory */
    UNZ_ERR_COMMAND = 11     /* the command record is unusable */
};

/* What the library hands to the message callback, once per message; valid
 * only during the call. */
typedef struct UnzipCallbackInfo {
    uint32_t size;          /* 0x00: sizeof(UnzipCallbackInfo) */
    uint32_t entryNumber;   /* 0x04: 1-based entry the message is about, 0 for the archive */
    uint32_t entryCount;    /* 0x08: entries in the archive, 0 when unknown */
    uint32_t reserved[2];   /* 0x0C */
    int32_t errorCode;      /* 0x14: UNZ_OK or an UNZ_ERR_ code */
    uint32_t messageLength; /* 0x18: characters in message, without the terminator */
    char message[UNZDLL_MESSAGE_SIZE]; /* 0x1C: zero-terminated, GBK */
} UnzipCallbackInfo;

/* Called on the thread that called UnzDllExec; the result is ignored. */
typedef int(UNZDLL_CALL* UnzipMessageCallbackFn)(UnzipCallbackInfo* info);

/* What the caller hands to UnzDllExec. */
typedef struct UnzipCommand {
    uint32_t reserved0;              /* 0x00: 0 */
    uint32_t reserved1;              /* 0x04: 0 */
    int32_t version;                 /* 0x08: GetUnzDllVersion() as the caller saw it */
    UnzipMessageCallbackFn callback; /* 0x0C: may be null */
    uint32_t options[10];            /* 0x10: 0 */
    uint32_t recreateFolders;        /* 0x38: 1 keeps the stored folders, 0 flattens */
    uint32_t overwriteFiles;         /* 0x3C: 1 replaces existing files, 0 keeps them */
    int32_t fileSpecCount;           /* 0x40: used entries of fileSpecs */
    const char* archivePath;         /* 0x44: zero-terminated, GBK; natively a path that
                                        is valid UTF-8 is used as it is */
    uint32_t reportLevel;            /* 0x48: bit 0 errors, bit 2 one progress message per
                                        extracted entry (error code 0); bit 1 unused */
    const char* fileSpecs[UNZDLL_MAX_FILE_SPECS]; /* 0x4C: GBK names with "*" and "?"
                                        wildcards; "*.*" matches every name, "*" also
                                        matches "/"; no pattern matches all */
} UnzipCommand;

typedef int(UNZDLL_CALL* GetUnzDllVersionFn)(void);
typedef int(UNZDLL_CALL* UnzDllExecFn)(const UnzipCommand* command);

/* Callers load the library by name and look these up; the declarations are
 * for the library itself. */
UNZDLL_API int UNZDLL_CALL GetUnzDllVersion(void);
UNZDLL_API int UNZDLL_CALL UnzDllExec(const UnzipCommand* command);

#ifdef __cplusplus
}
#endif

#endif /* UNZDLL_H */
