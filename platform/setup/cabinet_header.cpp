#include "platform/setup/cabinet_header.h"

#include <cstring>

#include "platform/kernel/files.h"

namespace yolt::setup {
namespace {

// Offsets of the header fields (all little-endian).
constexpr size_t kSignature = 0x00;
constexpr size_t kVersionMinor = 0x18;
constexpr size_t kVersionMajor = 0x19;
constexpr size_t kFolderCount = 0x1A;
constexpr size_t kFileCount = 0x1C;
constexpr size_t kFlags = 0x1E;
constexpr size_t kSetId = 0x20;
constexpr size_t kCabinetIndex = 0x22;
constexpr size_t kHeaderSize = 0x24;

WORD ReadWord(const BYTE* bytes, size_t offset)
{
    return static_cast<WORD>(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

std::optional<CabinetHeader> ReadCabinetHeader(LPCSTR path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BYTE bytes[kHeaderSize] = {};
    DWORD read = 0;
    BOOL ok = ReadFile(file, bytes, kHeaderSize, &read, nullptr);
    CloseHandle(file);
    if (!ok || read != kHeaderSize || std::memcmp(bytes + kSignature, "MSCF", 4) != 0)
        return std::nullopt;
    if (bytes[kVersionMajor] != 1 || bytes[kVersionMinor] != 3)
        return std::nullopt;
    CabinetHeader header;
    header.folderCount = ReadWord(bytes, kFolderCount);
    header.fileCount = ReadWord(bytes, kFileCount);
    header.flags = ReadWord(bytes, kFlags);
    header.setId = ReadWord(bytes, kSetId);
    header.cabinetIndex = ReadWord(bytes, kCabinetIndex);
    return header;
}

}  // namespace yolt::setup
