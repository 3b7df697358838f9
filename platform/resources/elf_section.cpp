#include "platform/resources/elf_section.h"

#include <elf.h>

#include <cstring>
#include <fstream>

#include "platform/base/errors.h"

namespace yolt {
namespace {

bool ReadAt(std::ifstream& file, uint64_t offset, void* buffer, uint64_t size, uint64_t fileSize)
{
    if (offset > fileSize || size > fileSize - offset)
        return false;
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<uint64_t>(file.gcount()) == size;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadElfSection(const std::filesystem::path& path, const char* name, DWORD& error)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    uint64_t fileSize = std::filesystem::file_size(path, ec);
    std::ifstream file(path, std::ios::binary);
    error = ERROR_BAD_EXE_FORMAT;
    Elf64_Ehdr header;
    if (ec || !file || !ReadAt(file, 0, &header, sizeof header, fileSize))
        return std::nullopt;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64
        || header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_shentsize != sizeof(Elf64_Shdr)
        || header.e_shstrndx >= header.e_shnum)
        return std::nullopt;

    std::vector<Elf64_Shdr> sections(header.e_shnum);
    if (!ReadAt(file, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr), fileSize))
        return std::nullopt;
    const auto& namesSection = sections[header.e_shstrndx];
    std::vector<char> names(namesSection.sh_size + 1, '\0');
    if (!ReadAt(file, namesSection.sh_offset, names.data(), namesSection.sh_size, fileSize))
        return std::nullopt;

    for (const auto& section : sections) {
        if (section.sh_name >= namesSection.sh_size || std::strcmp(names.data() + section.sh_name, name) != 0)
            continue;
        if (section.sh_type == SHT_NOBITS)
            break;
        std::vector<uint8_t> bytes(section.sh_size);
        if (!ReadAt(file, section.sh_offset, bytes.data(), bytes.size(), fileSize))
            return std::nullopt;
        error = ERROR_SUCCESS;
        return bytes;
    }
    error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return std::nullopt;
}

}  // namespace yolt
