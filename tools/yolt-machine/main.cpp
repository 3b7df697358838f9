// yolt-machine: creates, shows and changes simulated machines.
// Exit codes: 0 success, 2 a bad command line, 1 any other failure; one message on stderr.
#include <cstdlib>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/machine/machine_error.h"
#include "platform/machine/named_systems.h"
#include "platform/machine/player_models.h"
#include "platform/machine/simulated_machine.h"
#include "tools/yolt-machine/arguments.h"
#include "tools/yolt-machine/sample_music.h"
#include "tools/yolt-machine/show.h"

using namespace yolt::machine;
using yolt::tools::Arguments;
using yolt::tools::UsageError;

namespace {

struct Command {
    const char* usage;  // the synopsis after "yolt-machine "
    const char* help;   // what it does and its options
    int (*run)(const Arguments& args, const std::optional<std::string>& machineFolder);
    std::vector<std::string> valued;
    std::vector<std::string> flags;
};

// The machine named by --machine, else by YOLT_MACHINE, else the default machine (created
// as the demonstration machine on first use, as programs do).
std::unique_ptr<SimulatedMachine> OpenMachine(const std::optional<std::string>& folder)
{
    if (folder)
        return std::make_unique<SimulatedMachine>(*folder);
    const char* named = std::getenv("YOLT_MACHINE");
    if (named && named[0]) {
        if (std::string_view(named) == "host")
            throw MachineError("YOLT_MACHINE=host: the host machine cannot be changed with yolt-machine");
        return std::make_unique<SimulatedMachine>(named);
    }
    auto fallback = DefaultMachineFolder();
    SimulatedMachine::Create(fallback, DemonstrationMachine(), IfMachineExists::Keep);
    return std::make_unique<SimulatedMachine>(fallback);
}

std::string CheckedSystem(const std::string& name)
{
    auto system = FindNamedSystem(name);
    if (!system)
        throw UsageError("unknown system \"" + name + "\" (known: " + NamedSystemNames() + ")");
    return system->name;
}

int Create(const Arguments& args, const std::optional<std::string>&)
{
    args.ExpectPositional(1, 1);
    std::string system = CheckedSystem(args.Value("--os").value_or("xp"));
    MachineDocument document(system);
    SimulatedMachine::Create(args.Positional()[0], document);
    std::cout << "Created a " << document.Description().systemDescription << " machine in " << args.Positional()[0] << "\n";
    return 0;
}

int Show(const Arguments& args, const std::optional<std::string>& folder)
{
    args.ExpectPositional(0, 0);
    auto machine = OpenMachine(folder);
    if (args.Has("--json"))
        yolt::tools::PrintMachineJson(*machine, std::cout);
    else
        yolt::tools::PrintMachine(*machine, std::cout);
    return 0;
}

int Plug(const Arguments& args, const std::optional<std::string>& folder)
{
    using yolt::tools::ParseHex;
    using yolt::tools::ParseNumber;
    args.ExpectPositional(1, 2);
    auto model = FindPlayerModel(args.Positional()[0]);
    if (!model)
        throw UsageError("unknown player model \"" + args.Positional()[0] + "\" (known: " + PlayerModelNames() + ")");
    PlayerPlug plug(model->name);
    if (args.Positional().size() == 2)
        plug.drive = yolt::tools::ParseDriveLetter(args.Positional()[1]);
    if (auto v = args.Value("--capacity"))
        plug.capacity = ParseNumber(*v, "--capacity", UINT64_MAX);
    plug.vendor = args.Value("--vendor");
    plug.product = args.Value("--product");
    if (auto v = args.Value("--bus"))
        plug.busType = static_cast<BYTE>(ParseNumber(*v, "--bus", 0xFF));
    if (auto v = args.Value("--vid"))
        plug.vendorId = static_cast<WORD>(ParseHex(*v, "--vid", 0xFFFF));
    if (auto v = args.Value("--pid"))
        plug.productId = static_cast<WORD>(ParseHex(*v, "--pid", 0xFFFF));
    if (auto v = args.Value("--status"))
        plug.status = static_cast<ULONG>(ParseNumber(*v, "--status", 0xFFFFFFFF));
    plug.inUse = args.Has("--in-use");

    auto machine = OpenMachine(folder);
    if (plug.drive && machine->FindDrive(plug.drive))
        throw UsageError(std::string("drive ") + plug.drive + ": is already in use");
    char letter = 0;
    machine->Change([&](MachineDocument& document) { letter = document.Plug(plug); });
    std::cout << model->name << " attached as " << letter << ":\n";
    if (args.Has("--sample-music")) {
        int songs = yolt::tools::WriteSampleMusic(machine->DriveFolder(letter) / "Music");
        std::cout << songs << " sample songs written to " << letter << ":\\Music\n";
    }
    return 0;
}

int Unplug(const Arguments& args, const std::optional<std::string>& folder)
{
    args.ExpectPositional(0, 1);
    std::optional<char> letter;
    if (!args.Positional().empty())
        letter = yolt::tools::ParseDriveLetter(args.Positional()[0]);
    auto machine = OpenMachine(folder);
    auto devices = machine->UsbDevices();
    const UsbDevice* chosen = nullptr;
    if (letter) {
        for (const auto& device : devices) {
            if (device.drive == *letter)
                chosen = &device;
        }
        if (!chosen)
            throw MachineError(std::string("no device is attached as ") + *letter + ":");
    } else {
        if (devices.empty())
            throw MachineError("no device is attached");
        if (devices.size() > 1)
            throw UsageError("several devices are attached: name the drive of the one to unplug");
        chosen = &devices[0];
    }
    bool removed = false;
    machine->Change([&](MachineDocument& document) { removed = document.RemoveDevice(chosen->deviceId); });
    if (!removed)
        throw MachineError("the device " + chosen->deviceId + " has gone already");
    std::cout << (chosen->model.empty() ? chosen->deviceId : chosen->model);
    if (chosen->drive)
        std::cout << " on " << chosen->drive << ":";
    std::cout << " detached\n";
    return 0;
}

int Set(const Arguments& args, const std::optional<std::string>& folder)
{
    args.ExpectPositional(2, 2);
    const std::string& what = args.Positional()[0];
    const std::string& value = args.Positional()[1];
    std::function<void(MachineDocument&)> edit;
    if (what == "os") {
        std::string system = CheckedSystem(value);
        edit = [system](MachineDocument& document) { document.SetSystem(system); };
    } else if (what == "codepage") {
        auto page = static_cast<UINT>(yolt::tools::ParseNumber(value, "the code page", 65535));
        if (page == 0)
            throw UsageError("the code page cannot be 0");
        edit = [page](MachineDocument& document) { document.SetCodePage(page); };
    } else if (what == "locale") {
        auto lcid = static_cast<LCID>(yolt::tools::ParseNumber(value, "the locale", 0xFFFFFFFF));
        edit = [lcid](MachineDocument& document) { document.SetLocale(lcid); };
    } else if (what == "clock") {
        if (value != "real" && value != "virtual")
            throw UsageError("the clock is \"real\" or \"virtual\"");
        bool isVirtual = value == "virtual";
        edit = [isVirtual](MachineDocument& document) { document.SetVirtualClock(isVirtual); };
    } else {
        throw UsageError("cannot set \"" + what + "\" (os, codepage, locale or clock)");
    }
    auto machine = OpenMachine(folder);
    machine->Change(edit);
    std::cout << what << " set to " << value << "\n";
    return 0;
}

const std::map<std::string, Command>& Commands()
{
    static const std::map<std::string, Command> commands = {
        {"create", {"create DIR [--os NAME]",
                       "Creates a simulated machine in DIR: machine.json, registry/ and drives/C/.\n"
                       "  --os NAME   the system it runs (default xp)",
                       Create, {"--os"}, {}}},
        {"show", {"show [--json]",
                     "Prints the machine's system, locale, drives (kind, capacity, used bytes, file\n"
                     "system, label) and USB devices.\n"
                     "  --json      print the same as JSON",
                     Show, {}, {"--json"}}},
        {"plug", {"plug MODEL [DRIVE] [options]",
                     "Attaches a player; without DRIVE it takes the first free letter from E:.\n"
                     "  --capacity BYTES  the drive's size\n"
                     "  --vendor S        the storage's vendor string, as given (default: the model's, 8 wide)\n"
                     "  --product S       the storage's product string, as given (default: the model's, 16 wide)\n"
                     "  --bus N           the storage's bus type (default 7, USB)\n"
                     "  --vid HEX         the USB vendor identifier\n"
                     "  --pid HEX         the USB product identifier\n"
                     "  --sample-music    fill the player's Music folder with a few tagged songs\n"
                     "  --status N        the device node's status bits (default 0x0000000A: started, driver loaded)\n"
                     "  --in-use          a program uses the player, so an eject request is refused",
                     Plug, {"--capacity", "--vendor", "--product", "--bus", "--vid", "--pid", "--status"}, {"--in-use", "--sample-music"}}},
        {"unplug", {"unplug [DRIVE]",
                       "Detaches the device at DRIVE, or the only attached device. Its drive's content\n"
                       "stays in drives/<letter>/ and shows again when a player is plugged there.",
                       Unplug, {}, {}}},
        {"set", {"set os NAME | set codepage N | set locale LCID | set clock real|virtual",
                    "Changes the system, the ANSI code page (and what the locale reports as its ANSI\n"
                    "code page), the thread locale (0x0409 or 1033; a known locale brings its code pages),\n"
                    "or the clock (virtual: waits cost no time, for scripts and tests).",
                    Set, {}, {}}},
    };
    return commands;
}

void PrintUsage(std::ostream& out)
{
    out << "Usage: yolt-machine [--machine DIR] COMMAND [ARGUMENTS]\n\n"
           "Creates, shows and changes simulated machines. The machine is DIR, else the folder\n"
           "named by YOLT_MACHINE, else the default machine ("
        << DefaultMachineFolder().string() << ").\n\nCommands:\n";
    for (const auto& [name, command] : Commands())
        out << "  " << command.usage << "\n";
    out << "\nSystems: " << NamedSystemNames() << "\nModels:  " << PlayerModelNames()
        << "\n\nRun 'yolt-machine COMMAND --help' for a command's details.\n";
}

int Run(std::vector<std::string> words)
{
    std::optional<std::string> machineFolder;
    std::vector<std::string> rest;
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--machine") {
            if (i + 1 >= words.size())
                throw UsageError("--machine needs a folder (see yolt-machine --help)");
            machineFolder = words[++i];
        } else if (words[i].rfind("--machine=", 0) == 0) {
            machineFolder = words[i].substr(10);
        } else {
            rest.push_back(words[i]);
        }
    }
    if (rest.empty())
        throw UsageError("no command given (see yolt-machine --help)");
    if (rest[0] == "--help" || rest[0] == "-h" || rest[0] == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    auto found = Commands().find(rest[0]);
    if (found == Commands().end())
        throw UsageError("unknown command \"" + rest[0] + "\" (see yolt-machine --help)");
    const Command& command = found->second;
    std::vector<std::string> commandWords(rest.begin() + 1, rest.end());
    for (const auto& word : commandWords) {
        if (word == "--help" || word == "-h") {
            std::cout << "Usage: yolt-machine [--machine DIR] " << command.usage << "\n\n" << command.help << "\n";
            return 0;
        }
    }
    try {
        return command.run(Arguments(commandWords, command.valued, command.flags), machineFolder);
    } catch (const UsageError& error) {
        throw UsageError(found->first + ": " + error.what() + " (usage: yolt-machine " + command.usage + ")");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << "yolt-machine: " << error.what() << "\n";
        return 2;
    } catch (const MachineError& error) {
        std::cerr << "yolt-machine: " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "yolt-machine: " << error.what() << "\n";
        return 1;
    }
}
