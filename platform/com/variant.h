// VARIANT: the tagged value that late-bound calls pass arguments and results in, and the
// calls that initialise, free, copy and convert it.
#pragma once

#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/com/unknown.h"

typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
typedef LONG SCODE;
typedef float FLOAT;
typedef double DOUBLE;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_SAFEARRAY = 27,
    VT_CARRAY = 28,
    VT_USERDEFINED = 29,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_RESERVED = 0x8000,
    VT_TYPEMASK = 0x0FFF,
};

struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        ULONGLONG ullVal;
        INT intVal;
        UINT uintVal;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        LONGLONG* pllVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        VARIANT* pvarVal;
        CHAR* pcVal;
        USHORT* puiVal;
        ULONG* pulVal;
        ULONGLONG* pullVal;
        INT* pintVal;
        UINT* puintVal;
        void* byref;
        // Keeps the size of a record reference (two pointers), as the layout has it.
        struct {
            void* pvRecord;
            void* pRecInfo;
        } brecord;
    };
};
static_assert(sizeof(VARIANT) == 24 && offsetof(VARIANT, lVal) == 8);
typedef VARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANT* LPVARIANTARG;

#define V_VT(v) ((v)->vt)
#define V_ISBYREF(v) (((v)->vt & VT_BYREF) != 0)
#define V_I2(v) ((v)->iVal)
#define V_I4(v) ((v)->lVal)
#define V_UI4(v) ((v)->ulVal)
#define V_INT(v) ((v)->intVal)
#define V_UINT(v) ((v)->uintVal)
#define V_R8(v) ((v)->dblVal)
#define V_BOOL(v) ((v)->boolVal)
#define V_ERROR(v) ((v)->scode)
#define V_BSTR(v) ((v)->bstrVal)
#define V_UNKNOWN(v) ((v)->punkVal)
#define V_DISPATCH(v) ((v)->pdispVal)
#define V_BYREF(v) ((v)->byref)
#define V_VARIANTREF(v) ((v)->pvarVal)

// Flags of VariantChangeType(Ex).
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VARIANT_NOUSEROVERRIDE 0x04
#define VARIANT_LOCALBOOL 0x10

extern "C" {
/// Sets the type to VT_EMPTY; the old content is not freed.
void VariantInit(VARIANTARG* value);
/// Frees what the variant owns (string, interface reference) and leaves it VT_EMPTY. A
/// reference (VT_BYREF) owns nothing. DISP_E_BADVARTYPE for a type this system does not know.
HRESULT VariantClear(VARIANTARG* value);
/// Clears `dest` and makes it a copy of `source`: strings are duplicated, interfaces gain a
/// reference, references (VT_BYREF) are copied as references.
HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* source);
/// As VariantCopy, but a reference is followed and the value it points at is copied.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* source);
/// Converts `source` (followed if it is a reference) to type `vt` into `dest`; `dest` may be
/// `source`. DISP_E_TYPEMISMATCH when the value cannot be expressed in the type (text that is
/// no number, an interface without IDispatch), DISP_E_OVERFLOW when it is out of range,
/// DISP_E_BADVARTYPE for a type this system does not convert. On failure `dest` is unchanged.
HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* source, USHORT flags, VARTYPE vt);
/// As VariantChangeType; numbers and texts use the invariant forms for every locale.
HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* source, LCID lcid, USHORT flags, VARTYPE vt);
}
