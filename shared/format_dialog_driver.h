// The format dialog driver: opens the system's format dialog (SHFormatDrive, loaded by name
// from "shell32.dll") for a player's drive and steers it through a thread-specific CBT hook:
// it fills in and locks the volume label, preselects the file system where the system offers a
// choice, disables option controls and, after a completed format, writes the label itself.
//
// Each deliverable links its own copy with its own static state (label, hook, held window,
// file-system choice, system-kind cache). The utility's copy (library yolt_format_utility)
// defines the five-argument Run; the component's copy (inside KVXRDTCT) defines the
// seven-argument Run. Both share the hook, the child procedure and the system kinds below.
// One run at a time per process, on the thread that shows the dialog.
#pragma once

#include "platform/base/types.h"
#include "platform/user/window.h"

/// The file system preselected in the dialog's list; any other value selects "FAT".
enum FormatFileSystem : int { eFormatFat = 0, eFormatFat32 = 1, eFormatNtfs = 2 };

/// The systems the driver tells apart. 2 to 7 are handled as the 95 family, 8 and 9 as the NT
/// family; 0 and 1 are not supported.
enum FormatOsKind : int {
    eFormatOsUnknown = 0,
    eFormatOsNt4 = 1,
    eFormatOsWin95 = 2,
    eFormatOsWin95Osr2 = 3,
    eFormatOsNtProduct = 4,
    eFormatOsWin98 = 5,
    eFormatOsWin98Se = 6,
    eFormatOsWinMe = 7,
    eFormatOsWin2000 = 8,
    eFormatOsWinXp = 9,
};

/// What a run did.
enum FormatRunResult : int {
    eFormatCompleted = 1,   // the dialog reported a completed format and the label was written
    eFormatNotDone = 2,     // the dialog ended otherwise, or the system is not supported
    eFormatNoShell = 3,     // "shell32.dll" or its SHFormatDrive is not available
};

class FormatDialogDriver {
public:
    /// Clears the label buffer of this deliverable's driver.
    FormatDialogDriver();
    ~FormatDialogDriver() = default;

    /// The component's copy: hooks the thread `hookThread` (the calling thread) with the module
    /// `hookInstance`, shows the dialog owned by `owner` for `driveLetter` (upper case) and
    /// returns a FormatRunResult. `label` is narrow text, cut to 11 characters. On results 2
    /// (unsupported system) and 3 a warning box from the component's string table is shown.
    int Run(HINSTANCE hookInstance, DWORD hookThread, HWND owner, char driveLetter, ULONG quick, const char* label,
        int fileSystem);
    /// The utility's copy: as above, with the hook bound to the program's module and the calling
    /// thread, and the utility's fixed warning texts.
    int Run(HWND owner, char driveLetter, ULONG quick, const char* label, int fileSystem);
};

/// The CBT hook procedure of the current run; returns 0 for every code.
LRESULT FormatHookProc(int code, WPARAM wParam, LPARAM lParam);
/// Presets or disables one child of the format dialog (label edit, file-system list,
/// check-like buttons); returns TRUE so the enumeration goes on.
BOOL FormatChildProc(HWND child, LPARAM lParam);
/// The running system's FormatOsKind; a nonzero kind is computed once and kept.
int GetFormatOsKind();
