#include "platform/com/typelib_model.h"

#include "platform/base/wtext.h"
#include "platform/com/typelib_format.h"

namespace yolt::typelib {

namespace {

using namespace yolt::tlb;

// Bounds-checked access to the records of one kind, stored one after another.
struct Table {
    const BYTE* base = nullptr;
    size_t count = 0;
    size_t recordSize = 0;
    const BYTE* Record(size_t index) const { return base + index * recordSize; }
};

class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    HRESULT Read(Library& library)
    {
        if (m_size < kHeaderSize || GetU32(m_data + kHeaderMagic) != kMagic)
            return TYPE_E_UNSUPFORMAT;
        if (GetU16(m_data + kHeaderVersion) != kFormatVersion)
            return TYPE_E_UNSUPFORMAT;
        if (!Layout())
            return TYPE_E_INVDATAREAD;
        library.libid = GetGuid(m_data + kHeaderLibId);
        library.major = GetU16(m_data + kHeaderMajor);
        library.minor = GetU16(m_data + kHeaderMinor);
        library.flags = GetU16(m_data + kHeaderLibFlags);
        library.lcid = GetU32(m_data + kHeaderLcid);
        if (!String(GetU32(m_data + kHeaderName), library.name) ||
            !String(GetU32(m_data + kHeaderHelpString), library.help))
            return TYPE_E_INVDATAREAD;
        library.types.resize(m_types.count);
        for (size_t i = 0; i < m_types.count; ++i) {
            if (!ReadType(m_types.Record(i), library.types[i]))
                return TYPE_E_INVDATAREAD;
        }
        if (!CheckReferences(library))
            return TYPE_E_INVDATAREAD;
        return S_OK;
    }

private:
    // Places the record tables after the header; the data must be exactly as long as they are.
    bool Layout()
    {
        size_t offset = kHeaderSize;
        struct Part {
            Table* table;
            size_t countOffset;
            size_t recordSize;
        };
        const Part parts[] = {{&m_types, kHeaderTypeCount, kTypeSize},
            {&m_functions, kHeaderFunctionCount, kFunctionSize},
            {&m_parameters, kHeaderParameterCount, kParameterSize},
            {&m_constants, kHeaderConstantCount, kConstantSize}, {&m_impls, kHeaderImplCount, kImplSize}};
        for (const Part& part : parts) {
            size_t count = GetU32(m_data + part.countOffset);
            if (count > (m_size - offset) / part.recordSize)
                return false;
            *part.table = {m_data + offset, count, part.recordSize};
            offset += count * part.recordSize;
        }
        m_pool = m_data + offset;
        m_poolSize = GetU32(m_data + kHeaderStringPoolSize);
        return m_poolSize == m_size - offset;
    }

    // A pool text; kNoString is empty. False when it starts or runs outside the pool.
    bool String(DWORD offset, std::u16string& text) const
    {
        text.clear();
        if (offset == kNoString)
            return true;
        if (offset >= m_poolSize)
            return false;
        const BYTE* start = m_pool + offset;
        const void* end = std::memchr(start, 0, m_poolSize - offset);
        if (!end)
            return false;
        text = WideFromUtf8(std::string_view(reinterpret_cast<const char*>(start),
            static_cast<const BYTE*>(end) - start));
        return true;
    }

    static bool Range(DWORD first, DWORD count, size_t available)
    {
        return first <= available && count <= available - first;
    }

    bool ReadType(const BYTE* record, Type& type) const
    {
        WORD kind = GetU16(record + kTypeKind);
        type.flags = GetU16(record + kTypeFlags);
        type.guid = GetGuid(record + kTypeGuid);
        type.major = GetU16(record + kTypeMajor);
        type.minor = GetU16(record + kTypeMinor);
        type.baseSlots = GetU16(record + kTypeBaseSlots);
        if (!String(GetU32(record + kTypeName), type.name) || !String(GetU32(record + kTypeHelpString), type.help))
            return false;
        DWORD first = GetU32(record + kTypeFirstMember);
        DWORD count = GetU32(record + kTypeMemberCount);
        switch (kind) {
        case TKIND_ENUM:
            type.kind = TKIND_ENUM;
            return Range(first, count, m_constants.count) && ReadConstants(first, count, type);
        case TKIND_INTERFACE:
        case TKIND_DISPATCH:
            type.kind = static_cast<TYPEKIND>(kind);
            return Range(first, count, m_functions.count) && ReadFunctions(first, count, type);
        case TKIND_COCLASS:
            type.kind = TKIND_COCLASS;
            return Range(first, count, m_impls.count) && ReadImpls(first, count, type);
        default:
            return false;
        }
    }

    bool ReadConstants(DWORD first, DWORD count, Type& type) const
    {
        type.constants.resize(count);
        for (DWORD i = 0; i < count; ++i) {
            const BYTE* record = m_constants.Record(first + i);
            Constant& constant = type.constants[i];
            constant.value = static_cast<LONG>(GetU32(record + kConstantValue));
            if (!String(GetU32(record + kConstantName), constant.name) ||
                !String(GetU32(record + kConstantHelpString), constant.help))
                return false;
        }
        return true;
    }

    bool ReadFunctions(DWORD first, DWORD count, Type& type) const
    {
        type.functions.resize(count);
        for (DWORD i = 0; i < count; ++i) {
            const BYTE* record = m_functions.Record(first + i);
            Function& function = type.functions[i];
            function.memid = static_cast<MEMBERID>(GetU32(record + kFunctionMemberId));
            WORD invkind = GetU16(record + kFunctionInvokeKind);
            if (invkind != INVOKE_FUNC && invkind != INVOKE_PROPERTYGET && invkind != INVOKE_PROPERTYPUT &&
                invkind != INVOKE_PROPERTYPUTREF)
                return false;
            function.invkind = static_cast<INVOKEKIND>(invkind);
            function.slot = GetU16(record + kFunctionSlot);
            function.flags = GetU16(record + kFunctionFlags);
            if (!String(GetU32(record + kFunctionName), function.name) ||
                !String(GetU32(record + kFunctionHelpString), function.help))
                return false;
            DWORD firstParam = GetU32(record + kFunctionFirstParameter);
            WORD paramCount = GetU16(record + kFunctionParameterCount);
            if (!Range(firstParam, paramCount, m_parameters.count))
                return false;
            function.params.resize(paramCount);
            for (WORD p = 0; p < paramCount; ++p) {
                if (!ReadParam(m_parameters.Record(firstParam + p), function.params[p]))
                    return false;
            }
        }
        return true;
    }

    bool ReadParam(const BYTE* record, Param& param) const
    {
        param.flags = GetU16(record + kParameterFlags);
        param.vt = GetU16(record + kParameterVt);
        param.indirections = GetU16(record + kParameterIndirections);
        WORD ref = GetU16(record + kParameterRefType);
        if (param.vt == VT_USERDEFINED) {
            if (ref >= m_types.count)
                return false;
            param.refType = ref;
        }
        return String(GetU32(record + kParameterName), param.name);
    }

    bool ReadImpls(DWORD first, DWORD count, Type& type) const
    {
        type.impls.resize(count);
        for (DWORD i = 0; i < count; ++i) {
            const BYTE* record = m_impls.Record(first + i);
            WORD ref = GetU16(record + kImplType);
            if (ref >= m_types.count)
                return false;
            type.impls[i] = {ref, GetU16(record + kImplFlags)};
        }
        return true;
    }

    // Classes implement interfaces; parameters refer to enumerations or interfaces.
    static bool CheckReferences(const Library& library)
    {
        auto isInterface = [&](int index) {
            TYPEKIND kind = library.types[static_cast<size_t>(index)].kind;
            return kind == TKIND_INTERFACE || kind == TKIND_DISPATCH;
        };
        for (const Type& type : library.types) {
            for (const Impl& impl : type.impls) {
                if (!isInterface(impl.type))
                    return false;
            }
            for (const Function& function : type.functions) {
                for (const Param& param : function.params) {
                    if (param.refType == kNoRef)
                        continue;
                    if (library.types[static_cast<size_t>(param.refType)].kind == TKIND_COCLASS)
                        return false;
                    if (isInterface(param.refType) && param.indirections == 0)
                        return false;
                }
            }
        }
        return true;
    }

    const BYTE* m_data;
    size_t m_size;
    Table m_types, m_functions, m_parameters, m_constants, m_impls;
    const BYTE* m_pool = nullptr;
    size_t m_poolSize = 0;
};

}  // namespace

HRESULT ParseLibrary(const BYTE* data, size_t size, Library& library)
{
    if (!data)
        return TYPE_E_UNSUPFORMAT;
    return Reader(data, size).Read(library);
}

}  // namespace yolt::typelib
