// ITypeInfo::Invoke: finds the member, converts each argument to its parameter's type,
// calls the interface's table slot through libffi and hands back the [out, retval] value.
#include <ffi.h>

#include <vector>

#include "platform/base/bstr.h"
#include "platform/com/typelib_objects.h"

namespace yolt::typelib {

namespace {

// A parameter's type as it is passed: the VARIANT type of its value, the pointer levels in
// front of it, and for interfaces the identifier to ask the object for.
struct Resolved {
    VARTYPE vt = VT_EMPTY;
    int depth = 0;
    const GUID* iid = nullptr;
};

Resolved Resolve(const Library& library, const Param& param)
{
    if (param.vt != VT_USERDEFINED)
        return {param.vt, param.indirections, nullptr};
    const Type& type = library.types[static_cast<size_t>(param.refType)];
    if (type.kind == TKIND_ENUM)
        return {VT_I4, param.indirections, nullptr};
    // An interface is named with its own pointer: "IKVXRDevice*" is the value.
    VARTYPE vt = (type.flags & TYPEFLAG_FDISPATCHABLE) ? VT_DISPATCH : VT_UNKNOWN;
    return {vt, param.indirections - 1, &type.guid};
}

ffi_type* ValueType(VARTYPE vt)
{
    switch (vt) {
    case VT_I1: return &ffi_type_sint8;
    case VT_UI1: return &ffi_type_uint8;
    case VT_I2:
    case VT_BOOL: return &ffi_type_sint16;
    case VT_UI2: return &ffi_type_uint16;
    case VT_I4:
    case VT_INT:
    case VT_ERROR: return &ffi_type_sint32;
    case VT_UI4:
    case VT_UINT: return &ffi_type_uint32;
    case VT_I8: return &ffi_type_sint64;
    case VT_UI8: return &ffi_type_uint64;
    case VT_R4: return &ffi_type_float;
    case VT_R8: return &ffi_type_double;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN: return &ffi_type_pointer;
    default: return nullptr;
    }
}

// Whether a reference to `given` may stand for a pointer to a `wanted` value: the same type,
// or integers of the same size, or any interface pointer for an interface pointer.
bool CompatibleReference(VARTYPE given, VARTYPE wanted)
{
    auto family = [](VARTYPE vt) {
        switch (vt) {
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT: return 4;
        case VT_I2:
        case VT_UI2: return 2;
        case VT_DISPATCH:
        case VT_UNKNOWN: return 100;
        default: return 1000 + vt;
        }
    };
    return family(given) == family(wanted);
}

bool IsMissingMarker(const VARIANT* arg)
{
    return arg && arg->vt == VT_ERROR && arg->scode == DISP_E_PARAMNOTFOUND;
}

// One argument on its way to the call. `value` holds what this call owns (a converted value, a
// received result); `pointer` is what a pointer parameter receives.
struct Slot {
    VARIANT value{};
    void* pointer = nullptr;
    VARIANT* writeBack = nullptr;  // a caller's VARIANT reference that receives an out value
    bool retval = false;
};

class Call {
public:
    Call(const Library& library, const Function& function, DISPPARAMS& params, UINT* argError)
        : m_library(library), m_function(function), m_params(params), m_argError(argError),
          m_slots(function.params.size())
    {
    }
    ~Call()
    {
        for (Slot& slot : m_slots)
            VariantClear(&slot.value);
    }

    HRESULT Run(void* instance, VARIANT* result, EXCEPINFO* exception)
    {
        HRESULT hr = Assign();
        if (FAILED(hr))
            return hr;
        for (size_t i = 0; i < m_slots.size(); ++i) {
            hr = Prepare(i);
            if (FAILED(hr))
                return hr;
        }
        hr = CallSlot(instance);
        if (FAILED(hr)) {
            if (exception) {
                *exception = EXCEPINFO{};
                exception->scode = hr;
            }
            return DISP_E_EXCEPTION;
        }
        Finish(result);
        return hr;
    }

private:
    // Pairs each parameter with its argument (or none): positional arguments stand last to
    // first at the end of rgvarg, named ones at its start.
    HRESULT Assign()
    {
        size_t inputs = m_function.params.size();
        if (inputs > 0 && (m_function.params.back().flags & PARAMFLAG_FRETVAL))
            --inputs;
        m_args.assign(m_function.params.size(), {nullptr, 0});
        UINT positional = m_params.cArgs - m_params.cNamedArgs;
        if (positional > inputs)
            return DISP_E_BADPARAMCOUNT;
        for (UINT i = 0; i < positional; ++i) {
            UINT position = m_params.cArgs - 1 - i;
            m_args[i] = {&m_params.rgvarg[position], position};
        }
        for (UINT j = 0; j < m_params.cNamedArgs; ++j) {
            DISPID id = m_params.rgdispidNamedArgs[j];
            if (id == DISPID_PROPERTYPUT && inputs > 0 &&
                (m_function.invkind == INVOKE_PROPERTYPUT || m_function.invkind == INVOKE_PROPERTYPUTREF))
                id = static_cast<DISPID>(inputs - 1);
            if (id < 0 || static_cast<size_t>(id) >= inputs || m_args[static_cast<size_t>(id)].first) {
                SetArgError(j);
                return DISP_E_PARAMNOTFOUND;
            }
            m_args[static_cast<size_t>(id)] = {&m_params.rgvarg[j], j};
        }
        for (size_t i = 0; i < inputs; ++i) {
            if (m_args[i].first || (m_function.params[i].flags & PARAMFLAG_FOPT))
                continue;
            return m_params.cNamedArgs == 0 ? DISP_E_BADPARAMCOUNT : DISP_E_PARAMNOTOPTIONAL;
        }
        return S_OK;
    }

    HRESULT Prepare(size_t index)
    {
        const Param& param = m_function.params[index];
        Resolved type = Resolve(m_library, param);
        Slot& slot = m_slots[index];
        auto [arg, position] = m_args[index];
        if (type.depth < 0 || type.depth > 1 || !ValueType(type.vt)) {
            SetArgError(position);
            return DISP_E_BADVARTYPE;
        }
        if (IsMissingMarker(arg)) {
            if (!(param.flags & PARAMFLAG_FOPT)) {
                SetArgError(position);
                return DISP_E_PARAMNOTOPTIONAL;
            }
            arg = nullptr;
        }
        if (type.depth == 0)
            return arg ? Convert(*arg, type, slot.value, position) : Zero(type, slot);
        if (param.flags & PARAMFLAG_FRETVAL) {
            slot.retval = true;
            return PointTo(type, slot);
        }
        if (!arg)
            return PointTo(type, slot);
        if (arg->vt == (VT_BYREF | VT_VARIANT)) {
            if (!arg->pvarVal) {
                SetArgError(position);
                return E_INVALIDARG;
            }
            slot.writeBack = (param.flags & PARAMFLAG_FOUT) ? arg->pvarVal : nullptr;
            bool passIn = (param.flags & PARAMFLAG_FIN) && !type.iid && arg->pvarVal->vt != VT_EMPTY;
            HRESULT hr = passIn ? Convert(*arg->pvarVal, type, slot.value, position) : Zero(type, slot);
            slot.pointer = &slot.value.llVal;
            return hr;
        }
        if (arg->vt & VT_BYREF) {
            if (!CompatibleReference(arg->vt & VT_TYPEMASK, type.vt) || !arg->byref) {
                SetArgError(position);
                return DISP_E_TYPEMISMATCH;
            }
            slot.pointer = arg->byref;
            return S_OK;
        }
        // A plain value for a pointer parameter: the callee works on a copy that is dropped.
        bool passIn = (param.flags & PARAMFLAG_FIN) && !type.iid;
        HRESULT hr = passIn ? Convert(*arg, type, slot.value, position) : Zero(type, slot);
        slot.pointer = &slot.value.llVal;
        return hr;
    }

    HRESULT Convert(const VARIANT& arg, const Resolved& type, VARIANT& out, UINT position)
    {
        HRESULT hr = VariantChangeType(&out, &arg, 0, type.vt);
        if (FAILED(hr)) {
            SetArgError(position);
            return hr == DISP_E_OVERFLOW ? hr : DISP_E_TYPEMISMATCH;
        }
        if (!type.iid || !out.punkVal)
            return S_OK;
        void* object = nullptr;
        hr = out.punkVal->QueryInterface(*type.iid, &object);
        VariantClear(&out);
        if (FAILED(hr)) {
            SetArgError(position);
            return DISP_E_TYPEMISMATCH;
        }
        out.vt = VT_UNKNOWN;
        out.punkVal = static_cast<IUnknown*>(object);
        return S_OK;
    }

    static HRESULT Zero(const Resolved& type, Slot& slot)
    {
        slot.value.vt = type.vt;
        slot.value.llVal = 0;
        return S_OK;
    }

    static HRESULT PointTo(const Resolved& type, Slot& slot)
    {
        Zero(type, slot);
        slot.pointer = &slot.value.llVal;
        return S_OK;
    }

    HRESULT CallSlot(void* instance)
    {
        size_t count = m_slots.size() + 1;
        std::vector<ffi_type*> types(count);
        std::vector<void*> values(count);
        types[0] = &ffi_type_pointer;
        values[0] = &instance;
        for (size_t i = 0; i < m_slots.size(); ++i) {
            Slot& slot = m_slots[i];
            if (slot.pointer) {
                types[i + 1] = &ffi_type_pointer;
                values[i + 1] = &slot.pointer;
                continue;
            }
            types[i + 1] = ValueType(Resolve(m_library, m_function.params[i]).vt);
            values[i + 1] = &slot.value.llVal;  // every member of the value union starts here
        }
        ffi_cif cif;
        if (ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(count), &ffi_type_sint32, types.data()) != FFI_OK)
            return E_UNEXPECTED;
        void** table = *static_cast<void***>(instance);
        ffi_arg returned = 0;
        ffi_call(&cif, FFI_FN(table[m_function.slot]), &returned, values.data());
        return static_cast<HRESULT>(static_cast<int32_t>(returned));
    }

    // Hands out values the callee returned: the result, and out values for VARIANT references.
    void Finish(VARIANT* result)
    {
        for (Slot& slot : m_slots) {
            VARIANT* target = slot.retval ? result : slot.writeBack;
            if (!target)
                continue;
            VariantClear(target);
            *target = slot.value;
            slot.value.vt = VT_EMPTY;
        }
    }

    void SetArgError(UINT position)
    {
        if (m_argError)
            *m_argError = position;
    }

    const Library& m_library;
    const Function& m_function;
    DISPPARAMS& m_params;
    UINT* m_argError;
    std::vector<Slot> m_slots;
    std::vector<std::pair<VARIANT*, UINT>> m_args;
};

bool Accepts(WORD flags, INVOKEKIND kind)
{
    switch (kind) {
    case INVOKE_FUNC: return flags & DISPATCH_METHOD;
    case INVOKE_PROPERTYGET: return flags & DISPATCH_PROPERTYGET;
    case INVOKE_PROPERTYPUT: return flags & DISPATCH_PROPERTYPUT;
    case INVOKE_PROPERTYPUTREF: return flags & DISPATCH_PROPERTYPUTREF;
    }
    return false;
}

}  // namespace

HRESULT InvokeMember(const Library& library, const Type& type, void* instance, MEMBERID member, WORD flags,
    DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argError)
{
    if (!instance || !params || params->cNamedArgs > params->cArgs)
        return E_INVALIDARG;
    if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    if (type.kind != TKIND_INTERFACE && type.kind != TKIND_DISPATCH)
        return TYPE_E_BADMODULEKIND;
    const Function* function = nullptr;
    for (const Function& candidate : type.functions) {
        if (candidate.memid == member && Accepts(flags, candidate.invkind)) {
            function = &candidate;
            break;
        }
    }
    if (!function)
        return DISP_E_MEMBERNOTFOUND;
    if (result)
        VariantInit(result);
    return Call(library, *function, *params, argError).Run(instance, result, exception);
}

}  // namespace yolt::typelib
