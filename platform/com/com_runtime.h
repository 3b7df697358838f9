// The COM runtime: apartments, task memory, class identifiers and ProgIDs, and object creation
// from in-process servers registered under HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32.
#pragma once

#include "platform/base/errors.h"
#include "platform/base/guid.h"
#include "platform/base/types.h"
#include "platform/com/unknown.h"

// Class contexts.
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

// Apartment kinds for CoInitializeEx.
#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

#define CO_E_IIDSTRING ((HRESULT)0x800401F4)

typedef DWORD CLSCTX;
typedef struct IBindCtx* LPBINDCTX;
struct COSERVERINFO;

inline constexpr IID IID_IRunnableObject = {0x00000126, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

/// An object that must be put into its running state before use (OleRun asks for it).
struct IRunnableObject : IUnknown {
    STDMETHOD(GetRunningClass)(LPCLSID clsid) = 0;
    STDMETHOD(Run)(LPBINDCTX bindContext) = 0;
    STDMETHOD_(BOOL, IsRunning)() = 0;
    STDMETHOD(LockRunning)(BOOL lock, BOOL lastUnlockCloses) = 0;
    STDMETHOD(SetContainedObject)(BOOL contained) = 0;

protected:
    ~IRunnableObject() = default;
};

// The functions an in-process server exports.
typedef HRESULT (*LPFNGETCLASSOBJECT)(REFCLSID clsid, REFIID iid, LPVOID* object);
typedef HRESULT (*LPFNCANUNLOADNOW)();

extern "C" {
/// Enters the calling thread into an apartment: S_OK the first time, S_FALSE when it already is
/// in one of that kind, RPC_E_CHANGED_MODE when it is in one of the other kind.
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
/// Leaves the apartment once per successful initialisation. When the last apartment of the
/// process ends, servers whose DllCanUnloadNow allows it are unloaded.
void CoUninitialize();
/// CoInitializeEx with a single-threaded apartment, counted separately for OleUninitialize.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();

/// Task memory, freed by whoever receives it; CoTaskMemFree accepts null.
LPVOID CoTaskMemAlloc(SIZE_T size);
LPVOID CoTaskMemRealloc(LPVOID block, SIZE_T size);
void CoTaskMemFree(LPVOID block);

/// The class identifier registered for a ProgID (HKCR\<ProgID>\CLSID, else through its CurVer
/// key). CO_E_CLASSSTRING when the ProgID or its class identifier is missing or malformed.
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
/// A braced class identifier or a ProgID; a null text gives GUID_NULL. CO_E_CLASSSTRING on failure.
HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
/// A braced interface identifier; CO_E_IIDSTRING when malformed.
HRESULT IIDFromString(LPCOLESTR text, LPIID iid);
/// Writes the braced form with its terminator; returns 39, or 0 when `size` is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);
/// The braced form in task memory, freed by the caller with CoTaskMemFree.
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
HRESULT StringFromIID(REFIID iid, LPOLESTR* text);

/// The class object of an in-process server: loads the module named by the class's
/// InprocServer32 key (kept loaded) and asks its DllGetClassObject. REGDB_E_CLASSNOTREG when the
/// class has no in-process server (or the context excludes one), the module's load error as an
/// HRESULT (CO_E_DLLNOTFOUND when none is known), CO_E_ERRORINDLL when it exports no
/// DllGetClassObject, CO_E_NOTINITIALIZED outside an apartment.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, COSERVERINFO* serverInfo, REFIID iid, LPVOID* object);
/// Creates an object through its class factory; errors as CoGetClassObject, then the factory's.
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
/// Unloads the servers whose DllCanUnloadNow returns S_OK.
void CoFreeUnusedLibraries();
void CoFreeUnusedLibrariesEx(DWORD delay, DWORD reserved);

/// Puts an object into its running state: IRunnableObject::Run when it has one, else S_OK.
HRESULT OleRun(LPUNKNOWN object);
}
