// Type information: ITypeLib (a library of types), ITypeInfo (one enumeration, interface or
// class), IProvideClassInfo, and the calls that load type libraries and record them in the
// registry. ITypeInfo::Invoke performs a late-bound call on an object's interface from its
// description, converting the arguments to the parameters' types.
#pragma once

#include "platform/com/dispatch.h"

#ifndef TYPE_E_INVDATAREAD
#define TYPE_E_INVDATAREAD ((HRESULT)0x80028018)
#endif
#ifndef TYPE_E_UNSUPFORMAT
#define TYPE_E_UNSUPFORMAT ((HRESULT)0x80028019)
#endif
#ifndef TYPE_E_BADMODULEKIND
#define TYPE_E_BADMODULEKIND ((HRESULT)0x800288BD)
#endif

inline constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_ITypeLib = {0x00020402, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IProvideClassInfo = {0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
/// The class that marshals automation interfaces; registered as their proxy and stub.
inline constexpr CLSID CLSID_PSOAInterface = {0x00020424, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

typedef DWORD HREFTYPE;

enum TYPEKIND {
    TKIND_ENUM = 0,
    TKIND_RECORD = 1,
    TKIND_MODULE = 2,
    TKIND_INTERFACE = 3,
    TKIND_DISPATCH = 4,
    TKIND_COCLASS = 5,
    TKIND_ALIAS = 6,
    TKIND_UNION = 7,
    TKIND_MAX = 8,
};

enum TYPEFLAGS {
    TYPEFLAG_FAPPOBJECT = 0x1,
    TYPEFLAG_FCANCREATE = 0x2,
    TYPEFLAG_FLICENSED = 0x4,
    TYPEFLAG_FPREDECLID = 0x8,
    TYPEFLAG_FHIDDEN = 0x10,
    TYPEFLAG_FCONTROL = 0x20,
    TYPEFLAG_FDUAL = 0x40,
    TYPEFLAG_FNONEXTENSIBLE = 0x80,
    TYPEFLAG_FOLEAUTOMATION = 0x100,
    TYPEFLAG_FRESTRICTED = 0x200,
    TYPEFLAG_FAGGREGATABLE = 0x400,
    TYPEFLAG_FREPLACEABLE = 0x800,
    TYPEFLAG_FDISPATCHABLE = 0x1000,
};

enum FUNCKIND { FUNC_VIRTUAL = 0, FUNC_PUREVIRTUAL = 1, FUNC_NONVIRTUAL = 2, FUNC_STATIC = 3, FUNC_DISPATCH = 4 };
enum INVOKEKIND { INVOKE_FUNC = 1, INVOKE_PROPERTYGET = 2, INVOKE_PROPERTYPUT = 4, INVOKE_PROPERTYPUTREF = 8 };
enum CALLCONV { CC_FASTCALL = 0, CC_CDECL = 1, CC_MSCPASCAL = 2, CC_PASCAL = 2, CC_MACPASCAL = 3, CC_STDCALL = 4 };
enum VARKIND { VAR_PERINSTANCE = 0, VAR_STATIC = 1, VAR_CONST = 2, VAR_DISPATCH = 3 };
enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };

#define PARAMFLAG_NONE 0x00
#define PARAMFLAG_FIN 0x01
#define PARAMFLAG_FOUT 0x02
#define PARAMFLAG_FLCID 0x04
#define PARAMFLAG_FRETVAL 0x08
#define PARAMFLAG_FOPT 0x10
#define PARAMFLAG_FHASDEFAULT 0x20

#define IMPLTYPEFLAG_FDEFAULT 0x1
#define IMPLTYPEFLAG_FSOURCE 0x2
#define IMPLTYPEFLAG_FRESTRICTED 0x4

#define LIBFLAG_FRESTRICTED 0x1
#define LIBFLAG_FCONTROL 0x2
#define LIBFLAG_FHIDDEN 0x4

/// A type: a base type (vt), a pointer to the type in `lptdesc` (VT_PTR) or a type of the
/// library named by `hreftype` (VT_USERDEFINED).
struct TYPEDESC {
    union {
        TYPEDESC* lptdesc;
        void* lpadesc;
        HREFTYPE hreftype;
    };
    VARTYPE vt;
};

struct IDLDESC {
    ULONG_PTR dwReserved;
    USHORT wIDLFlags;
};

struct PARAMDESC {
    void* pparamdescex;
    USHORT wParamFlags;
};

struct ELEMDESC {
    TYPEDESC tdesc;
    union {
        IDLDESC idldesc;
        PARAMDESC paramdesc;
    };
};

struct FUNCDESC {
    MEMBERID memid;
    SCODE* lprgscode;
    ELEMDESC* lprgelemdescParam;
    FUNCKIND funckind;
    INVOKEKIND invkind;
    CALLCONV callconv;
    SHORT cParams;
    SHORT cParamsOpt;
    SHORT oVft;  // byte offset of the function's slot in the interface's table
    SHORT cScodes;
    ELEMDESC elemdescFunc;
    WORD wFuncFlags;
};

struct VARDESC {
    MEMBERID memid;
    LPOLESTR lpstrSchema;
    union {
        ULONG oInst;
        VARIANT* lpvarValue;
    };
    ELEMDESC elemdescVar;
    WORD wVarFlags;
    VARKIND varkind;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid;
    DWORD dwReserved;
    MEMBERID memidConstructor;
    MEMBERID memidDestructor;
    LPOLESTR lpstrSchema;
    ULONG cbSizeInstance;
    TYPEKIND typekind;
    WORD cFuncs;
    WORD cVars;
    WORD cImplTypes;
    WORD cbSizeVft;
    WORD cbAlignment;
    WORD wTypeFlags;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    TYPEDESC tdescAlias;
    IDLDESC idldescType;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};

struct ITypeLib;

struct ITypeInfo : IUnknown {
    /// The type's attributes; freed with ReleaseTypeAttr.
    STDMETHOD(GetTypeAttr)(TYPEATTR** attr) = 0;
    /// Not offered (E_NOTIMPL).
    STDMETHOD(GetTypeComp)(void** comp) = 0;
    /// The description of function `index` (table order); freed with ReleaseFuncDesc.
    STDMETHOD(GetFuncDesc)(UINT index, FUNCDESC** desc) = 0;
    /// The description of enumerator `index` with its value; freed with ReleaseVarDesc.
    STDMETHOD(GetVarDesc)(UINT index, VARDESC** desc) = 0;
    /// The member's name followed by its parameters' names, at most `max` of them.
    STDMETHOD(GetNames)(MEMBERID member, BSTR* names, UINT max, UINT* count) = 0;
    /// The type implemented at `index` (classes); TYPE_E_ELEMENTNOTFOUND past the last.
    STDMETHOD(GetRefTypeOfImplType)(UINT index, HREFTYPE* ref) = 0;
    STDMETHOD(GetImplTypeFlags)(UINT index, INT* flags) = 0;
    /// names[0] is a member (without regard to case), the further names its parameters, whose
    /// positions are returned; DISP_E_UNKNOWNNAME when one is not known (DISPID_UNKNOWN in place).
    STDMETHOD(GetIDsOfNames)(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
    /// Calls `member` on `instance` (a pointer to this interface) through its table slot.
    STDMETHOD(Invoke)(void* instance, MEMBERID member, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argError) = 0;
    /// Name, help string, help context and help file of a member, or of the type for MEMBERID_NIL.
    /// Each output may be null; the strings belong to the caller.
    STDMETHOD(GetDocumentation)(MEMBERID member, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile) = 0;
    STDMETHOD(GetDllEntry)(MEMBERID member, INVOKEKIND kind, BSTR* dll, BSTR* name, WORD* ordinal) = 0;
    /// The type named by a reference of this library.
    STDMETHOD(GetRefTypeInfo)(HREFTYPE ref, ITypeInfo** info) = 0;
    STDMETHOD(AddressOfMember)(MEMBERID member, INVOKEKIND kind, void** address) = 0;
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** object) = 0;
    STDMETHOD(GetMops)(MEMBERID member, BSTR* mops) = 0;
    STDMETHOD(GetContainingTypeLib)(ITypeLib** lib, UINT* index) = 0;
    STDMETHOD_(void, ReleaseTypeAttr)(TYPEATTR* attr) = 0;
    STDMETHOD_(void, ReleaseFuncDesc)(FUNCDESC* desc) = 0;
    STDMETHOD_(void, ReleaseVarDesc)(VARDESC* desc) = 0;

protected:
    ~ITypeInfo() = default;
};

struct ITypeLib : IUnknown {
    STDMETHOD_(UINT, GetTypeInfoCount)() = 0;
    STDMETHOD(GetTypeInfo)(UINT index, ITypeInfo** info) = 0;
    STDMETHOD(GetTypeInfoType)(UINT index, TYPEKIND* kind) = 0;
    /// The type with this identifier; TYPE_E_ELEMENTNOTFOUND when the library has none.
    STDMETHOD(GetTypeInfoOfGuid)(REFGUID guid, ITypeInfo** info) = 0;
    /// The library's attributes; freed with ReleaseTLibAttr.
    STDMETHOD(GetLibAttr)(TLIBATTR** attr) = 0;
    STDMETHOD(GetTypeComp)(void** comp) = 0;
    /// Documentation of type `index`, or of the library itself for -1.
    STDMETHOD(GetDocumentation)(INT index, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile) = 0;
    STDMETHOD(IsName)(LPOLESTR name, ULONG hash, BOOL* found) = 0;
    STDMETHOD(FindName)(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids, USHORT* found) = 0;
    STDMETHOD_(void, ReleaseTLibAttr)(TLIBATTR* attr) = 0;

protected:
    ~ITypeLib() = default;
};
typedef ITypeLib* LPTYPELIB;
typedef ITypeInfo* LPTYPEINFO;

struct IProvideClassInfo : IUnknown {
    /// The type information of the object's class; the caller releases it.
    STDMETHOD(GetClassInfo)(ITypeInfo** info) = 0;

protected:
    ~IProvideClassInfo() = default;
};

extern "C" {
/// Loads a type library from a compiled library file, or from resource 1 of type "TYPELIB"
/// of a module file. A path ending in "\N" names resource N. TYPE_E_CANTLOADLIBRARY when the
/// file cannot be read, TYPE_E_UNSUPFORMAT or TYPE_E_INVDATAREAD when it holds no valid library.
HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** lib);
/// Loads the library registered under HKCR\TypeLib for this identifier, version and locale
/// (falling back to the neutral locale 0); TYPE_E_LIBNOTREGISTERED when there is none.
HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, ITypeLib** lib);
/// Writes HKCR\TypeLib\{libid}\major.minor (name, FLAGS, HELPDIR, lcid\win32 = path) and
/// HKCR\Interface\{iid} for each automation interface; TYPE_E_REGISTRYACCESS on failure.
HRESULT RegisterTypeLib(ITypeLib* lib, LPCOLESTR fullPath, LPCOLESTR helpDir);
/// Removes what RegisterTypeLib wrote for this version and locale; the library's key goes
/// when no version is left. TYPE_E_REGISTRYACCESS when the library is not registered.
HRESULT UnRegisterTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind);
}

namespace yolt {
/// Makes a type library of compiled library bytes (copied); errors as LoadTypeLib.
HRESULT LoadTypeLibFromMemory(const BYTE* data, size_t size, ITypeLib** lib);
}  // namespace yolt
