#include "platform/kernel/locale.h"

#include <cstring>
#include <string>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/machine/machine.h"

namespace {
// A thread that called SetThreadLocale keeps its own choice; 0 means the machine's.
thread_local LCID t_threadLocale = 0;
}

extern "C" LCID GetThreadLocale()
{
    return t_threadLocale ? t_threadLocale : yolt::machine::CurrentMachine().Locale().threadLocale;
}

extern "C" BOOL SetThreadLocale(LCID locale)
{
    t_threadLocale = locale;
    return TRUE;
}

extern "C" LCID GetUserDefaultLCID()
{
    return yolt::machine::CurrentMachine().Locale().threadLocale;
}

extern "C" LCID GetSystemDefaultLCID()
{
    return yolt::machine::CurrentMachine().Locale().threadLocale;
}

extern "C" int GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size)
{
    auto settings = yolt::machine::CurrentMachine().Locale();
    std::string text;
    switch (type) {
    case LOCALE_IDEFAULTANSICODEPAGE:
        text = settings.localeAnsiCodePage;
        if (text.empty()) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
        break;
    case LOCALE_IDEFAULTCODEPAGE:
        text = std::to_string(settings.oemCodePage);
        break;
    default:
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (!data || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, text.c_str(), static_cast<size_t>(needed));
    return needed;
}

extern "C" UINT GetACP()
{
    return yolt::machine::CurrentMachine().Locale().ansiCodePage;
}

extern "C" UINT GetOEMCP()
{
    return yolt::machine::CurrentMachine().Locale().oemCodePage;
}
