// The scripted-session steps that change the simulated machine the program runs on, as
// yolt-machine does: `plug MODEL [DRIVE]` attaches a player, `unplug [DRIVE]` detaches one.
#include "platform/display/machine_steps.h"

#include <cctype>

#include "platform/machine/machine_error.h"
#include "platform/machine/player_models.h"
#include "platform/machine/simulated_machine.h"

namespace yolt::display {
namespace {

// A drive argument: "F", "F:" or "F:\"; 0 when it is none of these.
char DriveLetterOf(const std::string& text)
{
    if (text.empty() || text.size() > 3 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    if (text.size() >= 2 && text[1] != ':')
        return 0;
    if (text.size() == 3 && text[2] != '\\')
        return 0;
    return char(std::toupper(static_cast<unsigned char>(text[0])));
}

machine::SimulatedMachine* CurrentSimulatedMachine()
{
    try {
        return dynamic_cast<machine::SimulatedMachine*>(&machine::CurrentMachine());
    } catch (const machine::MachineError&) {
        return nullptr;
    }
}

Step PlugStep(std::string model, char drive)
{
    return [model, drive](Headless&) {
        auto* simulated = CurrentSimulatedMachine();
        if (!simulated)
            return StepResult::Fail("the program does not run on a simulated machine");
        if (drive && simulated->Description().FindDrive(drive))
            return StepResult::Fail(std::string("drive ") + drive + ": is already in use");
        try {
            simulated->Change([&](machine::MachineDocument& document) { document.Plug(machine::PlayerPlug(model, drive)); });
        } catch (const machine::MachineError& error) {
            return StepResult::Fail(error.what());
        }
        return StepResult::Ok();
    };
}

Step UnplugStep(char drive)
{
    return [drive](Headless&) {
        auto* simulated = CurrentSimulatedMachine();
        if (!simulated)
            return StepResult::Fail("the program does not run on a simulated machine");
        auto devices = simulated->UsbDevices();
        std::string chosen;
        for (const auto& device : devices)
            if (!drive || device.drive == drive)
                chosen = chosen.empty() ? device.deviceId : "several";
        if (chosen.empty())
            return StepResult::Fail(drive ? std::string("no device is attached as ") + drive + ":" : "no device is attached");
        if (chosen == "several")
            return StepResult::Fail("several devices are attached: name the drive of the one to unplug");
        try {
            simulated->Change([&](machine::MachineDocument& document) { document.RemoveDevice(chosen); });
        } catch (const machine::MachineError& error) {
            return StepResult::Fail(error.what());
        }
        return StepResult::Ok();
    };
}

}  // namespace

ScriptStepFactory PlugStepFactory()
{
    return [](const std::vector<std::string>& args, std::string& error) -> Step {
        if (args.empty() || args.size() > 2) {
            error = "expects a player model and optionally a drive letter";
            return {};
        }
        auto model = machine::FindPlayerModel(args[0]);
        if (!model) {
            error = "knows no player model \"" + args[0] + "\" (known: " + machine::PlayerModelNames() + ")";
            return {};
        }
        char drive = args.size() == 2 ? DriveLetterOf(args[1]) : 0;
        if (args.size() == 2 && !drive) {
            error = "expects a drive letter such as F:";
            return {};
        }
        return PlugStep(model->name, drive);
    };
}

ScriptStepFactory UnplugStepFactory()
{
    return [](const std::vector<std::string>& args, std::string& error) -> Step {
        if (args.size() > 1) {
            error = "expects at most a drive letter";
            return {};
        }
        char drive = args.size() == 1 ? DriveLetterOf(args[0]) : 0;
        if (args.size() == 1 && !drive) {
            error = "expects a drive letter such as F:";
            return {};
        }
        return UnplugStep(drive);
    };
}

}  // namespace yolt::display
