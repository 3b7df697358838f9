// typelib: compiles a JSON description of a type library into the binary form that
// LoadTypeLib reads (platform/com/typelib_format.h).
//
//   typelib <description.json> <output.tlb>
//
// The description holds "library" (name, uuid, version "M.m", lcid, helpstring) and "types",
// an ordered list of enumerations ("kind": "enum", "values"), interfaces ("kind":
// "interface", "base" IDispatch or IUnknown, "dual", "members" in table order) and classes
// ("kind": "coclass", "interfaces" with "default"). A member has "name", "kind" (method,
// propget, propput), "id", "helpstring" and "params" (name, type such as "BSTR",
// "KVXRModelType*", "IKVXRDevice**", and attributes in, out, retval, optional).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/guid.h"
#include "platform/com/typeinfo.h"
#include "platform/com/typelib_format.h"

using nlohmann::json;
using namespace yolt::tlb;

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class StringPool {
public:
    DWORD Add(const std::string& text)
    {
        if (text.empty())
            return kNoString;
        auto found = m_offsets.find(text);
        if (found != m_offsets.end())
            return found->second;
        DWORD offset = static_cast<DWORD>(m_bytes.size());
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        m_bytes.push_back(0);
        m_offsets.emplace(text, offset);
        return offset;
    }
    const std::vector<BYTE>& Bytes() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
    std::map<std::string, DWORD> m_offsets;
};

std::string Text(const json& node, const char* key, const std::string& fallback = "")
{
    if (!node.contains(key))
        return fallback;
    if (!node[key].is_string())
        throw Failure(std::string("\"") + key + "\" must be a string");
    return node[key].get<std::string>();
}

std::string Required(const json& node, const char* key, const std::string& where)
{
    std::string value = Text(node, key);
    if (value.empty())
        throw Failure(where + ": \"" + key + "\" is missing");
    return value;
}

GUID ParseGuid(const std::string& text, const std::string& where)
{
    std::string braced = (!text.empty() && text.front() == '{') ? text : "{" + text + "}";
    auto guid = yolt::GuidFromString(braced);
    if (!guid)
        throw Failure(where + ": \"" + text + "\" is not a GUID");
    return *guid;
}

// A number given as a JSON number or as text in decimal or with a 0x prefix.
long long ParseNumber(const json& node, const std::string& where)
{
    if (node.is_number_integer())
        return node.get<long long>();
    if (!node.is_string())
        throw Failure(where + ": a number is expected");
    std::string text = node.get<std::string>();
    size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw Failure(where + ": \"" + text + "\" is not a number");
    return value;
}

struct ParamType {
    WORD vt;
    WORD indirections;
    WORD refType;
};

const std::map<std::string, VARTYPE> kBaseTypes = {
    {"short", VT_I2}, {"long", VT_I4}, {"LONG", VT_I4}, {"int", VT_INT}, {"ULONG", VT_UI4},
    {"unsigned long", VT_UI4}, {"DWORD", VT_UI4}, {"unsigned int", VT_UINT}, {"unsigned short", VT_UI2},
    {"USHORT", VT_UI2}, {"BYTE", VT_UI1}, {"unsigned char", VT_UI1}, {"char", VT_I1}, {"float", VT_R4},
    {"double", VT_R8}, {"BSTR", VT_BSTR}, {"VARIANT_BOOL", VT_BOOL}, {"VARIANT", VT_VARIANT},
    {"SCODE", VT_ERROR}, {"HRESULT", VT_HRESULT}};

ParamType ParseType(std::string text, const std::map<std::string, WORD>& typeIndex, const std::string& where)
{
    WORD stars = 0;
    while (!text.empty() && (text.back() == '*' || text.back() == ' ')) {
        if (text.back() == '*')
            ++stars;
        text.pop_back();
    }
    if (text == "IDispatch" || text == "IUnknown") {
        if (stars == 0)
            throw Failure(where + ": an interface is passed by pointer");
        return {static_cast<WORD>(text == "IDispatch" ? VT_DISPATCH : VT_UNKNOWN), static_cast<WORD>(stars - 1), kNoType};
    }
    auto base = kBaseTypes.find(text);
    if (base != kBaseTypes.end())
        return {base->second, stars, kNoType};
    auto user = typeIndex.find(text);
    if (user == typeIndex.end())
        throw Failure(where + ": unknown type \"" + text + "\"");
    return {VT_USERDEFINED, stars, user->second};
}

WORD ParseParamFlags(const json& param, const std::string& where)
{
    WORD flags = 0;
    if (!param.contains("attributes"))
        return PARAMFLAG_FIN;
    for (const auto& attribute : param["attributes"]) {
        std::string name = attribute.get<std::string>();
        if (name == "in")
            flags |= PARAMFLAG_FIN;
        else if (name == "out")
            flags |= PARAMFLAG_FOUT;
        else if (name == "retval")
            flags |= PARAMFLAG_FRETVAL;
        else if (name == "optional")
            flags |= PARAMFLAG_FOPT;
        else if (name == "lcid")
            flags |= PARAMFLAG_FLCID;
        else
            throw Failure(where + ": unknown attribute \"" + name + "\"");
    }
    return flags;
}

WORD ParseInvokeKind(const std::string& kind, const std::string& where)
{
    if (kind == "method")
        return INVOKE_FUNC;
    if (kind == "propget")
        return INVOKE_PROPERTYGET;
    if (kind == "propput")
        return INVOKE_PROPERTYPUT;
    if (kind == "propputref")
        return INVOKE_PROPERTYPUTREF;
    throw Failure(where + ": unknown member kind \"" + kind + "\"");
}

void ParseVersion(const std::string& text, WORD& major, WORD& minor, const std::string& where)
{
    unsigned a = 0, b = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u.%u%c", &a, &b, &tail) != 2 || a > 0xFFFF || b > 0xFFFF)
        throw Failure(where + ": version \"" + text + "\" is not of the form major.minor");
    major = static_cast<WORD>(a);
    minor = static_cast<WORD>(b);
}

class Compiler {
public:
    std::vector<BYTE> Compile(const json& description)
    {
        if (!description.contains("library") || !description.contains("types") || !description["types"].is_array())
            throw Failure("the description needs \"library\" and \"types\"");
        const json& types = description["types"];
        for (size_t i = 0; i < types.size(); ++i) {
            std::string name = Required(types[i], "name", "type " + std::to_string(i));
            if (!m_typeIndex.emplace(name, static_cast<WORD>(i)).second)
                throw Failure("type \"" + name + "\" is described twice");
            m_kinds.push_back(Text(types[i], "kind"));
        }
        for (size_t i = 0; i < types.size(); ++i)
            AddType(types[i]);
        return Emit(description["library"]);
    }

private:
    void AddType(const json& type)
    {
        std::string name = type["name"].get<std::string>();
        std::string kind = Text(type, "kind");
        BYTE* record = Grow(m_types, kTypeSize);
        PutU32(record + kTypeName, m_strings.Add(name));
        PutU32(record + kTypeHelpString, m_strings.Add(Text(type, "helpstring")));
        WORD major = 0, minor = 0;
        if (type.contains("version"))
            ParseVersion(Text(type, "version"), major, minor, name);
        PutU16(record + kTypeMajor, major);
        PutU16(record + kTypeMinor, minor);
        GUID guid = type.contains("uuid") ? ParseGuid(Text(type, "uuid"), name) : GUID_NULL;
        if (kind != "enum" && guid == GUID_NULL)
            throw Failure(name + ": \"uuid\" is missing");
        PutGuid(record + kTypeGuid, guid);
        size_t offset = m_types.size() - kTypeSize;
        if (kind == "enum")
            return AddEnum(type, offset);
        if (kind == "interface")
            return AddInterface(type, offset);
        if (kind == "coclass")
            return AddClass(type, offset);
        throw Failure(name + ": unknown kind \"" + kind + "\"");
    }

    void AddEnum(const json& type, size_t offset)
    {
        BYTE* record = &m_types[offset];
        PutU16(record + kTypeKind, TKIND_ENUM);
        PutU32(record + kTypeFirstMember, static_cast<DWORD>(m_constants.size() / kConstantSize));
        PutU32(record + kTypeMemberCount, static_cast<DWORD>(type.value("values", json::array()).size()));
        for (const auto& value : type.value("values", json::array())) {
            std::string where = type["name"].get<std::string>() + "." + Text(value, "name");
            BYTE* constant = Grow(m_constants, kConstantSize);
            PutU32(constant + kConstantName, m_strings.Add(Required(value, "name", where)));
            PutU32(constant + kConstantValue, static_cast<DWORD>(ParseNumber(value.at("value"), where)));
            PutU32(constant + kConstantHelpString, m_strings.Add(Text(value, "helpstring")));
        }
    }

    void AddInterface(const json& type, size_t offset)
    {
        std::string name = type["name"].get<std::string>();
        std::string base = Text(type, "base", "IDispatch");
        if (base != "IDispatch" && base != "IUnknown")
            throw Failure(name + ": base must be IDispatch or IUnknown");
        bool dual = type.value("dual", false);
        WORD flags = 0;
        if (dual)
            flags |= TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION;
        if (type.value("oleautomation", false))
            flags |= TYPEFLAG_FOLEAUTOMATION;
        if (base == "IDispatch")
            flags |= TYPEFLAG_FDISPATCHABLE;
        WORD baseSlots = base == "IDispatch" ? 7 : 3;
        const json members = type.value("members", json::array());

        BYTE* record = &m_types[offset];
        PutU16(record + kTypeKind, base == "IDispatch" ? TKIND_DISPATCH : TKIND_INTERFACE);
        PutU16(record + kTypeFlags, flags);
        PutU32(record + kTypeFirstMember, static_cast<DWORD>(m_functions.size() / kFunctionSize));
        PutU32(record + kTypeMemberCount, static_cast<DWORD>(members.size()));
        PutU16(record + kTypeBaseSlots, baseSlots);

        std::map<std::pair<long long, WORD>, std::string> seen;
        for (size_t i = 0; i < members.size(); ++i) {
            const json& member = members[i];
            std::string where = name + "." + Required(member, "name", name + " member " + std::to_string(i));
            WORD invokeKind = ParseInvokeKind(Text(member, "kind", "method"), where);
            long long id = ParseNumber(member.at("id"), where);
            if (!seen.emplace(std::make_pair(id, invokeKind), where).second)
                throw Failure(where + ": dispatch id " + std::to_string(id) + " is used twice");
            const json params = member.value("params", json::array());
            BYTE* function = Grow(m_functions, kFunctionSize);
            PutU32(function + kFunctionMemberId, static_cast<DWORD>(id));
            PutU32(function + kFunctionName, m_strings.Add(Text(member, "name")));
            PutU32(function + kFunctionHelpString, m_strings.Add(Text(member, "helpstring")));
            PutU16(function + kFunctionInvokeKind, invokeKind);
            PutU16(function + kFunctionSlot, static_cast<WORD>(baseSlots + i));
            PutU32(function + kFunctionFirstParameter, static_cast<DWORD>(m_parameters.size() / kParameterSize));
            PutU16(function + kFunctionParameterCount, static_cast<WORD>(params.size()));
            for (size_t p = 0; p < params.size(); ++p)
                AddParameter(params[p], where, p + 1 == params.size());
        }
    }

    void AddParameter(const json& param, const std::string& member, bool last)
    {
        std::string where = member + "(" + Required(param, "name", member + " parameter") + ")";
        ParamType type = ParseType(Required(param, "type", where), m_typeIndex, where);
        WORD flags = ParseParamFlags(param, where);
        if ((flags & PARAMFLAG_FRETVAL) && (!last || type.indirections == 0))
            throw Failure(where + ": retval must be the last parameter and a pointer");
        if (type.vt == VT_USERDEFINED && m_kinds[type.refType] == "coclass")
            throw Failure(where + ": a class is not a parameter type");
        BYTE* record = Grow(m_parameters, kParameterSize);
        PutU32(record + kParameterName, m_strings.Add(Text(param, "name")));
        PutU16(record + kParameterFlags, flags);
        PutU16(record + kParameterVt, type.vt);
        PutU16(record + kParameterIndirections, type.indirections);
        PutU16(record + kParameterRefType, type.refType);
    }

    void AddClass(const json& type, size_t offset)
    {
        std::string name = type["name"].get<std::string>();
        const json interfaces = type.value("interfaces", json::array());
        BYTE* record = &m_types[offset];
        PutU16(record + kTypeKind, TKIND_COCLASS);
        PutU16(record + kTypeFlags, TYPEFLAG_FCANCREATE);
        PutU32(record + kTypeFirstMember, static_cast<DWORD>(m_impls.size() / kImplSize));
        PutU32(record + kTypeMemberCount, static_cast<DWORD>(interfaces.size()));
        for (const auto& entry : interfaces) {
            std::string interfaceName = Required(entry, "name", name);
            auto found = m_typeIndex.find(interfaceName);
            if (found == m_typeIndex.end() || m_kinds[found->second] != "interface")
                throw Failure(name + ": \"" + interfaceName + "\" is not an interface of the library");
            BYTE* impl = Grow(m_impls, kImplSize);
            PutU16(impl + kImplType, found->second);
            PutU16(impl + kImplFlags, entry.value("default", false) ? IMPLTYPEFLAG_FDEFAULT : 0);
        }
    }

    std::vector<BYTE> Emit(const json& library)
    {
        std::string name = Required(library, "name", "library");
        WORD major = 0, minor = 0;
        ParseVersion(Required(library, "version", "library"), major, minor, "library");
        std::vector<BYTE> out(kHeaderSize);
        PutU32(&out[kHeaderMagic], kMagic);
        PutU16(&out[kHeaderVersion], kFormatVersion);
        PutGuid(&out[kHeaderLibId], ParseGuid(Required(library, "uuid", "library"), "library"));
        PutU16(&out[kHeaderMajor], major);
        PutU16(&out[kHeaderMinor], minor);
        PutU32(&out[kHeaderLcid], library.contains("lcid") ? static_cast<DWORD>(ParseNumber(library["lcid"], "library")) : 0);
        PutU32(&out[kHeaderName], m_strings.Add(name));
        PutU32(&out[kHeaderHelpString], m_strings.Add(Text(library, "helpstring")));
        PutU32(&out[kHeaderTypeCount], static_cast<DWORD>(m_types.size() / kTypeSize));
        PutU32(&out[kHeaderFunctionCount], static_cast<DWORD>(m_functions.size() / kFunctionSize));
        PutU32(&out[kHeaderParameterCount], static_cast<DWORD>(m_parameters.size() / kParameterSize));
        PutU32(&out[kHeaderConstantCount], static_cast<DWORD>(m_constants.size() / kConstantSize));
        PutU32(&out[kHeaderImplCount], static_cast<DWORD>(m_impls.size() / kImplSize));
        PutU32(&out[kHeaderStringPoolSize], static_cast<DWORD>(m_strings.Bytes().size()));
        const std::vector<BYTE>* parts[] = {&m_types, &m_functions, &m_parameters, &m_constants, &m_impls,
            &m_strings.Bytes()};
        for (const std::vector<BYTE>* part : parts)
            out.insert(out.end(), part->begin(), part->end());
        return out;
    }

    static BYTE* Grow(std::vector<BYTE>& records, size_t size)
    {
        records.resize(records.size() + size);
        return &records[records.size() - size];
    }

    std::map<std::string, WORD> m_typeIndex;
    std::vector<std::string> m_kinds;
    StringPool m_strings;
    std::vector<BYTE> m_types, m_functions, m_parameters, m_constants, m_impls;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: typelib <description.json> <output.tlb>\n";
        return 2;
    }
    std::ifstream input(argv[1]);
    if (!input) {
        std::cerr << "typelib: cannot open " << argv[1] << "\n";
        return 1;
    }
    try {
        json description = json::parse(input);
        std::vector<BYTE> bytes = Compiler().Compile(description);
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!output) {
            std::cerr << "typelib: cannot write " << argv[2] << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "typelib: " << argv[1] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
