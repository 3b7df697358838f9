// The system module "shell32.dll": the functions programs may load from it by name.
#include "platform/shell/format_drive.h"

#include "platform/kernel/modules.h"
#include "platform/shell/bytesize.h"

namespace {

template <typename Function>
FARPROC Export(Function* function)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

const yolt::SystemFunction kShell32Functions[] = {
    {"SHFormatDrive", Export(&SHFormatDrive)},
    {"StrFormatByteSizeW", Export(&StrFormatByteSizeW)},
    {"StrFormatByteSizeA", Export(&StrFormatByteSizeA)},
    {"StrFormatByteSize64A", Export(&StrFormatByteSize64A)},
};

// Registered when the library is loaded, before any program code asks for the module.
const bool kRegistered = (yolt::RegisterSystemModule("shell32.dll", kShell32Functions,
                              sizeof kShell32Functions / sizeof kShell32Functions[0]),
    true);

}  // namespace
