// libmspack's I/O table routed through the platform's file layer: every file libmspack opens is
// a Windows path opened with CreateFileA, so drive mapping, FAT rules and sharing modes hold.
#pragma once

#include <mspack.h>

#include "platform/base/types.h"

namespace yolt::setup {

/// The I/O table handed to libmspack, with what the last failures were, in Win32 terms.
struct PlatformIo {
    mspack_system table;          // must stay first: libmspack hands back a pointer to it
    DWORD inputError = 0;         // last failure opening, reading or seeking a cabinet
    DWORD outputError = 0;        // last failure creating or writing an extracted member
    bool outputOpened = false;    // whether the last member's target was created
    /// DOS date and time given to the next target created, applied when it is closed.
    WORD pendingDosDate = 0;
    WORD pendingDosTime = 0;
    bool hasPendingTime = false;

    PlatformIo();
    /// Forgets the outcome of the previous member before the next extraction.
    void ResetOutput();
};

}  // namespace yolt::setup
