// LoadTypeLib and LoadRegTypeLib: type libraries from compiled library files, from the
// "TYPELIB" resources of module files, and through their registration.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/base/wtext.h"
#include "platform/com/typeinfo.h"
#include "platform/resources/resources.h"
#include "platform/com/typelib_format.h"
#include "platform/kernel/paths.h"
#include "platform/registry/registry.h"

namespace {

std::optional<std::vector<BYTE>> ReadHostFile(std::u16string_view windowsPath)
{
    DWORD error = 0;
    auto mapped = yolt::MapWindowsPath(windowsPath, error);
    if (!mapped)
        return std::nullopt;
    std::ifstream in(mapped->host, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

bool IsCompiledLibrary(const std::vector<BYTE>& bytes)
{
    return bytes.size() >= 4 && yolt::tlb::GetU32(bytes.data()) == yolt::tlb::kMagic;
}

// Resource `id` of type "TYPELIB" of a module file, read without loading the module.
std::optional<std::vector<BYTE>> ReadTypeLibResource(std::u16string_view path, WORD id)
{
    std::u16string file(path);
    std::vector<uint8_t> data;
    DWORD error = 0;
    if (!yolt::ReadFileResourceW(file.c_str(), yolt::rsrc::ResourceKey::FromWide(u"TYPELIB"),
            yolt::rsrc::ResourceKey::Id(id), data, error))
        return std::nullopt;
    return std::vector<BYTE>(data.begin(), data.end());
}

}  // namespace

extern "C" {

HRESULT LoadTypeLib(LPCOLESTR file, ITypeLib** lib)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = nullptr;
    if (!file || !*file)
        return E_INVALIDARG;
    std::u16string path(file);
    WORD resource = 1;
    auto bytes = ReadHostFile(path);
    if (!bytes) {
        // "module\N" names resource N of the module.
        size_t slash = path.find_last_of(u'\\');
        std::u16string tail = slash == std::u16string::npos ? u"" : path.substr(slash + 1);
        bool numeric = !tail.empty() && tail.size() <= 5 &&
            tail.find_first_not_of(u"0123456789") == std::u16string::npos;
        if (!numeric)
            return TYPE_E_CANTLOADLIBRARY;
        resource = static_cast<WORD>(std::stoul(yolt::Utf8FromWide(tail)));
        path.resize(slash);
        bytes = ReadHostFile(path);
        if (!bytes)
            return TYPE_E_CANTLOADLIBRARY;
    }
    if (!IsCompiledLibrary(*bytes)) {
        bytes = ReadTypeLibResource(path, resource);
        if (!bytes)
            return TYPE_E_CANTLOADLIBRARY;
    }
    return yolt::LoadTypeLibFromMemory(bytes->data(), bytes->size(), lib);
}

HRESULT LoadRegTypeLib(REFGUID libid, WORD major, WORD minor, LCID lcid, ITypeLib** lib)
{
    if (!lib)
        return E_INVALIDARG;
    *lib = nullptr;
    char version[32];
    std::snprintf(version, sizeof version, "%x.%x", major, minor);
    std::string base = "TypeLib\\" + yolt::GuidToString(libid) + "\\" + version + "\\";
    for (LCID candidate : {lcid, static_cast<LCID>(0)}) {
        char locale[16];
        std::snprintf(locale, sizeof locale, "%x", static_cast<unsigned>(candidate));
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (base + locale + "\\win32").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        WCHAR path[MAX_PATH * 2] = {};
        DWORD size = sizeof path - sizeof(WCHAR);
        LONG error = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
        RegCloseKey(key);
        if (error == ERROR_SUCCESS)
            return LoadTypeLib(path, lib);
    }
    return TYPE_E_LIBNOTREGISTERED;
}

}  // extern "C"
