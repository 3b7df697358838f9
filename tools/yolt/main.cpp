// yolt: a command-line client of the KVXRDTCT component, for scripts and headless use. It
// creates the detector by its ProgID on the machine named by YOLT_MACHINE, as the utility does.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/yolt/commands.h"

namespace {

using namespace yolt::cli;

constexpr const char* kUsageText =
    "usage: yolt COMMAND [OPTIONS]\n"
    "\n"
    "Talks to the player attached to the machine named by YOLT_MACHINE (default: the\n"
    "demonstration machine in $XDG_DATA_HOME/yolt/machine) through the KVXRDTCT component.\n"
    "\n"
    "commands:\n"
    "  detect [--json]        name the attached player and its properties\n"
    "  upgrade PACKAGE        write a firmware package (.kvu) to the player, then eject it\n"
    "  recover                write the player's recovery package, then eject it\n"
    "  inspect PACKAGE        list a package's members and where each would be written\n"
    "  scan                   rebuild the player's playlists from the tags of its music\n"
    "  eject                  eject the player so that it can be unplugged\n"
    "  about [--locale LCID]  the component's About text\n"
    "\n"
    "Run 'yolt COMMAND --help' for one command. PACKAGE is a host path or a Windows path.\n"
    "Exit codes: 0 success, 1 the operation failed or found no player, 2 bad command line,\n"
    "3 the component could not be created.\n";

struct CommandHelp {
    const char* name;
    const char* text;
};

constexpr CommandHelp kHelp[] = {
    {"detect", "usage: yolt detect [--json]\nNames the attached player (\"YOLT PX210 (E:)\") and lists Model, ModelName,\n"
               "Manufacturer, DrivePath and SupportFeature. With --json prints one JSON object:\n"
               "{\"count\": N, \"device\": {...} or null}. Exit 1 when no player is attached.\n"},
    {"upgrade", "usage: yolt upgrade PACKAGE\nWrites the firmware package onto the attached player and ejects it. The\n"
                "package's path must name the player's model (for example px210_v12.kvu for a PX210).\n"},
    {"recover", "usage: yolt recover\nWrites the recovery package of the player's model (Recovery.<MODEL>.kvu beside\n"
                "the component) onto the player and ejects it. A flash player holding more than\n"
                "5 MiB is refused: format it first.\n"},
    {"inspect", "usage: yolt inspect PACKAGE\nChecks the whole package, then lists its members with their sizes and the\n"
                "target each would get on the attached player, and the models its path names.\n"
                "Nothing is written to the player.\n"},
    {"scan", "usage: yolt scan\nRebuilds the Playlist folder of the attached player from the tags of the files\n"
             "below its Music folder.\n"},
    {"eject", "usage: yolt eject\nEjects the attached player so that it can be unplugged.\n"},
    {"about", "usage: yolt about [--locale LCID]\nPrints the component's About text. --locale sets the language of the\n"
              "component's messages first (for example 0x407 for German).\n"},
};

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "yolt: %s\nRun 'yolt --help' for the commands.\n", message.c_str());
    return kUsage;
}

bool WantsHelp(const std::vector<std::string>& args)
{
    for (const auto& a : args) {
        if (a == "--help" || a == "-h")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return UsageError("no command given");
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsageText, stdout);
        return kSuccess;
    }
    const CommandHelp* help = nullptr;
    for (const auto& h : kHelp) {
        if (command == h.name)
            help = &h;
    }
    if (!help)
        return UsageError("unknown command '" + command + "'");
    if (WantsHelp(args)) {
        std::fputs(help->text, stdout);
        return kSuccess;
    }

    bool json = false;
    bool setLocale = false;
    ULONG locale = 0;
    std::string package;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (command == "detect" && a == "--json") {
            json = true;
        } else if (command == "about" && a == "--locale" && i + 1 < args.size()) {
            char* end = nullptr;
            locale = static_cast<ULONG>(std::strtoul(args[++i].c_str(), &end, 0));
            if (!end || *end)
                return UsageError("'" + args[i] + "' is not a locale number");
            setLocale = true;
        } else if ((command == "upgrade" || command == "inspect") && package.empty() && !a.empty() && a[0] != '-') {
            package = a;
        } else {
            return UsageError("'" + a + "' is not an argument of '" + command + "'");
        }
    }
    if ((command == "upgrade" || command == "inspect") && package.empty())
        return UsageError(command + " needs a PACKAGE");

    Session session;
    if (int code = session.Start(); code != kSuccess)
        return code;
    if (command == "detect")
        return Detect(session, json);
    if (command == "upgrade")
        return Upgrade(session, package);
    if (command == "recover")
        return Recover(session);
    if (command == "inspect")
        return Inspect(session, package);
    if (command == "scan")
        return Scan(session);
    if (command == "eject")
        return Eject(session);
    return About(session, setLocale, locale);
}
