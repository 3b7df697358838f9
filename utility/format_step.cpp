#include "utility/format_step.h"

#include "shared/format_dialog_driver.h"

int RunFormatDialog(HWND owner, char driveLetter, BOOL quickFormat, LPCSTR label, int fileSystem)
{
    // A driver for this run; creating it clears the label buffer.
    FormatDialogDriver driver;
    return driver.Run(owner, driveLetter, ULONG(quickFormat), label, fileSystem);
}
