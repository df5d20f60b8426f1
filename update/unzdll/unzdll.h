/* UNZDLL: extracts every entry of a ZIP archive into the current directory.
 *
 * The updater loads the library by name and calls two functions:
 *   int GetUnzDllVersion(void);
 *   int UnzDllExec(const UnzipCommand* command);
 * UnzDllExec extracts the entries that match the command's file
 * specifications ("*.*" for all), recreating stored folders and replacing
 * files of the same name, reports each problem through the command's
 * callback while it runs, and returns when it is done (0 when every entry
 * was extracted, else the number of entries that were not).
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
    UNZ_ERR_ZIP64 = 5,       /* ZIP64 entry or archive */
    UNZ_ERR_CRC = 6,         /* data does not match its CRC-32 */
    UNZ_ERR_DATA = 7,        /* entry data damaged or cut short */
    UNZ_ERR_UNSAFE_NAME = 8, /* entry name leaves the target folder, or is a link */
    UNZ_ERR_WRITE = 9,       /* a file or folder cannot be created or written */
    UNZ_ERR_MEMORY = 10,     /* out of memory */
    UNZ_ERR_COMMAND = 11     /* the command record is unusable */
};

/* What the library hands to the message callback. */
typedef struct UnzipCallbackInfo {
    uint32_t size;          /* 0x00: sizeof(UnzipCallbackInfo) */
    uint32_t entryNumber;   /* 0x04: 1-based entry the message is about, 0 for the archive */
    uint32_t entryCount;    /* 0x08: entries in the archive, 0 when unknown */
    uint32_t reserved[2];   /* 0x0C */
    int32_t errorCode;      /* 0x14: UNZ_OK or an UNZ_ERR_ code */
    uint32_t messageLength; /* 0x18: characters in message, without the terminator */
    char message[UNZDLL_MESSAGE_SIZE]; /* 0x1C: zero-terminated, GBK */
} UnzipCallbackInfo;

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
    const char* archivePath;         /* 0x44: zero-terminated, GBK */
    uint32_t reportLevel;            /* 0x48: bit 0 errors, bit 1 warnings, bit 2 progress */
    const char* fileSpecs[UNZDLL_MAX_FILE_SPECS]; /* 0x4C: "*.*" and "?" wildcards */
} UnzipCommand;

typedef int(UNZDLL_CALL* GetUnzDllVersionFn)(void);
typedef int(UNZDLL_CALL* UnzDllExecFn)(const UnzipCommand* command);

#ifdef __cplusplus
}
#endif

#endif /* UNZDLL_H */
