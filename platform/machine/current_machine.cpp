// Which machine this process runs on.
#include "platform/machine/machine.h"

#include <cstdlib>
#include <mutex>

#include "platform/machine/machine_error.h"
#include "platform/machine/simulated_machine.h"

namespace yolt::machine {

namespace {
std::mutex g_currentLock;
std::shared_ptr<Machine> g_current;

std::shared_ptr<Machine> MachineOfEnvironment()
{
    const char* named = std::getenv("YOLT_MACHINE");
    if (named && named[0]) {
        if (std::string_view(named) == "host")
            throw MachineError("YOLT_MACHINE=host: the host machine is not available in this build; "
                               "name a simulated machine's folder instead");
        return std::make_shared<SimulatedMachine>(named);
    }
    auto folder = DefaultMachineFolder();
    if (!SimulatedMachine::Exists(folder))
        SimulatedMachine::Create(folder, DemonstrationMachine(), IfMachineExists::Keep);
    return std::make_shared<SimulatedMachine>(folder);
}
}  // namespace

Machine& CurrentMachine()
{
    std::lock_guard guard(g_currentLock);
    if (!g_current)
        g_current = MachineOfEnvironment();
    return *g_current;
}

void SetCurrentMachine(std::shared_ptr<Machine> machine)
{
    std::lock_guard guard(g_currentLock);
    g_current = std::move(machine);
}

}  // namespace yolt::machine
