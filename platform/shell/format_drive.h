// The system's format dialog: SHFormatDrive opens it as a modal dialog of the window system on
// the calling thread, laid out as the running system's family lays it out (the 95-family
// dialog or the 2000/XP dialog). Start formats the drive and ends the dialog with 0; Close,
// Escape and the system menu's Close end it with SHFMT_CANCEL.
#pragma once

#include <string>

#include "platform/base/types.h"
#include "platform/user/window.h"

#define SHFMT_ID_DEFAULT 0xFFFF
// Options of the 95-family dialog: 1 selects a full format (otherwise quick).
#define SHFMT_OPT_FULL 0x0001
#define SHFMT_OPT_SYSONLY 0x0002
// Results besides 0 (a completed format).
#define SHFMT_ERROR 0xFFFFFFFFUL
#define SHFMT_CANCEL 0xFFFFFFFEUL
#define SHFMT_NOFORMAT 0xFFFFFFFDUL

extern "C" {
/// Shows the format dialog for drive number `drive` (0 for A:) owned by `owner` and returns
/// when it closes: 0 after a completed format, SHFMT_CANCEL when closed without one,
/// SHFMT_ERROR for a drive number above 25 (no dialog) or a format that failed. On the 95
/// family `options` 1 preselects "Full" and 0 "Quick (erase)"; on the NT family 1 checks
/// "Quick Format". `fmtID` is not used (every dialog offers the drive's own capacity).
DWORD SHFormatDrive(HWND owner, UINT drive, UINT fmtID, UINT options);
}

namespace yolt::shell {

/// The format dialog that is open now, or null.
HWND OpenFormatDialog();
/// Presses Start or Close of the open format dialog; false when none is open.
bool PressFormatStart();
bool PressFormatClose();

/// Empties a simulated drive and gives it a file system and a label, as a completed format
/// leaves it; false when the drive is absent or is the host's root.
bool FormatSimulatedDrive(char letter, const std::string& fileSystem, const std::string& label);

}  // namespace yolt::shell
