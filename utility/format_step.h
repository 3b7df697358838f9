// The seam between the format step and the format dialog driver: one run of the utility's copy
// of the driver on a drive, with its hook bound to the program's module and thread.
#pragma once

#include "platform/user/window.h"

/// Runs the system's format dialog for drive `driveLetter`, owned by `owner`, preset with the
/// quick-format flag, the volume label (the driver keeps at most 11 characters) and the
/// file-system choice (1 FAT32, 2 NTFS, else FAT). Returns the driver's run result: 1 after a
/// completed format, 2 when the dialog ended otherwise, 3 when it could not be opened.
int RunFormatDialog(HWND owner, char driveLetter, BOOL quickFormat, LPCSTR label, int fileSystem);
