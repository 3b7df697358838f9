#include "platform/machine/testing/temp_machine.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

#include <gtest/gtest.h>

#include "platform/machine/machine_error.h"

namespace yolt::machine {

namespace {
std::filesystem::path MakeTemporaryFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && base[0] ? base : "/tmp") + "/yolt-machine-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw MachineError(pattern, 0, "cannot create a temporary folder");
    return pattern;
}
}  // namespace

TempMachine::TempMachine(const std::string& system, const std::vector<PlayerPlug>& players)
{
    MachineDocument document(system);
    document.SetVirtualClock(true);
    for (const auto& player : players)
        document.Plug(player);
    m_folder = MakeTemporaryFolder();
    SimulatedMachine::Create(m_folder, document);
    m_machine = std::make_shared<SimulatedMachine>(m_folder);
    if (const char* previous = std::getenv("YOLT_MACHINE"))
        m_previousEnvironment = previous;
    ::setenv("YOLT_MACHINE", m_folder.c_str(), 1);
    SetCurrentMachine(m_machine);
}

TempMachine::~TempMachine()
{
    SetCurrentMachine(nullptr);
    if (m_previousEnvironment)
        ::setenv("YOLT_MACHINE", m_previousEnvironment->c_str(), 1);
    else
        ::unsetenv("YOLT_MACHINE");
    m_machine.reset();
    if (::testing::Test::HasFailure()) {
        std::cerr << "TempMachine: kept " << m_folder.string() << " for inspection" << std::endl;
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void TempMachine::WriteDescription(const std::string& text)
{
    // Written beside and renamed over, as every writer of machine.json does.
    auto file = m_machine->DescriptionFile();
    auto temporary = file;
    temporary += ".test";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::filesystem::rename(temporary, file);
}

}  // namespace yolt::machine
