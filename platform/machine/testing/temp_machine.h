// A temporary simulated machine for tests: created in a fresh folder, installed as the
// process's current machine and named by YOLT_MACHINE for child processes, removed at the
// end unless the test failed (then its folder is printed and kept for inspection).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine/simulated_machine.h"

namespace yolt::machine {

class TempMachine {
public:
    /// A machine running the named system ("xp", "98se"…) with `players` attached, a virtual
    /// clock and a fixed C:. Throws MachineError for an unknown system or model.
    explicit TempMachine(const std::string& system = "xp", const std::vector<PlayerPlug>& players = {});
    ~TempMachine();
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    const std::filesystem::path& Folder() const { return m_folder; }
    SimulatedMachine& Machine() { return *m_machine; }
    std::shared_ptr<SimulatedMachine> Shared() { return m_machine; }
    /// The host folder holding drive `letter`'s content.
    std::filesystem::path DriveFolder(char letter) const { return m_machine->DriveFolder(letter); }
    /// Replaces machine.json with `text` as it stands (for tests of malformed descriptions).
    void WriteDescription(const std::string& text);
    /// Edits the description (see SimulatedMachine::Change).
    void Change(const std::function<void(MachineDocument&)>& edit) { m_machine->Change(edit); }

private:
    std::filesystem::path m_folder;
    std::shared_ptr<SimulatedMachine> m_machine;
    std::optional<std::string> m_previousEnvironment;
};

}  // namespace yolt::machine
