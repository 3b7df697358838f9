// A temporary machine for tests: a MemoryMachine made current, with drives whose folders live in
// a fresh temporary folder that is removed (read-only entries included) at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/machine/machine.h"

namespace yolt::testing {

class TempMachine {
public:
    TempMachine()
    {
        char templ[] = "/tmp/yolt-test-XXXXXX";
        root = ::mkdtemp(templ);
        machine = std::make_shared<machine::MemoryMachine>();
        machine::SetCurrentMachine(machine);
    }

    ~TempMachine()
    {
        machine::SetCurrentMachine(nullptr);
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root, ec);
    }

    /// Adds a drive backed by the folder root/<letter> and returns that folder.
    std::filesystem::path AddDrive(char letter, uint64_t capacity = 0,
        machine::DriveKind kind = machine::DriveKind::Removable)
    {
        machine::Drive drive;
        drive.letter = letter;
        drive.kind = kind;
        drive.capacity = capacity;
        drive.folder = root / std::string(1, letter);
        std::filesystem::create_directories(drive.folder);
        machine->drives.push_back(drive);
        return drive.folder;
    }

    /// Writes a host file with the given content, creating its folders.
    static void WriteHostFile(const std::filesystem::path& path, const std::string& content)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    static std::string ReadHostFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path root;
    std::shared_ptr<machine::MemoryMachine> machine;
};

}  // namespace yolt::testing
