// The 95 family's VWIN32 device: DOS requests issued through DeviceIoControl on "\\.\vwin32".
//
// The device opens only on a 95-family machine whose volume controller is available (else
// ERROR_FILE_NOT_FOUND) and answers VWIN32_DIOC_DOS_IOCTL with a DIOC_REGISTERS block (28 bytes
// in and out) as the machine's VolumeControllerBehaviour says. It serves these DOS requests:
//   EAX 0x710D, ECX 0..2, EDX drive:     reset drive
//   EAX 0x440D, EBX drive (+ level<<8),  ECX 0x084A / 0x484A lock volume, 0x086A / 0x486A unlock
//               volume, 0x0848 lock or unlock removable medium (EDX the token of the 2-byte
//               lock-status block: operation 0 lock, 1 unlock, 2 report status; count), 0x0849
//               eject removable medium
// Drives are numbered from 1 for A:. A refused request sets the carry flag with the DOS error in
// EAX: 0x01 function not supported, 0x05 access denied (volume in use, release refused), 0x0F
// invalid drive, 0xB2 volume not removable (no USB device provides it), 0xB5 eject failed; the
// status report fails with the behaviour's statusFailure. A successful eject detaches the USB
// device that provides the drive. The device keeps no lock state of its own: every answer comes
// from the machine's behaviour as it stands, so the same requests always get the same answers;
// the lock-status block's count is written by the status report only.
#pragma once

#include <vector>

#include "platform/base/types.h"

/// Registers of one DOS request; the same block is input and output. Bit 0 of reg_Flags after
/// the call is the carry flag: set when the request failed, with the error in reg_EAX.
struct DIOC_REGISTERS {
    DWORD reg_EBX;
    DWORD reg_EDX;
    DWORD reg_ECX;
    DWORD reg_EAX;
    DWORD reg_EDI;
    DWORD reg_ESI;
    DWORD reg_Flags;
};
static_assert(sizeof(DIOC_REGISTERS) == 28);

#define CARRY_FLAG 0x0001

namespace yolt {
/// A 32-bit register cannot hold a 64-bit address: a buffer handed to a request is registered
/// and the register carries its token. The device resolves the token back to the buffer.
DWORD Vwin32BufferToken(void* buffer);
void* Vwin32BufferFromToken(DWORD token);
void Vwin32ReleaseToken(DWORD token);

/// One request the device answered, in arrival order: the registers as given and as returned,
/// and for the medium-lock request the lock-status block before and after.
struct Vwin32Request {
    DIOC_REGISTERS given;
    DIOC_REGISTERS answered;
    bool hasBlock = false;
    BYTE blockGiven[2] = {};
    BYTE blockAnswered[2] = {};
};

/// The requests answered since the process started or the last ClearVwin32Requests (for tests).
std::vector<Vwin32Request> Vwin32Requests();
void ClearVwin32Requests();
}  // namespace yolt
