#include "component/operations/volume_win9x.h"

#include <cctype>

#include "platform/base/errors.h"
#include "platform/kernel/devio.h"
#include "platform/kernel/files.h"
#include "platform/kernel/vwin32.h"

namespace {

// The lock-status block of the "lock or unlock removable medium" request.
struct LockStatus {
    BYTE operation;  // 1 unlock once, 2 report status
    BYTE pendingLocks;
};

// Issues one request; true when the device answered and the carry flag is clear. The block is
// filled with the answer either way.
bool Issue(HANDLE vwin32, DIOC_REGISTERS& regs, bool* answered = nullptr)
{
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(vwin32, VWIN32_DIOC_DOS_IOCTL, &regs, sizeof regs, &regs, sizeof regs, &returned, nullptr);
    if (answered)
        *answered = ok != FALSE;
    return ok && !(regs.reg_Flags & CARRY_FLAG);
}

bool LockRequest(HANDLE vwin32, BYTE drive, BYTE level, WORD permissions, DWORD category)
{
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x440D;
    regs.reg_EBX = drive + level * 0x100u;
    regs.reg_ECX = category * 0x100u + 0x4A;
    regs.reg_EDX = permissions;
    return Issue(vwin32, regs);
}

bool UnlockRequest(HANDLE vwin32, BYTE drive, DWORD category)
{
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x440D;
    regs.reg_EBX = drive;
    regs.reg_ECX = category * 0x100u + 0x6A;
    return Issue(vwin32, regs);
}

bool MediaLockRequest(HANDLE vwin32, BYTE drive, LockStatus& status, bool& answered)
{
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x440D;
    regs.reg_EBX = drive;
    regs.reg_ECX = 0x0848;
    regs.reg_EDX = yolt::Vwin32BufferToken(&status);
    DWORD token = regs.reg_EDX;
    bool ok = Issue(vwin32, regs, &answered);
    yolt::Vwin32ReleaseToken(token);
    return ok;
}

}  // namespace

BOOL ResetDrive(HANDLE vwin32, BYTE drive)
{
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x710D;
    regs.reg_ECX = 0x0001;
    regs.reg_EDX = drive;
    return Issue(vwin32, regs);
}

BOOL LockVolume(HANDLE vwin32, BYTE drive, BYTE level, WORD permissions)
{
    if (LockRequest(vwin32, drive, level, permissions, 0x48))
        return TRUE;
    return LockRequest(vwin32, drive, level, permissions, 0x08);
}

BOOL UnlockVolume(HANDLE vwin32, BYTE drive)
{
    if (UnlockRequest(vwin32, drive, 0x48))
        return TRUE;
    return UnlockRequest(vwin32, drive, 0x08);
}

BOOL ReleaseMediaLocks(HANDLE vwin32, BYTE drive)
{
    LockStatus status = {2, 0};
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x440D;
    regs.reg_EBX = drive;
    regs.reg_ECX = 0x0848;
    DWORD token = yolt::Vwin32BufferToken(&status);
    regs.reg_EDX = token;
    bool answered = false;
    bool ok = Issue(vwin32, regs, &answered);
    yolt::Vwin32ReleaseToken(token);
    if (!answered)
        return FALSE;
    // "Volume not locked" and "function not supported" both mean there is nothing to release.
    if (!ok && regs.reg_EAX != 0xB0 && regs.reg_EAX != 0x01)
        return FALSE;
    BYTE pending = ok ? status.pendingLocks : 0;
    for (BYTE i = 0; i < pending; ++i) {
        LockStatus unlock = {1, 0};
        bool unlockAnswered = false;
        if (!MediaLockRequest(vwin32, drive, unlock, unlockAnswered))
            return FALSE;
    }
    return TRUE;
}

BOOL EjectMedia(HANDLE vwin32, BYTE drive)
{
    DIOC_REGISTERS regs = {};
    regs.reg_EAX = 0x440D;
    regs.reg_EBX = drive;
    regs.reg_ECX = 0x0849;
    return Issue(vwin32, regs);
}

EjectOutcome EjectDriveWin9x(char letter)
{
    BYTE drive = static_cast<BYTE>(std::toupper(static_cast<unsigned char>(letter)) - 0x40);
    HANDLE vwin32 = CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ResetDrive(vwin32, drive);
    bool ejected = false;
    if (LockVolume(vwin32, drive, 0, 0)) {
        if (ReleaseMediaLocks(vwin32, drive))
            ejected = EjectMedia(vwin32, drive) != FALSE;
        UnlockVolume(vwin32, drive);
    }
    if (vwin32 != INVALID_HANDLE_VALUE)
        CloseHandle(vwin32);
    return ejected ? EjectOutcome::Ejected : EjectOutcome::Refused;
}
