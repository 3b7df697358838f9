// The Setup API's cabinet iterator: walks the members of a cabinet file (a package), lets a
// callback decide for each one whether and where it is written, and writes it through the
// platform's file layer, so drive mapping and FAT rules apply to the targets.
#pragma once

#include "platform/base/types.h"

typedef void* PVOID;
typedef const CHAR* PCSTR;

// Notifications sent to the callback.
#define SPFILENOTIFY_CABINETINFO 0x00000010
#define SPFILENOTIFY_FILEINCABINET 0x00000011
#define SPFILENOTIFY_NEEDNEWCABINET 0x00000012
#define SPFILENOTIFY_FILEEXTRACTED 0x00000013

// Answers to SPFILENOTIFY_FILEINCABINET.
#define FILEOP_ABORT 0
#define FILEOP_DOIT 1
#define FILEOP_SKIP 2

/// Param1 of SPFILENOTIFY_CABINETINFO and SPFILENOTIFY_NEEDNEWCABINET.
struct CABINET_INFO_A {
    PCSTR CabinetPath;  // folder of the cabinet, ending with a backslash
    PCSTR CabinetFile;  // its file name
    PCSTR DiskName;     // the disk's name as the cabinet gives it, or ""
    USHORT SetId;
    USHORT CabinetNumber;
};
typedef CABINET_INFO_A* PCABINET_INFO_A;

/// Param1 of SPFILENOTIFY_FILEINCABINET: one member; the callback fills FullTargetName.
struct FILE_IN_CABINET_INFO_A {
    PCSTR NameInCabinet;  // as stored (folders separated by backslashes), in the ANSI code page
    DWORD FileSize;
    DWORD Win32Error;     // the callback may set this before it answers FILEOP_ABORT
    WORD DosDate;
    WORD DosTime;
    WORD DosAttribs;
    CHAR FullTargetName[MAX_PATH];
};
typedef FILE_IN_CABINET_INFO_A* PFILE_IN_CABINET_INFO_A;

/// Param1 of SPFILENOTIFY_FILEEXTRACTED: the written target and the outcome of the write.
struct FILEPATHS_A {
    PCSTR Target;
    PCSTR Source;     // the cabinet's path
    UINT Win32Error;  // NO_ERROR when the member was written completely
    DWORD Flags;
};
typedef FILEPATHS_A* PFILEPATHS_A;

typedef UINT (*PSP_FILE_CALLBACK_A)(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR param2);

extern "C" {
/// Offers each member of the cabinet (and of the cabinets that continue it) to `callback` in
/// cabinet order. SPFILENOTIFY_CABINETINFO comes first (Param1 a CABINET_INFO_A); a nonzero
/// answer stops with that error. SPFILENOTIFY_NEEDNEWCABINET asks for each further cabinet of a
/// set (Param1 its CABINET_INFO_A, Param2 a MAX_PATH buffer where the callback may write another
/// folder to look in); a nonzero answer stops with that error. SPFILENOTIFY_FILEINCABINET offers
/// a member (Param1 a FILE_IN_CABINET_INFO_A, Param2 the cabinet path): FILEOP_DOIT writes it to
/// FullTargetName (replacing an existing file) and reports SPFILENOTIFY_FILEEXTRACTED (Param1 a
/// FILEPATHS_A), whose nonzero answer stops with that error; FILEOP_SKIP leaves it out;
/// FILEOP_ABORT stops with the Win32Error the callback set (or the last error it left).
/// A member that cannot be written because of its target is reported and the walk goes on when
/// the callback answers NO_ERROR; a member whose data in the cabinet is damaged is reported and
/// then fails the whole walk (a partly written target is removed in both cases).
/// Returns TRUE when every member was handled. Otherwise FALSE with the last error:
/// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND (no cabinet file), ERROR_INVALID_DATA (not a
/// cabinet, or damaged data), ERROR_CRC (a data block fails its checksum),
/// ERROR_INVALID_PARAMETER (no cabinet, no callback, nonzero `reserved`), or the callback's error.
BOOL SetupIterateCabinetA(PCSTR cabinetFile, DWORD reserved, PSP_FILE_CALLBACK_A callback, PVOID context);
}
