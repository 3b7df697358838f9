#include "component/operations/install_package.h"

#include <string>

#include "component/operations/component_folder.h"
#include "component/operations/package_extraction.h"
#include "platform/base/errors.h"
#include "platform/base/format.h"
#include "platform/base/wtext.h"

HRESULT InstallFirmwarePackage(const WCHAR* path, const WCHAR* drivePath, const WCHAR* modelName)
{
    if (!path || !path[0])
        return E_INVALIDARG;
    // A path too long for the working buffer cannot be checked whole: refuse it rather than
    // judge it by a cut copy.
    if (wcslen(path) >= MAX_PATH)
        return E_INVALIDARG;
    WCHAR upper[MAX_PATH];
    wcscpy(upper, path);
    _wcsupr(upper);
    if (!modelName || !wcsstr(upper, modelName))
        return E_INVALIDARG;
    ExtractionContext context;
    context.destinationRoot = drivePath;
    return ExtractPackage(path, context);
}

HRESULT InstallRecoveryPackage(HMODULE component, const WCHAR* drivePath, const WCHAR* modelName)
{
    WCHAR folder[MAX_PATH] = {};
    GetComponentFolder(component, folder);
    std::u16string package = yolt::FormatW(u"%sRecovery.%s.kvu", folder, modelName ? modelName : u"");
    ExtractionContext context;
    context.destinationRoot = drivePath;
    return ExtractPackage(package.c_str(), context);
}
