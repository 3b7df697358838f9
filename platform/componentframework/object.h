// Objects of a component: reference counting, QueryInterface from the class's own interface
// lookup, optional aggregation, and the creation function a ClassEntry names.
//
// A class T derives from its interfaces (through IDispatchImpl for dual ones), does not
// implement IUnknown itself, and provides
//     IUnknown* GetInterface(REFIID iid);   // the interface pointer, or null
// which answers IID_IUnknown with its default interface. Creation wraps T in ComObject<T>
// (plain) or ComAggObject<T> (aggregated); both hold a module lock while they live.
// Reference counts are plain counters: objects live in one apartment.
#pragma once

#include <new>

#include "platform/componentframework/module.h"

namespace yolt::cf {

template <class T>
class ComObject final : public T {
public:
    ComObject() { ComponentModule::Current()->Lock(); }
    ~ComObject() { ComponentModule::Current()->Unlock(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        IUnknown* found = T::GetInterface(iid);
        if (!found)
            return E_NOINTERFACE;
        found->AddRef();
        *object = found;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

private:
    ULONG m_refs = 0;
};

/// An object aggregated into `outer`: its interfaces' IUnknown calls go to the outer object,
/// and only the inner unknown (handed to the outer object at creation) counts and queries.
template <class T>
class ComAggObject final : public T {
public:
    explicit ComAggObject(IUnknown* outer) : m_outer(outer), m_inner(this) { ComponentModule::Current()->Lock(); }
    ~ComAggObject() { ComponentModule::Current()->Unlock(); }

    IUnknown* Inner() { return &m_inner; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return m_outer->QueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }

private:
    struct InnerUnknown final : IUnknown {
        explicit InnerUnknown(ComAggObject* self) : self(self) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override
        {
            if (!object)
                return E_POINTER;
            *object = nullptr;
            if (iid == IID_IUnknown) {
                *object = this;
                AddRef();
                return S_OK;
            }
            IUnknown* found = self->GetInterface(iid);
            if (!found)
                return E_NOINTERFACE;
            found->AddRef();  // counted by the outer object
            *object = found;
            return S_OK;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
        STDMETHODIMP_(ULONG) Release() override
        {
            ULONG left = --refs;
            if (left == 0)
                delete self;
            return left;
        }
        ComAggObject* self;
        ULONG refs = 0;
    };

    IUnknown* m_outer;
    InnerUnknown m_inner;
};

/// Creates an object of class T. Without `outer` a plain object is queried for `iid`; with
/// one, `iid` must be IID_IUnknown (CLASS_E_NOAGGREGATION otherwise) and the inner unknown is
/// returned. A failed query destroys the object and returns the query's error; an allocation
/// failure gives E_OUTOFMEMORY.
template <class T>
HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer) {
        if (iid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        auto* aggregated = new (std::nothrow) ComAggObject<T>(outer);
        if (!aggregated)
            return E_OUTOFMEMORY;
        return aggregated->Inner()->QueryInterface(iid, object);
    }
    auto* plain = new (std::nothrow) ComObject<T>();
    if (!plain)
        return E_OUTOFMEMORY;
    plain->AddRef();
    HRESULT hr = plain->QueryInterface(iid, object);
    plain->Release();  // destroys the object when the query failed
    return hr;
}

}  // namespace yolt::cf
