#include "platform/com/typelib_objects.h"

#include <deque>

#include "platform/base/bstr.h"
#include "platform/base/wtext.h"

namespace yolt::typelib {

namespace {

// Enumerators have member identifiers of their own, counted from this base.
constexpr MEMBERID kConstantIdBase = 0x40000000;

BSTR NewString(const std::u16string& text)
{
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// A function description handed to a caller, with the storage its pointers refer to.
struct FuncDescBlock {
    FUNCDESC desc;
    struct Storage* storage;
};
struct Storage {
    std::vector<ELEMDESC> params;
    std::deque<TYPEDESC> types;
};

// An enumerator's description with the value it points at.
struct VarDescBlock {
    VARDESC desc;
    VARIANT value;
};

// Fills `desc` with the type of `param`: its pointer levels in front of the base type.
void DescribeType(const Param& param, TYPEDESC& desc, std::deque<TYPEDESC>& chain)
{
    TYPEDESC* current = &desc;
    for (USHORT i = 0; i < param.indirections; ++i) {
        current->vt = VT_PTR;
        chain.emplace_back();
        current->lptdesc = &chain.back();
        current = current->lptdesc;
    }
    current->vt = param.vt;
    if (param.vt == VT_USERDEFINED)
        current->hreftype = static_cast<HREFTYPE>(param.refType);
    else
        current->lptdesc = nullptr;
}

}  // namespace

bool SameName(std::u16string_view a, const OLECHAR* b)
{
    if (!b)
        return false;
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == 0 || FoldUpper(a[i]) != FoldUpper(b[i]))
            return false;
    }
    return b[i] == 0;
}

// ---- TypeInfoObject ----

const Type& TypeInfoObject::Data() const { return m_owner.Data().types[m_index]; }

STDMETHODIMP TypeInfoObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ITypeInfo)
        return E_NOINTERFACE;
    *object = static_cast<ITypeInfo*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TypeInfoObject::AddRef() { return m_owner.AddRef(); }
STDMETHODIMP_(ULONG) TypeInfoObject::Release() { return m_owner.Release(); }

STDMETHODIMP TypeInfoObject::GetTypeAttr(TYPEATTR** attr)
{
    if (!attr)
        return E_INVALIDARG;
    const Type& type = Data();
    auto* a = new (std::nothrow) TYPEATTR{};
    if (!a)
        return E_OUTOFMEMORY;
    bool isInterface = type.kind == TKIND_INTERFACE || type.kind == TKIND_DISPATCH;
    a->guid = type.guid;
    a->lcid = m_owner.Data().lcid;
    a->memidConstructor = MEMBERID_NIL;
    a->memidDestructor = MEMBERID_NIL;
    a->cbSizeInstance = isInterface ? sizeof(void*) : (type.kind == TKIND_ENUM ? sizeof(LONG) : 0);
    a->typekind = type.kind;
    a->cFuncs = static_cast<WORD>(type.functions.size());
    a->cVars = static_cast<WORD>(type.constants.size());
    a->cImplTypes = static_cast<WORD>(type.impls.size());
    a->cbSizeVft = isInterface ? static_cast<WORD>((type.baseSlots + type.functions.size()) * sizeof(void*)) : 0;
    a->cbAlignment = alignof(void*);
    a->wTypeFlags = type.flags;
    a->wMajorVerNum = type.major;
    a->wMinorVerNum = type.minor;
    a->tdescAlias.vt = VT_EMPTY;
    *attr = a;
    return S_OK;
}

STDMETHODIMP_(void) TypeInfoObject::ReleaseTypeAttr(TYPEATTR* attr) { delete attr; }

STDMETHODIMP TypeInfoObject::GetTypeComp(void** comp)
{
    if (comp)
        *comp = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TypeInfoObject::GetFuncDesc(UINT index, FUNCDESC** desc)
{
    if (!desc)
        return E_INVALIDARG;
    const Type& type = Data();
    if (index >= type.functions.size())
        return TYPE_E_ELEMENTNOTFOUND;
    const Function& function = type.functions[index];
    auto* block = new (std::nothrow) FuncDescBlock{};
    if (!block)
        return E_OUTOFMEMORY;
    block->storage = new Storage;
    block->storage->params.resize(function.params.size());
    FUNCDESC& d = block->desc;
    d.memid = function.memid;
    d.funckind = FUNC_PUREVIRTUAL;
    d.invkind = function.invkind;
    d.callconv = CC_STDCALL;
    d.cParams = static_cast<SHORT>(function.params.size());
    d.oVft = static_cast<SHORT>(function.slot * sizeof(void*));
    d.wFuncFlags = function.flags;
    d.elemdescFunc.tdesc.vt = VT_HRESULT;
    for (size_t i = 0; i < function.params.size(); ++i) {
        ELEMDESC& e = block->storage->params[i];
        e = ELEMDESC{};
        DescribeType(function.params[i], e.tdesc, block->storage->types);
        e.paramdesc.wParamFlags = function.params[i].flags;
        if (function.params[i].flags & PARAMFLAG_FOPT)
            ++d.cParamsOpt;
    }
    d.lprgelemdescParam = block->storage->params.empty() ? nullptr : block->storage->params.data();
    *desc = &block->desc;
    return S_OK;
}

STDMETHODIMP_(void) TypeInfoObject::ReleaseFuncDesc(FUNCDESC* desc)
{
    if (!desc)
        return;
    auto* block = reinterpret_cast<FuncDescBlock*>(desc);
    delete block->storage;
    delete block;
}

STDMETHODIMP TypeInfoObject::GetVarDesc(UINT index, VARDESC** desc)
{
    if (!desc)
        return E_INVALIDARG;
    const Type& type = Data();
    if (index >= type.constants.size())
        return TYPE_E_ELEMENTNOTFOUND;
    auto* block = new (std::nothrow) VarDescBlock{};
    if (!block)
        return E_OUTOFMEMORY;
    block->value.vt = VT_I4;
    block->value.lVal = type.constants[index].value;
    block->desc.memid = kConstantIdBase + static_cast<MEMBERID>(index);
    block->desc.lpvarValue = &block->value;
    block->desc.elemdescVar.tdesc.vt = VT_I4;
    block->desc.varkind = VAR_CONST;
    *desc = &block->desc;
    return S_OK;
}

STDMETHODIMP_(void) TypeInfoObject::ReleaseVarDesc(VARDESC* desc)
{
    delete reinterpret_cast<VarDescBlock*>(desc);
}

STDMETHODIMP TypeInfoObject::GetNames(MEMBERID member, BSTR* names, UINT max, UINT* count)
{
    if (!names || !count)
        return E_INVALIDARG;
    *count = 0;
    const Type& type = Data();
    for (const Function& function : type.functions) {
        if (function.memid != member)
            continue;
        if (max > 0)
            names[(*count)++] = NewString(function.name);
        for (const Param& param : function.params) {
            if (*count >= max)
                break;
            names[(*count)++] = NewString(param.name);
        }
        return S_OK;
    }
    UINT constant = static_cast<UINT>(member - kConstantIdBase);
    if (member >= kConstantIdBase && constant < type.constants.size()) {
        if (max > 0)
            names[(*count)++] = NewString(type.constants[constant].name);
        return S_OK;
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP TypeInfoObject::GetRefTypeOfImplType(UINT index, HREFTYPE* ref)
{
    if (!ref)
        return E_INVALIDARG;
    const Type& type = Data();
    if (index >= type.impls.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *ref = static_cast<HREFTYPE>(type.impls[index].type);
    return S_OK;
}

STDMETHODIMP TypeInfoObject::GetImplTypeFlags(UINT index, INT* flags)
{
    if (!flags)
        return E_INVALIDARG;
    const Type& type = Data();
    if (index >= type.impls.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *flags = type.impls[index].flags;
    return S_OK;
}

STDMETHODIMP TypeInfoObject::GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids)
{
    if (!names || !ids)
        return E_INVALIDARG;
    if (count == 0)
        return S_OK;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    const Type& type = Data();
    const Function* found = nullptr;
    for (const Function& function : type.functions) {
        if (SameName(function.name, names[0])) {
            found = &function;
            break;
        }
    }
    if (!found)
        return DISP_E_UNKNOWNNAME;
    ids[0] = found->memid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (size_t p = 0; p < found->params.size(); ++p) {
            if (SameName(found->params[p].name, names[i])) {
                ids[i] = static_cast<MEMBERID>(p);
                break;
            }
        }
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

STDMETHODIMP TypeInfoObject::Invoke(void* instance, MEMBERID member, WORD flags, DISPPARAMS* params,
    VARIANT* result, EXCEPINFO* exception, UINT* argError)
{
    return InvokeMember(m_owner.Data(), Data(), instance, member, flags, params, result, exception, argError);
}

STDMETHODIMP TypeInfoObject::GetDocumentation(MEMBERID member, BSTR* name, BSTR* doc, DWORD* helpContext,
    BSTR* helpFile)
{
    const Type& type = Data();
    const std::u16string* foundName = nullptr;
    const std::u16string* foundHelp = nullptr;
    if (member == MEMBERID_NIL) {
        foundName = &type.name;
        foundHelp = &type.help;
    }
    for (const Function& function : type.functions) {
        if (!foundName && function.memid == member) {
            foundName = &function.name;
            foundHelp = &function.help;
        }
    }
    UINT constant = static_cast<UINT>(member - kConstantIdBase);
    if (!foundName && member >= kConstantIdBase && constant < type.constants.size()) {
        foundName = &type.constants[constant].name;
        foundHelp = &type.constants[constant].help;
    }
    if (!foundName)
        return TYPE_E_ELEMENTNOTFOUND;
    if (name)
        *name = NewString(*foundName);
    if (doc)
        *doc = foundHelp->empty() ? nullptr : NewString(*foundHelp);
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr;
    return S_OK;
}

STDMETHODIMP TypeInfoObject::GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) { return TYPE_E_BADMODULEKIND; }

STDMETHODIMP TypeInfoObject::GetRefTypeInfo(HREFTYPE ref, ITypeInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = nullptr;
    if (ref >= m_owner.Data().types.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *info = m_owner.Info(ref);
    (*info)->AddRef();
    return S_OK;
}

STDMETHODIMP TypeInfoObject::AddressOfMember(MEMBERID, INVOKEKIND, void** address)
{
    if (address)
        *address = nullptr;
    return TYPE_E_BADMODULEKIND;
}

// FIXME: classes are created through the COM runtime by their callers; type information does
// not create objects.
STDMETHODIMP TypeInfoObject::CreateInstance(IUnknown*, REFIID, void** object)
{
    if (object)
        *object = nullptr;
    return Data().kind == TKIND_COCLASS ? E_NOTIMPL : TYPE_E_BADMODULEKIND;
}

STDMETHODIMP TypeInfoObject::GetMops(MEMBERID, BSTR* mops)
{
    if (mops)
        *mops = nullptr;
    return S_OK;
}

STDMETHODIMP TypeInfoObject::GetContainingTypeLib(ITypeLib** lib, UINT* index)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = &m_owner;
    m_owner.AddRef();
    if (index)
        *index = m_index;
    return S_OK;
}

// ---- TypeLibObject ----

TypeLibObject::TypeLibObject(std::shared_ptr<const Library> library) : m_library(std::move(library))
{
    for (UINT i = 0; i < m_library->types.size(); ++i)
        m_infos.push_back(std::make_unique<TypeInfoObject>(*this, i));
}

STDMETHODIMP TypeLibObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ITypeLib)
        return E_NOINTERFACE;
    *object = static_cast<ITypeLib*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TypeLibObject::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) TypeLibObject::Release()
{
    ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP_(UINT) TypeLibObject::GetTypeInfoCount() { return static_cast<UINT>(m_infos.size()); }

STDMETHODIMP TypeLibObject::GetTypeInfo(UINT index, ITypeInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = nullptr;
    if (index >= m_infos.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *info = m_infos[index].get();
    AddRef();
    return S_OK;
}

STDMETHODIMP TypeLibObject::GetTypeInfoType(UINT index, TYPEKIND* kind)
{
    if (!kind)
        return E_INVALIDARG;
    if (index >= m_infos.size())
        return TYPE_E_ELEMENTNOTFOUND;
    *kind = m_library->types[index].kind;
    return S_OK;
}

STDMETHODIMP TypeLibObject::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info)
{
    if (!info)
        return E_INVALIDARG;
    *info = nullptr;
    for (size_t i = 0; i < m_infos.size(); ++i) {
        if (guid != GUID_NULL && m_library->types[i].guid == guid)
            return GetTypeInfo(static_cast<UINT>(i), info);
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP TypeLibObject::GetLibAttr(TLIBATTR** attr)
{
    if (!attr)
        return E_INVALIDARG;
    auto* a = new (std::nothrow) TLIBATTR{};
    if (!a)
        return E_OUTOFMEMORY;
    a->guid = m_library->libid;
    a->lcid = m_library->lcid;
    a->syskind = SYS_WIN32;
    a->wMajorVerNum = m_library->major;
    a->wMinorVerNum = m_library->minor;
    a->wLibFlags = m_library->flags;
    *attr = a;
    return S_OK;
}

STDMETHODIMP_(void) TypeLibObject::ReleaseTLibAttr(TLIBATTR* attr) { delete attr; }

STDMETHODIMP TypeLibObject::GetTypeComp(void** comp)
{
    if (comp)
        *comp = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TypeLibObject::GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile)
{
    if (index >= 0 && static_cast<size_t>(index) >= m_infos.size())
        return TYPE_E_ELEMENTNOTFOUND;
    if (index < -1)
        return TYPE_E_ELEMENTNOTFOUND;
    const std::u16string& foundName = index == -1 ? m_library->name : m_library->types[index].name;
    const std::u16string& foundHelp = index == -1 ? m_library->help : m_library->types[index].help;
    if (name)
        *name = NewString(foundName);
    if (doc)
        *doc = foundHelp.empty() ? nullptr : NewString(foundHelp);
    if (helpContext)
        *helpContext = 0;
    if (helpFile)
        *helpFile = nullptr;
    return S_OK;
}

STDMETHODIMP TypeLibObject::IsName(LPOLESTR name, ULONG, BOOL* found)
{
    if (!name || !found)
        return E_INVALIDARG;
    *found = FALSE;
    for (const Type& type : m_library->types) {
        bool match = SameName(type.name, name);
        for (const Function& function : type.functions)
            match = match || SameName(function.name, name);
        for (const Constant& constant : type.constants)
            match = match || SameName(constant.name, name);
        if (match) {
            *found = TRUE;
            return S_OK;
        }
    }
    return S_OK;
}

STDMETHODIMP TypeLibObject::FindName(LPOLESTR name, ULONG, ITypeInfo** infos, MEMBERID* ids, USHORT* found)
{
    if (!name || !infos || !ids || !found)
        return E_INVALIDARG;
    USHORT max = *found;
    USHORT count = 0;
    for (size_t i = 0; i < m_library->types.size() && count < max; ++i) {
        const Type& type = m_library->types[i];
        MEMBERID id = DISPID_UNKNOWN;
        bool match = SameName(type.name, name);
        if (match)
            id = MEMBERID_NIL;
        for (const Function& function : type.functions) {
            if (!match && SameName(function.name, name)) {
                match = true;
                id = function.memid;
            }
        }
        for (size_t c = 0; c < type.constants.size(); ++c) {
            if (!match && SameName(type.constants[c].name, name)) {
                match = true;
                id = kConstantIdBase + static_cast<MEMBERID>(c);
            }
        }
        if (!match)
            continue;
        infos[count] = m_infos[i].get();
        AddRef();
        ids[count] = id;
        ++count;
    }
    *found = count;
    return S_OK;
}

ITypeLib* CreateTypeLib(std::shared_ptr<const Library> library)
{
    return new TypeLibObject(std::move(library));
}

}  // namespace yolt::typelib
