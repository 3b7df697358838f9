#include "component/objects/format_driver_call.h"

#include <new>
#include <string>

#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "shared/format_dialog_driver.h"
#include "shared/platform_record.h"

namespace {

// "<manufacturer> <modelName>" in the conversion code page.
std::string NarrowLabel(const WCHAR* manufacturer, const WCHAR* modelName)
{
    std::u16string wide = manufacturer ? manufacturer : u"";
    wide += u' ';
    if (modelName)
        wide += modelName;
    UINT codePage = ConversionCodePage();
    int size = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(size_t(size) - 1);
    return narrow;
}

}  // namespace

HRESULT RunComponentFormatDialog(KVXRModelType model, const WCHAR* drivePath, const WCHAR* manufacturer,
    const WCHAR* modelName, ULONG appInstance, ULONG appThreadId, ULONG quickFormat, ULONG mainWindow)
{
    if (appInstance == 0)
        return E_INVALIDARG;
    int fileSystem = model == eMODEL_RQ210 || model == eMODEL_RQ310 ? eFormatFat32 : eFormatFat;
    std::string label;
    try {
        label = NarrowLabel(manufacturer, modelName);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    char letter = drivePath ? char(drivePath[0] & 0xFF) : 0;
    FormatDialogDriver driver;
    int result = driver.Run(reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(appInstance)), appThreadId,
        reinterpret_cast<HWND>(static_cast<ULONG_PTR>(mainWindow)), letter, quickFormat, label.c_str(), fileSystem);
    return result == eFormatCompleted ? S_OK : S_FALSE;
}
