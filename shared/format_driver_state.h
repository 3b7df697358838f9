// The driver's state and the run that both copies share (private to the driver's copies and
// their tests). The state is static: one set per deliverable.
#pragma once

#include "platform/user/hooks.h"
#include "shared/format_dialog_driver.h"

/// Which activated window the hook takes for the format dialog.
enum class FormatActivation {
    FirstWindow,  // the component's copy: only the first one
    LatestWindow, // the utility's copy: the latest one, except the windows that own the held one
};

struct FormatDriverState {
    char label[12] = {};  // up to 11 characters; the 12th byte is never written
    HHOOK hook = nullptr;
    HWND dialog = nullptr;
    int fileSystem = eFormatFat;
    int kindCache = eFormatOsUnknown;
    FormatActivation activation = FormatActivation::FirstWindow;
};

/// This deliverable's driver state.
FormatDriverState& FormatDriver();

struct FormatRunRequest {
    HINSTANCE hookInstance = nullptr;
    DWORD hookThread = 0;
    HWND owner = nullptr;
    char driveLetter = 0;
    ULONG quick = 0;
    const char* label = nullptr;
    int fileSystem = eFormatFat;
    FormatActivation activation = FormatActivation::FirstWindow;
};

/// Stores the label and the choice, hooks the thread and runs SHFormatDrive; after a completed
/// format writes the label. Returns the run result; `warn` is set when the copy is to show its
/// warning message (results 2 for an unsupported system and 3), while the hook may still be
/// installed so that the message box is taken as the held window.
int RunFormatDialog(const FormatRunRequest& request, bool& warn);
/// Removes a hook the run left installed (the dialog never came, or the held window outlived
/// it), so that no later window is taken for a format dialog that has gone.
void EndFormatRun();

/// Forgets the cached system kind (tests that change the machine's system).
void ForgetFormatOsKind();
