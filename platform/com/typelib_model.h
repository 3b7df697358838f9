// The content of a loaded type library, as the type library and type information objects
// serve it. Private to the automation library.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/typeinfo.h"

namespace yolt::typelib {

inline constexpr int kNoRef = -1;

struct Param {
    std::u16string name;
    USHORT flags = 0;       // PARAMFLAG_*
    VARTYPE vt = VT_EMPTY;  // VT_USERDEFINED: see refType
    USHORT indirections = 0;
    int refType = kNoRef;   // index of the referenced type
};

struct Function {
    MEMBERID memid = 0;
    std::u16string name;
    std::u16string help;
    INVOKEKIND invkind = INVOKE_FUNC;
    USHORT slot = 0;
    WORD flags = 0;
    std::vector<Param> params;
};

struct Constant {
    std::u16string name;
    std::u16string help;
    LONG value = 0;
};

struct Impl {
    int type = 0;
    INT flags = 0;
};

struct Type {
    TYPEKIND kind = TKIND_ENUM;
    WORD flags = 0;
    GUID guid = GUID_NULL;
    std::u16string name;
    std::u16string help;
    WORD major = 0;
    WORD minor = 0;
    USHORT baseSlots = 0;
    std::vector<Function> functions;  // interfaces
    std::vector<Constant> constants;  // enumerations
    std::vector<Impl> impls;          // classes
};

struct Library {
    GUID libid = GUID_NULL;
    WORD major = 0;
    WORD minor = 0;
    WORD flags = 0;
    LCID lcid = 0;
    std::u16string name;
    std::u16string help;
    std::vector<Type> types;
};

/// Reads compiled library bytes. TYPE_E_UNSUPFORMAT for another format or version,
/// TYPE_E_INVDATAREAD for a record, count, string or reference that lies outside the data.
HRESULT ParseLibrary(const BYTE* data, size_t size, Library& library);

/// Makes the type library object for parsed content (one reference for the caller).
ITypeLib* CreateTypeLib(std::shared_ptr<const Library> library);

}  // namespace yolt::typelib
