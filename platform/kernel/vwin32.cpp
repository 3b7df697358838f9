// The simulated 95-family volume controller behind "\\.\vwin32". Buffer tokens are kept in
// vwin32_tokens.cpp.
#include "platform/kernel/vwin32.h"

#include <cstring>
#include <mutex>
#include <optional>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/devio.h"
#include "platform/machine/machine.h"

namespace yolt {

namespace {

// DOS error codes a refused request leaves in EAX.
constexpr DWORD kDosInvalidFunction = 0x01;
constexpr DWORD kDosAccessDenied = 0x05;
constexpr DWORD kDosInvalidDrive = 0x0F;
constexpr DWORD kDosNotRemovable = 0xB2;
constexpr DWORD kDosEjectFailed = 0xB5;

// Lock categories: 0x48 (FAT32-aware systems) and 0x08 (the original one).
constexpr BYTE kCategoryFat32 = 0x48;
constexpr BYTE kCategoryDisk = 0x08;

// Minor codes of the 0x440D generic block-device request.
constexpr BYTE kLockVolume = 0x4A;
constexpr BYTE kUnlockVolume = 0x6A;
constexpr BYTE kMediumLock = 0x48;
constexpr BYTE kEjectMedium = 0x49;

// Operations of the lock-status block.
constexpr BYTE kLockMedium = 0;
constexpr BYTE kUnlockMedium = 1;
constexpr BYTE kReportStatus = 2;

struct RequestLog {
    std::mutex lock;
    std::vector<Vwin32Request> requests;
};

RequestLog& Log()
{
    static RequestLog* log = new RequestLog;
    return *log;
}

void Refuse(DIOC_REGISTERS& regs, DWORD dosError)
{
    regs.reg_EAX = dosError;
    regs.reg_Flags |= CARRY_FLAG;
}

void Succeed(DIOC_REGISTERS& regs) { regs.reg_Flags &= ~static_cast<DWORD>(CARRY_FLAG); }

// The letter of a DOS drive number that names a drive of the machine, or nothing.
std::optional<char> DriveOf(machine::Machine& m, DWORD number)
{
    if (number < 1 || number > 26)
        return std::nullopt;
    char letter = static_cast<char>('A' + number - 1);
    if (!m.FindDrive(letter))
        return std::nullopt;
    return letter;
}

std::optional<machine::UsbDevice> DeviceProviding(machine::Machine& m, char letter)
{
    for (const auto& device : m.UsbDevices()) {
        if (device.drive == letter)
            return device;
    }
    return std::nullopt;
}

void ResetDrive(machine::Machine& m, const machine::VolumeControllerBehaviour& behaviour, DIOC_REGISTERS& regs)
{
    if ((regs.reg_ECX & 0xFFFF) > 2)
        return Refuse(regs, kDosInvalidFunction);
    if (!DriveOf(m, regs.reg_EDX & 0xFF))
        return Refuse(regs, kDosInvalidDrive);
    if (behaviour.resetRefused)
        return Refuse(regs, kDosAccessDenied);
    Succeed(regs);
}

void LockVolume(machine::Machine& m, const machine::VolumeControllerBehaviour& behaviour, char letter,
    DIOC_REGISTERS& regs)
{
    auto device = DeviceProviding(m, letter);
    if (behaviour.lockRefused || (device && device->inUse))
        return Refuse(regs, kDosAccessDenied);
    Succeed(regs);
}

// The medium-lock request; false when the block's token names no buffer.
bool MediumLock(const machine::VolumeControllerBehaviour& behaviour, BYTE* block, DIOC_REGISTERS& regs)
{
    if (!block)
        return false;
    switch (block[0]) {
    case kReportStatus:
        if (behaviour.statusFailure) {
            Refuse(regs, behaviour.statusFailure);
            return true;
        }
        block[1] = behaviour.pendingLocks;
        Succeed(regs);
        return true;
    case kUnlockMedium:
        if (behaviour.releaseRefused)
            Refuse(regs, kDosAccessDenied);
        else
            Succeed(regs);
        return true;
    case kLockMedium:
        Succeed(regs);
        return true;
    default:
        Refuse(regs, kDosInvalidFunction);
        return true;
    }
}

void EjectMedium(machine::Machine& m, const machine::VolumeControllerBehaviour& behaviour, char letter,
    DIOC_REGISTERS& regs)
{
    auto device = DeviceProviding(m, letter);
    if (!device)
        return Refuse(regs, kDosNotRemovable);
    if (behaviour.ejectRefused || !m.DetachUsbDevice(device->deviceId))
        return Refuse(regs, kDosEjectFailed);
    Succeed(regs);
}

// Answers the 0x440D request; false when the lock-status block cannot be reached.
bool GenericBlockRequest(machine::Machine& m, const machine::VolumeControllerBehaviour& behaviour,
    DIOC_REGISTERS& regs, BYTE* block)
{
    auto letter = DriveOf(m, regs.reg_EBX & 0xFF);
    if (!letter) {
        Refuse(regs, kDosInvalidDrive);
        return true;
    }
    BYTE category = static_cast<BYTE>((regs.reg_ECX >> 8) & 0xFF);
    BYTE minor = static_cast<BYTE>(regs.reg_ECX & 0xFF);
    if (category == kCategoryFat32 && behaviour.category48Unsupported) {
        Refuse(regs, kDosInvalidFunction);
        return true;
    }
    bool lockCategory = category == kCategoryFat32 || category == kCategoryDisk;
    if (lockCategory && minor == kLockVolume)
        LockVolume(m, behaviour, *letter, regs);
    else if (lockCategory && minor == kUnlockVolume)
        Succeed(regs);
    else if (category == kCategoryDisk && minor == kMediumLock)
        return MediumLock(behaviour, block, regs);
    else if (category == kCategoryDisk && minor == kEjectMedium)
        EjectMedium(m, behaviour, *letter, regs);
    else
        Refuse(regs, kDosInvalidFunction);
    return true;
}

bool IsVwin32(const std::string& name) { return name == "VWIN32"; }

bool CanOpenVwin32(const std::string&)
{
    machine::Machine& m = machine::CurrentMachine();
    if (m.Version().platformId != 1 || !m.VolumeController().available) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    return true;
}

BOOL AnswerVwin32(const std::string&, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned)
{
    if (code != VWIN32_DIOC_DOS_IOCTL) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    if (!in || !out || inSize < sizeof(DIOC_REGISTERS) || outSize < sizeof(DIOC_REGISTERS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Vwin32Request request;
    std::memcpy(&request.given, in, sizeof request.given);
    DIOC_REGISTERS regs = request.given;

    machine::Machine& m = machine::CurrentMachine();
    machine::VolumeControllerBehaviour behaviour = m.VolumeController();
    bool mediumLock = (regs.reg_EAX & 0xFFFF) == 0x440D && (regs.reg_ECX & 0xFFFF) == 0x0848;
    BYTE* block = mediumLock ? static_cast<BYTE*>(Vwin32BufferFromToken(regs.reg_EDX)) : nullptr;
    if (block) {
        request.hasBlock = true;
        std::memcpy(request.blockGiven, block, 2);
    }

    bool reached = true;
    switch (regs.reg_EAX & 0xFFFF) {
    case 0x710D:
        ResetDrive(m, behaviour, regs);
        break;
    case 0x440D:
        reached = GenericBlockRequest(m, behaviour, regs, block);
        break;
    default:
        Refuse(regs, kDosInvalidFunction);
        break;
    }
    if (block)
        std::memcpy(request.blockAnswered, block, 2);
    request.answered = reached ? regs : request.given;
    {
        std::lock_guard guard(Log().lock);
        Log().requests.push_back(request);
    }
    if (!reached) {
        // The block's address is not one the caller registered: the system cannot read it.
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::memcpy(out, &regs, sizeof regs);
    *returned = sizeof regs;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

// Registers the device when the kernel library is loaded.
struct Registration {
    Registration() { RegisterDevice(IsVwin32, CanOpenVwin32, AnswerVwin32); }
} g_registration;

}  // namespace

std::vector<Vwin32Request> Vwin32Requests()
{
    std::lock_guard guard(Log().lock);
    return Log().requests;
}

void ClearVwin32Requests()
{
    std::lock_guard guard(Log().lock);
    Log().requests.clear();
}

}  // namespace yolt
