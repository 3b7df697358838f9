#include "platform/componentframework/module.h"


namespace yolt::cf {

namespace {

ComponentModule* g_current = nullptr;

// The factory of one class: creates instances through the class's creation function. It is
// kept by the module for the module's life, so its own count does not lock the module.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(const ClassEntry& entry) : m_entry(entry) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory)
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_refs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&m_refs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        return m_entry.create(outer, iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            ComponentModule::Current()->Lock();
        else
            ComponentModule::Current()->Unlock();
        return S_OK;
    }

private:
    const ClassEntry m_entry;
    LONG volatile m_refs = 1;
};

}  // namespace

ComponentModule::ComponentModule(std::span<const ClassEntry> classes, const GUID& libid, WORD major, WORD minor,
    LCID lcid, TypeLibLoader loader)
    : m_classes(classes.begin(), classes.end()), m_factories(classes.size(), nullptr), m_libid(libid),
      m_major(major), m_minor(minor), m_lcid(lcid), m_loader(loader)
{
    InitializeCriticalSection(&m_section);
    g_current = this;
}

ComponentModule::~ComponentModule()
{
    for (IClassFactory* factory : m_factories) {
        if (factory)
            factory->Release();
    }
    if (m_typeLib)
        m_typeLib->Release();
    DeleteCriticalSection(&m_section);
    if (g_current == this)
        g_current = nullptr;
}

ComponentModule* ComponentModule::Current() { return g_current; }

LONG ComponentModule::Lock() { return InterlockedIncrement(&m_locks); }
LONG ComponentModule::Unlock() { return InterlockedDecrement(&m_locks); }

HRESULT ComponentModule::GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (size_t i = 0; i < m_classes.size(); ++i) {
        if (*m_classes[i].clsid != clsid)
            continue;
        EnterCriticalSection(&m_section);
        if (!m_factories[i])
            m_factories[i] = new (std::nothrow) ClassFactory(m_classes[i]);
        IClassFactory* factory = m_factories[i];
        LeaveCriticalSection(&m_section);
        if (!factory)
            return E_OUTOFMEMORY;
        return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComponentModule::GetTypeInfo(REFGUID guid, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    EnterCriticalSection(&m_section);
    HRESULT hr = S_OK;
    if (!m_typeLib)
        hr = m_loader ? m_loader(m_module, &m_typeLib) : TYPE_E_CANTLOADLIBRARY;
    ITypeLib* lib = m_typeLib;
    LeaveCriticalSection(&m_section);
    if (FAILED(hr) || !lib)
        return FAILED(hr) ? hr : TYPE_E_CANTLOADLIBRARY;
    return lib->GetTypeInfoOfGuid(guid, info);
}

}  // namespace yolt::cf
