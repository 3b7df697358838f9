// The compiled type library format of this system, written by tools/typelib and read by
// LoadTypeLib. All integers are little-endian; texts are UTF-8 with a terminating zero in a
// string pool at the end, referred to by their byte offset in the pool (kNoString: none).
//
//   header (kHeaderSize)
//   typeCount      type records      (kTypeSize each)
//   functionCount  function records  (kFunctionSize each)
//   parameterCount parameter records (kParameterSize each)
//   constantCount  constant records  (kConstantSize each)
//   implCount      class member records (kImplSize each)
//   string pool    (stringPoolSize bytes)
//
// The file is exactly that long. A type's members are a contiguous run of the records of its
// kind: functions for interfaces, constants for enumerations, class members for classes.
#pragma once

#include <cstring>
#include <string>

#include "platform/base/guid.h"
#include "platform/base/types.h"

namespace yolt::tlb {

inline constexpr DWORD kMagic = 0x424C5459;  // "YTLB"
inline constexpr WORD kFormatVersion = 1;
inline constexpr DWORD kNoString = 0xFFFFFFFF;
inline constexpr WORD kNoType = 0xFFFF;

// Header.
inline constexpr size_t kHeaderMagic = 0;            // u32 kMagic
inline constexpr size_t kHeaderVersion = 4;          // u16 kFormatVersion
inline constexpr size_t kHeaderLibFlags = 6;         // u16 LIBFLAG_*
inline constexpr size_t kHeaderLibId = 8;            // GUID
inline constexpr size_t kHeaderMajor = 24;           // u16
inline constexpr size_t kHeaderMinor = 26;           // u16
inline constexpr size_t kHeaderLcid = 28;            // u32
inline constexpr size_t kHeaderName = 32;            // string
inline constexpr size_t kHeaderHelpString = 36;      // string
inline constexpr size_t kHeaderTypeCount = 40;       // u32
inline constexpr size_t kHeaderFunctionCount = 44;   // u32
inline constexpr size_t kHeaderParameterCount = 48;  // u32
inline constexpr size_t kHeaderConstantCount = 52;   // u32
inline constexpr size_t kHeaderImplCount = 56;       // u32
inline constexpr size_t kHeaderStringPoolSize = 60;  // u32
inline constexpr size_t kHeaderSize = 64;
static_assert(kHeaderStringPoolSize + 4 == kHeaderSize);

// Type record: an enumeration, an interface or a class.
inline constexpr size_t kTypeKind = 0;          // u16 TYPEKIND (ENUM, INTERFACE, DISPATCH, COCLASS)
inline constexpr size_t kTypeFlags = 2;         // u16 TYPEFLAG_*
inline constexpr size_t kTypeGuid = 4;          // GUID
inline constexpr size_t kTypeName = 20;         // string
inline constexpr size_t kTypeHelpString = 24;   // string
inline constexpr size_t kTypeMajor = 28;        // u16
inline constexpr size_t kTypeMinor = 30;        // u16
inline constexpr size_t kTypeFirstMember = 32;  // u32 index of the first member record
inline constexpr size_t kTypeMemberCount = 36;  // u32
inline constexpr size_t kTypeBaseSlots = 40;    // u16 table slots inherited (7 below IDispatch)
inline constexpr size_t kTypeReserved = 42;     // u16 0, u32 0
inline constexpr size_t kTypeSize = 48;
static_assert(kTypeReserved + 6 == kTypeSize);

// Function record: one method or property accessor of an interface.
inline constexpr size_t kFunctionMemberId = 0;        // i32 dispatch identifier
inline constexpr size_t kFunctionName = 4;            // string
inline constexpr size_t kFunctionHelpString = 8;      // string
inline constexpr size_t kFunctionInvokeKind = 12;     // u16 INVOKE_*
inline constexpr size_t kFunctionSlot = 14;           // u16 table slot
inline constexpr size_t kFunctionFirstParameter = 16; // u32
inline constexpr size_t kFunctionParameterCount = 20; // u16
inline constexpr size_t kFunctionFlags = 22;          // u16 FUNCFLAG_*
inline constexpr size_t kFunctionSize = 24;
static_assert(kFunctionFlags + 2 == kFunctionSize);

// Parameter record. The type is `vt` with `indirections` pointer levels; VT_USERDEFINED names
// the type record `refType` (an enumeration, or an interface counted with its own pointer).
inline constexpr size_t kParameterName = 0;         // string
inline constexpr size_t kParameterFlags = 4;        // u16 PARAMFLAG_*
inline constexpr size_t kParameterVt = 6;           // u16 VARTYPE
inline constexpr size_t kParameterIndirections = 8; // u16
inline constexpr size_t kParameterRefType = 10;     // u16 type index or kNoType
inline constexpr size_t kParameterReserved = 12;    // u32 0
inline constexpr size_t kParameterSize = 16;
static_assert(kParameterReserved + 4 == kParameterSize);

// Constant record: one enumerator.
inline constexpr size_t kConstantName = 0;        // string
inline constexpr size_t kConstantValue = 4;       // i32
inline constexpr size_t kConstantHelpString = 8;  // string
inline constexpr size_t kConstantSize = 12;
static_assert(kConstantHelpString + 4 == kConstantSize);

// Class member record: an interface a class implements.
inline constexpr size_t kImplType = 0;   // u16 type index
inline constexpr size_t kImplFlags = 2;  // u16 IMPLTYPEFLAG_*
inline constexpr size_t kImplSize = 4;
static_assert(kImplFlags + 2 == kImplSize);

inline WORD GetU16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD GetU32(const BYTE* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
        (static_cast<DWORD>(p[3]) << 24);
}
/// A GUID in its stored form: Data1, Data2 and Data3 little-endian, then Data4's eight bytes.
inline GUID GetGuid(const BYTE* p)
{
    GUID g;
    g.Data1 = GetU32(p);
    g.Data2 = GetU16(p + 4);
    g.Data3 = GetU16(p + 6);
    std::memcpy(g.Data4, p + 8, 8);
    return g;
}

inline void PutU16(BYTE* p, WORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
inline void PutU32(BYTE* p, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}
inline void PutGuid(BYTE* p, const GUID& g)
{
    PutU32(p, g.Data1);
    PutU16(p + 4, g.Data2);
    PutU16(p + 6, g.Data3);
    std::memcpy(p + 8, g.Data4, 8);
}

}  // namespace yolt::tlb
