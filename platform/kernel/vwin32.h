// The 95 family's VWIN32 device: DOS requests issued through DeviceIoControl on "\\.\vwin32".
#pragma once

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
}  // namespace yolt
