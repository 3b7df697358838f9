// IDispatch and the structures of a late-bound call: dispatch identifiers, DISPPARAMS with
// its arguments in reverse order, EXCEPINFO for failures the called member reports.
#pragma once

#include "platform/com/unknown.h"
#include "platform/com/variant.h"

typedef LONG DISPID;
typedef DISPID MEMBERID;

#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define MEMBERID_NIL DISPID_UNKNOWN

// The kinds of access a call asks for; a caller may combine METHOD and PROPERTYGET.
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

/// The arguments of a call. `rgvarg` holds them last to first; the first `cNamedArgs` entries
/// are the named ones, whose identifiers stand in `rgdispidNamedArgs`.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

/// What a member that failed reports to a late-bound caller; the texts belong to the caller.
struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};
typedef EXCEPINFO* LPEXCEPINFO;

struct ITypeInfo;

inline constexpr IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct IDispatch : IUnknown {
    /// 1 when the object offers type information, else 0; E_POINTER for a null pointer.
    STDMETHOD(GetTypeInfoCount)(UINT* count) = 0;
    STDMETHOD(GetTypeInfo)(UINT index, LCID lcid, ITypeInfo** info) = 0;
    /// The member's identifier for names[0] and parameter positions for the further names;
    /// DISP_E_UNKNOWNNAME (and DISPID_UNKNOWN in place) for a name that is not known.
    STDMETHOD(GetIDsOfNames)(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) = 0;
    STDMETHOD(Invoke)(DISPID member, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argError) = 0;

protected:
    ~IDispatch() = default;
};
typedef IDispatch* LPDISPATCH;
