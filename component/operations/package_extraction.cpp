#include "component/operations/package_extraction.h"

#include <cstring>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/files.h"
#include "platform/setup/cabinet.h"
#include "shared/platform_record.h"
#include "shared/text_conversion.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Offsets of the separators of a member name, found character by character so that the second
// byte of a double-byte character is never taken for a backslash.
std::string::size_type NextSeparator(const std::string& name, std::string::size_type from)
{
    UINT codePage = ConversionCodePage();
    for (auto i = from; i < name.size(); ++i) {
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(name[i])) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (IsSeparator(name[i]))
            return i;
    }
    return std::string::npos;
}

// A member may only name a place below the root: no leading separator, no drive, no "..".
bool IsSafeMemberName(const std::string& name)
{
    if (IsSeparator(name[0]) || name.find(':') != std::string::npos)
        return false;
    std::string::size_type start = 0;
    while (start <= name.size()) {
        auto end = NextSeparator(name, start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

// Creates every folder on the member's path below the root; existing folders are fine.
void CreateMemberFolders(const std::string& root, const std::string& name)
{
    for (auto sep = NextSeparator(name, 0); sep != std::string::npos; sep = NextSeparator(name, sep + 1)) {
        std::string folder = root + name.substr(0, sep);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
}

UINT DecideMember(ExtractionContext& context, FILE_IN_CABINET_INFO_A* info)
{
    if (!info || !info->NameInCabinet || !info->NameInCabinet[0])
        return FILEOP_SKIP;
    std::string name = info->NameInCabinet;
    if (!IsSafeMemberName(name))
        return FILEOP_SKIP;
    std::string root = NarrowFromWide(context.destinationRoot);
    std::string target = root + name;
    if (target.size() >= MAX_PATH)
        return FILEOP_SKIP;
    CreateMemberFolders(root, name);
    std::memcpy(info->FullTargetName, target.c_str(), target.size() + 1);
    return FILEOP_DOIT;
}

}  // namespace

UINT PackageFileCallback(void* context, UINT notification, UINT_PTR param1, UINT_PTR param2)
{
    auto& extraction = *static_cast<ExtractionContext*>(context);
    if (notification == SPFILENOTIFY_FILEEXTRACTED) {
        auto* paths = reinterpret_cast<FILEPATHS_A*>(param1);
        if (paths && paths->Win32Error != NO_ERROR && extraction.firstWriteError == NO_ERROR)
            extraction.firstWriteError = paths->Win32Error;
        return NO_ERROR;
    }
    if (notification != SPFILENOTIFY_FILEINCABINET)
        return NO_ERROR;
    return DecideMember(extraction, reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1));
}

HRESULT ExtractPackage(const WCHAR* packagePath, ExtractionContext& context)
{
    std::string narrowPath = NarrowFromWide(packagePath);
    context.firstWriteError = NO_ERROR;
    SetLastError(NO_ERROR);
    if (SetupIterateCabinetA(narrowPath.c_str(), 0, PackageFileCallback, &context)) {
        if (context.firstWriteError != NO_ERROR)
            return HRESULT_FROM_WIN32(context.firstWriteError);
        return S_OK;
    }
    DWORD error = GetLastError();
    if (error == NO_ERROR)
        return E_FAIL;
    return HRESULT_FROM_WIN32(error);
}
