// The utility's copy of the driver: the hook is bound to the program's own module and the
// calling thread, and the warning has fixed English texts in a box without owner.
#include "shared/format_dialog_driver.h"

#include "platform/base/format.h"
#include "platform/kernel/modules.h"
#include "platform/user/user.h"
#include "shared/format_driver_state.h"

namespace {

constexpr char kCaption[] = "Error Accessing FormatDrive Dialog";
constexpr char kBody[] =
    "Not possible to open the Disk Format dialog\n\nOpen 'My Computer' and Format the Floppy manually.\n\n";

void ShowUtilityWarning(const char* label)
{
    std::string text = label[0] ? yolt::FormatA("%sSet volumelabel to: '%s'", kBody, label)
                                : yolt::FormatA("%sLeave Volumename Empty!", kBody);
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONWARNING);
}

}  // namespace

int FormatDialogDriver::Run(HWND owner, char driveLetter, ULONG quick, const char* label, int fileSystem)
{
    FormatRunRequest request;
    request.hookInstance = GetModuleHandleA(nullptr);
    request.hookThread = GetCurrentThreadId();
    request.owner = owner;
    request.driveLetter = driveLetter;
    request.quick = quick;
    request.label = label;
    request.fileSystem = fileSystem;
    request.activation = FormatActivation::LatestWindow;
    bool warn = false;
    int result = RunFormatDialog(request, warn);
    if (warn)
        ShowUtilityWarning(FormatDriver().label);
    EndFormatRun();
    return result;
}
