#include "platform/resources/resources.h"

#include <cstring>
#include <list>
#include <map>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/base/lasterror.h"
#include "platform/kernel/codepages.h"
#include "platform/kernel/modules.h"
#include "platform/kernel/paths.h"
#include "platform/resources/elf_section.h"

namespace yolt {
namespace {

// Blobs read from module files, kept for the life of the process so that pointers handed out
// by LoadResource stay valid; a file that changed is read again.
struct FileBlob {
    std::filesystem::file_time_type modified;
    uintmax_t size;
    std::vector<uint8_t> bytes;
};

std::mutex fileBlobsMutex;
std::map<std::string, FileBlob*> fileBlobs;
std::list<FileBlob> fileBlobStore;

const FileBlob* ReadFileBlob(const std::filesystem::path& path, DWORD& error)
{
    std::error_code ec;
    auto modified = std::filesystem::last_write_time(path, ec);
    auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::lock_guard lock(fileBlobsMutex);
    auto key = path.lexically_normal().string();
    auto found = fileBlobs.find(key);
    if (found != fileBlobs.end() && found->second->modified == modified && found->second->size == size)
        return found->second;
    auto bytes = ReadElfSection(path, rsrc::kSectionName, error);
    if (!bytes)
        return nullptr;
    fileBlobStore.push_back({modified, size, std::move(*bytes)});
    fileBlobs[key] = &fileBlobStore.back();
    return &fileBlobStore.back();
}

std::optional<rsrc::ResourceDirectory> OpenFileDirectory(const std::filesystem::path& path, DWORD& error)
{
    const FileBlob* blob = ReadFileBlob(path, error);
    if (blob == nullptr)
        return std::nullopt;
    auto directory = rsrc::ResourceDirectory::Open(blob->bytes.data(), blob->bytes.size());
    if (!directory)
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return directory;
}

// The resource directory of a loaded module: the blob its symbol exports when that symbol is
// the module's own, else the section read from its file.
std::optional<rsrc::ResourceDirectory> ModuleDirectory(HMODULE module, DWORD& error)
{
    HMODULE self = module != nullptr ? module : GetModuleHandleA(nullptr);
    auto symbol = static_cast<const uint8_t*>(ModuleSymbol(module, rsrc::kBlobSymbol));
    if (symbol != nullptr && ModuleFromAddress(symbol) == self) {
        rsrc::BlobHeader header;
        std::memcpy(&header, symbol, sizeof header);
        if (auto directory = rsrc::ResourceDirectory::Open(symbol, header.totalSize))
            return directory;
    }
    auto path = ModuleHostPath(module);
    if (path.empty()) {
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
        return std::nullopt;
    }
    auto directory = OpenFileDirectory(path, error);
    if (!directory && error != ERROR_RESOURCE_TYPE_NOT_FOUND)
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return directory;
}

HRSRC Find(HMODULE module, const rsrc::ResourceKey& type, const rsrc::ResourceKey& name, uint32_t language)
{
    DWORD error = ERROR_RESOURCE_DATA_NOT_FOUND;
    auto directory = ModuleDirectory(module, error);
    if (!directory) {
        SetLastError(error);
        return nullptr;
    }
    auto entry = directory->Find(type, name, language, &error);
    if (entry == nullptr) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<rsrc::Entry*>(entry));
}

const rsrc::Entry* CheckedEntry(HMODULE module, HRSRC resource, std::optional<rsrc::ResourceDirectory>& directory)
{
    DWORD error = ERROR_INVALID_HANDLE;
    directory = ModuleDirectory(module, error);
    if (!directory || resource == nullptr || !directory->Owns(resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<const rsrc::Entry*>(resource);
}

// The text of string `id` in the module's string table, or nullopt.
std::optional<std::u16string_view> FindString(HMODULE module, UINT id)
{
    if (id > 0xFFFF)
        return std::nullopt;
    auto block = ModuleResource(module, rsrc::ResourceKey::Id(6), rsrc::ResourceKey::Id(static_cast<uint16_t>(id / 16 + 1)));
    size_t at = 0;
    for (UINT index = 0; index < 16; ++index) {
        if (at + 2 > block.size())
            return std::nullopt;
        size_t length = block[at] | (block[at + 1] << 8);
        at += 2;
        if (length * 2 > block.size() - at)
            return std::nullopt;
        if (index == id % 16) {
            if (length == 0)
                return std::nullopt;
            return std::u16string_view(reinterpret_cast<const char16_t*>(block.data() + at), length);
        }
        at += length * 2;
    }
    return std::nullopt;
}

}  // namespace

std::span<const uint8_t> ModuleResource(HMODULE module, const rsrc::ResourceKey& type, const rsrc::ResourceKey& name)
{
    HRSRC found = Find(module, type, name, rsrc::kAnyLanguage);
    if (found == nullptr)
        return {};
    auto entry = reinterpret_cast<const rsrc::Entry*>(found);
    std::optional<rsrc::ResourceDirectory> directory;
    if (CheckedEntry(module, found, directory) == nullptr)
        return {};
    return directory->Data(*entry);
}

bool ReadFileResource(const std::filesystem::path& hostPath, const rsrc::ResourceKey& type,
    const rsrc::ResourceKey& name, std::vector<uint8_t>& data, DWORD& error)
{
    auto directory = OpenFileDirectory(hostPath, error);
    if (!directory)
        return false;
    auto entry = directory->Find(type, name, rsrc::kAnyLanguage, &error);
    if (entry == nullptr)
        return false;
    auto bytes = directory->Data(*entry);
    data.assign(bytes.begin(), bytes.end());
    error = ERROR_SUCCESS;
    return true;
}

bool ReadFileResourceW(LPCWSTR windowsPath, const rsrc::ResourceKey& type, const rsrc::ResourceKey& name,
    std::vector<uint8_t>& data, DWORD& error)
{
    if (windowsPath == nullptr) {
        error = ERROR_INVALID_PARAMETER;
        return false;
    }
    auto mapped = MapWindowsPath(windowsPath, error);
    if (!mapped)
        return false;
    return ReadFileResource(mapped->host, type, name, data, error);
}

}  // namespace yolt

using yolt::rsrc::ResourceKey;

extern "C" {

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    return yolt::Find(module, ResourceKey::FromNarrow(type), ResourceKey::FromNarrow(name), yolt::rsrc::kAnyLanguage);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    return yolt::Find(module, ResourceKey::FromWide(type), ResourceKey::FromWide(name), yolt::rsrc::kAnyLanguage);
}

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language)
{
    return yolt::Find(module, ResourceKey::FromNarrow(type), ResourceKey::FromNarrow(name), language);
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language)
{
    return yolt::Find(module, ResourceKey::FromWide(type), ResourceKey::FromWide(name), language);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    std::optional<yolt::rsrc::ResourceDirectory> directory;
    auto entry = yolt::CheckedEntry(module, resource, directory);
    if (entry == nullptr)
        return nullptr;
    return const_cast<uint8_t*>(directory->Data(*entry).data());
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    std::optional<yolt::rsrc::ResourceDirectory> directory;
    auto entry = yolt::CheckedEntry(module, resource, directory);
    return entry == nullptr ? 0 : entry->dataSize;
}

int LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size)
{
    if (buffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto text = yolt::FindString(module, id);
    if (size == 0) {
        // The read-only text itself, which is not terminated.
        *reinterpret_cast<const WCHAR**>(buffer) = text ? text->data() : nullptr;
        return text ? static_cast<int>(text->size()) : 0;
    }
    if (size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!text) {
        buffer[0] = 0;
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    size_t count = std::min(text->size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text->data(), count * sizeof(WCHAR));
    buffer[count] = 0;
    return static_cast<int>(count);
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size)
{
    if (buffer == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = 0;
    auto text = yolt::FindString(module, id);
    if (!text) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    int needed = WideCharToMultiByte(CP_ACP, 0, text->data(), static_cast<int>(text->size()), nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return 0;
    std::string narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text->data(), static_cast<int>(text->size()), narrow.data(), needed, nullptr, nullptr);
    size_t count = std::min(narrow.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, narrow.data(), count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

}  // extern "C"
