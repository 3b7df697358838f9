#include "shared/platform_record.h"

#include "platform/base/errors.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/version.h"

OsVersionRecord g_osVersionRecord;

namespace {

enum ConversionRule : LONG { kRuleUnchosen = 0, kRuleThread = 1, kRuleLocale = 2 };
LONG volatile s_conversionRule = kRuleUnchosen;

bool IsRecognised(const OSVERSIONINFOA& info)
{
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return info.dwMajorVersion == 4 &&
            (info.dwMinorVersion == 0 || info.dwMinorVersion == 10 || info.dwMinorVersion == 90);
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (info.dwMajorVersion <= 4)
            return true;
        return info.dwMajorVersion == 5 && info.dwMinorVersion <= 2;
    }
    return false;
}

BOOL QueryVersion(OSVERSIONINFOA& info, DWORD size)
{
    info = {};
    info.dwOSVersionInfoSize = size;
    return GetVersionExA(&info);
}

ConversionRule ChooseRule()
{
    OSVERSIONINFOA info;
    if (QueryVersion(info, sizeof(OSVERSIONINFOA)) && info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
        info.dwMajorVersion > 4)
        return kRuleThread;
    return kRuleLocale;
}

UINT LocaleRuleCodePage()
{
    char text[7] = {};
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) == 0)
        return GetACP();
    UINT number = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        number = number * 10 + static_cast<UINT>(*p - '0');
    return number ? number : GetACP();
}

}  // namespace

HRESULT FillOsVersionRecord(OsVersionRecord& record)
{
    OSVERSIONINFOEXA extended;
    auto& info = reinterpret_cast<OSVERSIONINFOA&>(extended);
    extended = {};
    extended.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!GetVersionExA(&info) && !QueryVersion(info, sizeof(OSVERSIONINFOA)))
        return E_FAIL;
    if (!IsRecognised(info))
        return E_FAIL;
    OSVERSIONINFOA plain;
    if (!QueryVersion(plain, sizeof(OSVERSIONINFOA)))
        return E_FAIL;
    record.majorVersion = plain.dwMajorVersion;
    record.minorVersion = plain.dwMinorVersion;
    record.platformId = plain.dwPlatformId;
    return S_OK;
}

UINT ConversionCodePage()
{
    LONG rule = s_conversionRule;
    if (rule == kRuleUnchosen) {
        rule = ChooseRule();
        InterlockedExchange(&s_conversionRule, rule);
    }
    if (rule == kRuleThread)
        return CP_THREAD_ACP;
    return LocaleRuleCodePage();
}

void ResetConversionCodePageRule()
{
    InterlockedExchange(&s_conversionRule, kRuleUnchosen);
}
