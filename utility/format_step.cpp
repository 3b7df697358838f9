#include "utility/format_step.h"

int RunFormatDialog(HWND owner, char driveLetter, BOOL quickFormat, LPCSTR label, int fileSystem)
{
    // FIXME: run the utility's copy of FormatDialogDriver once it is available; until then the
    // format dialog counts as closed without formatting.
    (void)owner;
    (void)driveLetter;
    (void)quickFormat;
    (void)label;
    (void)fileSystem;
    return 2;
}
