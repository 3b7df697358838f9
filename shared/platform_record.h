// The platform record (which family of system runs) and the code page of every conversion
// between UTF-16 and narrow text. Each deliverable links its own copy: the symbols are hidden,
// so the program and the component never share the record or the rule.
#pragma once

#include "platform/base/types.h"

struct OsVersionRecord {
    DWORD majorVersion = 4;
    DWORD minorVersion = 0;
    DWORD platformId = 1;  // 1 = 95 family, 2 = NT family
};

/// This deliverable's record: 4, 0, 1 until filled, and whenever filling failed.
extern OsVersionRecord g_osVersionRecord;

/// Fills `record` from the running system when the system is one this program knows (95, 98,
/// Me, NT 4.0 and earlier, 2000, XP, Server 2003): S_OK; otherwise E_FAIL and the record is
/// left as it was.
HRESULT FillOsVersionRecord(OsVersionRecord& record);

/// Whether the record names an NT-family system; every family test of the program asks this.
inline bool IsNtFamily(const OsVersionRecord& record = g_osVersionRecord)
{
    return record.platformId == 2;
}

/// The code page for the next conversion: CP_THREAD_ACP on NT systems of major version above 4,
/// else the thread locale's default ANSI code page (or the system's when that reads 0 or fails).
/// The rule is chosen at the first use and kept for the life of the deliverable.
UINT ConversionCodePage();

/// Forgets the chosen rule, so the next ConversionCodePage chooses again (tests only).
void ResetConversionCodePageRule();
