// The component's copy of the format dialog driver: the hook is bound to the caller's module
// and thread, the first activated window is the format dialog, and the warning comes from the
// component's string table (or the string provider) in the form the system family calls for.
#include "shared/format_dialog_driver.h"

#include <cstdlib>
#include <string>

#include "component/objects/component_state.h"
#include "component/objects/load_component_string.h"
#include "component/res/resource.h"
#include "platform/base/format.h"
#include "platform/kernel/codepages.h"
#include "platform/user/user.h"
#include "shared/format_driver_state.h"
#include "shared/platform_record.h"

namespace {

// The printed message may hold at most this many characters; a longer one leaves the body.
constexpr size_t kLongestMessage = 511;

struct Texts {
    void* caption = nullptr;
    void* body = nullptr;
    void* format = nullptr;
    ~Texts()
    {
        std::free(caption);
        std::free(body);
        std::free(format);
    }
};

void ShowNarrow(HWND owner, const Texts& texts, const char* label)
{
    auto* body = static_cast<const char*>(texts.body);
    std::string printed;
    if (body && texts.format)
        printed = yolt::FormatA(static_cast<const char*>(texts.format), body, label[0] ? label : " ");
    bool usePrinted = !printed.empty() && printed.size() <= kLongestMessage;
    MessageBoxA(owner, usePrinted ? printed.c_str() : body, static_cast<const char*>(texts.caption), MB_ICONWARNING);
}

void ShowWide(HWND owner, const Texts& texts, const char* label)
{
    auto* body = static_cast<const WCHAR*>(texts.body);
    std::u16string printed;
    if (body && texts.format) {
        WCHAR wideLabel[16] = u" ";
        if (label[0])
            MultiByteToWideChar(ConversionCodePage(), 0, label, -1, wideLabel, 16);
        printed = yolt::FormatW(static_cast<const WCHAR*>(texts.format), body, wideLabel);
    }
    bool usePrinted = !printed.empty() && printed.size() <= kLongestMessage;
    MessageBoxW(owner, usePrinted ? printed.c_str() : body, static_cast<const WCHAR*>(texts.caption), MB_ICONWARNING);
}

void ShowComponentWarning(HWND owner, const char* label)
{
    BOOL narrow = (g_osVersionRecord.platformId & 1) != 0;
    ULONG locale = g_componentLocale;
    Texts texts;
    texts.caption = LoadComponentString(IDS_FORMAT_ERROR_CAPTION, 64, narrow, nullptr, locale);
    texts.body = LoadComponentString(IDS_FORMAT_ERROR_BODY, 256, narrow, nullptr, locale);
    if (texts.body) {
        UINT formatId = label[0] ? IDS_FORMAT_LABEL_LINE : IDS_FORMAT_EMPTY_LABEL_LINE;
        texts.format = LoadComponentString(formatId, 128, narrow, nullptr, locale);
    }
    if (narrow)
        ShowNarrow(owner, texts, label);
    else
        ShowWide(owner, texts, label);
}

}  // namespace

int FormatDialogDriver::Run(HINSTANCE hookInstance, DWORD hookThread, HWND owner, char driveLetter, ULONG quick,
    const char* label, int fileSystem)
{
    FormatRunRequest request;
    request.hookInstance = hookInstance;
    request.hookThread = hookThread;
    request.owner = owner;
    request.driveLetter = driveLetter;
    request.quick = quick;
    request.label = label;
    request.fileSystem = fileSystem;
    request.activation = FormatActivation::FirstWindow;
    bool warn = false;
    int result = RunFormatDialog(request, warn);
    if (warn)
        ShowComponentWarning(owner, FormatDriver().label);
    EndFormatRun();
    return result;
}
