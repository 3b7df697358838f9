// The objects that serve a loaded type library: one TypeLibObject and one TypeInfoObject per
// type. The type information objects live as long as their library: their reference counts
// are the library's. Private to the automation library.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "platform/com/typelib_model.h"

namespace yolt::typelib {

class TypeLibObject;

class TypeInfoObject final : public ITypeInfo {
public:
    TypeInfoObject(TypeLibObject& owner, UINT index) : m_owner(owner), m_index(index) {}
    virtual ~TypeInfoObject() = default;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetTypeAttr(TYPEATTR** attr) override;
    STDMETHODIMP GetTypeComp(void** comp) override;
    STDMETHODIMP GetFuncDesc(UINT index, FUNCDESC** desc) override;
    STDMETHODIMP GetVarDesc(UINT index, VARDESC** desc) override;
    STDMETHODIMP GetNames(MEMBERID member, BSTR* names, UINT max, UINT* count) override;
    STDMETHODIMP GetRefTypeOfImplType(UINT index, HREFTYPE* ref) override;
    STDMETHODIMP GetImplTypeFlags(UINT index, INT* flags) override;
    STDMETHODIMP GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override;
    STDMETHODIMP Invoke(void* instance, MEMBERID member, WORD flags, DISPPARAMS* params, VARIANT* result,
        EXCEPINFO* exception, UINT* argError) override;
    STDMETHODIMP GetDocumentation(MEMBERID member, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile) override;
    STDMETHODIMP GetDllEntry(MEMBERID member, INVOKEKIND kind, BSTR* dll, BSTR* name, WORD* ordinal) override;
    STDMETHODIMP GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info) override;
    STDMETHODIMP AddressOfMember(MEMBERID member, INVOKEKIND kind, void** address) override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP GetMops(MEMBERID member, BSTR* mops) override;
    STDMETHODIMP GetContainingTypeLib(ITypeLib** lib, UINT* index) override;
    STDMETHODIMP_(void) ReleaseTypeAttr(TYPEATTR* attr) override;
    STDMETHODIMP_(void) ReleaseFuncDesc(FUNCDESC* desc) override;
    STDMETHODIMP_(void) ReleaseVarDesc(VARDESC* desc) override;

private:
    const Type& Data() const;

    TypeLibObject& m_owner;
    UINT m_index;
};

class TypeLibObject final : public ITypeLib {
public:
    explicit TypeLibObject(std::shared_ptr<const Library> library);
    virtual ~TypeLibObject() = default;

    const Library& Data() const { return *m_library; }
    TypeInfoObject* Info(size_t index) { return m_infos[index].get(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP_(UINT) GetTypeInfoCount() override;
    STDMETHODIMP GetTypeInfo(UINT index, ITypeInfo** info) override;
    STDMETHODIMP GetTypeInfoType(UINT index, TYPEKIND* kind) override;
    STDMETHODIMP GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override;
    STDMETHODIMP GetLibAttr(TLIBATTR** attr) override;
    STDMETHODIMP GetTypeComp(void** comp) override;
    STDMETHODIMP GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile) override;
    STDMETHODIMP IsName(LPOLESTR name, ULONG hash, BOOL* found) override;
    STDMETHODIMP FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids, USHORT* found) override;
    STDMETHODIMP_(void) ReleaseTLibAttr(TLIBATTR* attr) override;

private:
    std::atomic<ULONG> m_refs{1};
    std::shared_ptr<const Library> m_library;
    std::vector<std::unique_ptr<TypeInfoObject>> m_infos;
};

/// Whether two names are equal without regard to case, as member lookups compare them.
bool SameName(std::u16string_view a, const OLECHAR* b);

/// Performs a late-bound call of `type`'s member on `instance`; see ITypeInfo::Invoke.
HRESULT InvokeMember(const Library& library, const Type& type, void* instance, MEMBERID member, WORD flags,
    DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argError);

}  // namespace yolt::typelib
