// A temporary machine whose registry folder is a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/machine/machine.h"
#include "platform/registry/live_keys.h"
#include "platform/registry/registry.h"

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/yolt-registry-XXXXXX";
        root = mkdtemp(pattern);
        machine = std::make_shared<yolt::machine::MemoryMachine>();
        machine->registryFolder = root / "registry";
        yolt::machine::SetCurrentMachine(machine);
    }
    void TearDown() override
    {
        yolt::machine::SetCurrentMachine(nullptr);
        std::filesystem::remove_all(root);
    }

    std::filesystem::path Hive(const char* name = "HKLM.reg") { return machine->registryFolder / name; }

    std::string ReadFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void WriteFile(const std::filesystem::path& path, const std::string& text)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    // Drops what this process holds of the hives, so the next call reads the files again.
    void ForgetHives()
    {
        auto other = std::make_shared<yolt::machine::MemoryMachine>();
        yolt::machine::SetCurrentMachine(other);
        yolt::registry::HiveProblem(HKEY_LOCAL_MACHINE);
        yolt::registry::HiveProblem(HKEY_CURRENT_USER);
        yolt::machine::SetCurrentMachine(machine);
    }

    std::u16string QueryString(HKEY root, const char16_t* path, const char16_t* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return u"<no key>";
        char16_t buffer[256] = {};
        DWORD size = sizeof buffer, type = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::u16string(buffer) : u"<no value>";
    }

    std::filesystem::path root;
    std::shared_ptr<yolt::machine::MemoryMachine> machine;
};
