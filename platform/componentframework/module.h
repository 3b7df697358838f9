// The component module: what one in-process component knows about itself. It counts the locks
// that keep the component loaded (live objects and LockServer calls), creates each class's
// factory once and keeps it, serves type information from the component's own type library,
// and registers and unregisters the classes and the library. Each component defines one
// ComponentModule object; the framework's objects reach it through Current().
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/com/typeinfo.h"
#include "platform/kernel/sync.h"

namespace yolt::cf {

/// One creatable class of a component.
struct ClassEntry {
    const CLSID* clsid;
    /// Creates an instance, aggregated when `outer` is given; see CreateInstance in object.h.
    HRESULT (*create)(IUnknown* outer, REFIID iid, void** object);
    const char* progId;                    // versioned, e.g. "Lib.Class.1"
    const char* versionIndependentProgId;  // e.g. "Lib.Class"
    const char* friendlyName;              // e.g. "Class Object"
};

/// Loads the type library a component serves its type information from.
using TypeLibLoader = HRESULT (*)(HMODULE module, ITypeLib** lib);

/// Loads resource 1 of the component's own file, found through the module's path (null: the
/// module holding the framework's code).
HRESULT LoadModuleTypeLib(HMODULE module, ITypeLib** lib);

class ComponentModule {
public:
    ComponentModule(std::span<const ClassEntry> classes, const GUID& libid, WORD major, WORD minor, LCID lcid,
        TypeLibLoader loader = &LoadModuleTypeLib);
    ~ComponentModule();
    ComponentModule(const ComponentModule&) = delete;
    ComponentModule& operator=(const ComponentModule&) = delete;

    /// The module of this component, or null before it is constructed.
    static ComponentModule* Current();

    /// The component's module handle, given by its entry point.
    void SetModuleHandle(HMODULE module) { m_module = module; }
    /// That handle, or when none was given the module holding the framework's code.
    HMODULE ModuleHandle() const;

    /// Interlocked changes of the lock count; each returns the new count.
    LONG Lock();
    LONG Unlock();
    LONG LockCount() const { return m_locks; }

    /// DllGetClassObject: E_POINTER for a null result, CLASS_E_CLASSNOTAVAILABLE for a class
    /// the component does not serve; the factory is created on first request and kept.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
    /// DllCanUnloadNow: S_OK when the lock count is zero, else S_FALSE.
    HRESULT CanUnloadNow() const { return m_locks == 0 ? S_OK : S_FALSE; }

    /// The type information of a type of the component's library (one reference for the
    /// caller). The library is loaded on first use and kept until the module is destroyed.
    HRESULT GetTypeInfo(REFGUID guid, ITypeInfo** info);

    /// DllRegisterServer: each class's keys, then the type library; stops at the first failure.
    HRESULT RegisterServer();
    /// DllUnregisterServer: each class's keys, then the type library; S_OK or the first failure.
    HRESULT UnregisterServer();

    const GUID& LibId() const { return m_libid; }

private:
    HRESULT RegisterClass(const ClassEntry& entry, const std::string& path);
    HRESULT UnregisterClass(const ClassEntry& entry);

    std::vector<ClassEntry> m_classes;
    std::vector<IClassFactory*> m_factories;  // per class, null until first asked for
    GUID m_libid;
    WORD m_major;
    WORD m_minor;
    LCID m_lcid;
    TypeLibLoader m_loader;
    ITypeLib* m_typeLib = nullptr;
    HMODULE m_module = nullptr;
    LONG volatile m_locks = 0;
    CRITICAL_SECTION m_section;
};

}  // namespace yolt::cf
