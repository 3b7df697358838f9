// kvu-pack: writes a firmware or recovery package (a cabinet file) from files and folders.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cabwriter.h"
#include "members.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: kvu-pack OUTPUT.kvu [--compress none|mszip] FILE|DIR...\n"
    "\n"
    "Writes a package (a cabinet file) holding the given files. A file is stored under its base\n"
    "name; a folder contributes every file below it, named relative to the folder with\n"
    "backslashes (Music\\intro.mp3). Data is stored uncompressed unless --compress mszip is given.\n"
    "\n"
    "Exit status: 0 written, 1 an input or the output failed, 2 wrong usage.\n";

int Usage(const char* problem)
{
    std::fprintf(stderr, "kvu-pack: %s\n%s", problem, kUsage);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
    }

    std::filesystem::path output;
    std::vector<std::filesystem::path> inputs;
    kvupack::Compression compression = kvupack::Compression::None;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--compress") {
            if (i + 1 == args.size())
                return Usage("--compress needs a value: none or mszip");
            const std::string& value = args[++i];
            if (value == "none")
                compression = kvupack::Compression::None;
            else if (value == "mszip")
                compression = kvupack::Compression::Mszip;
            else
                return Usage(("unknown compression \"" + value + "\" (none or mszip)").c_str());
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-')
            return Usage(("unknown option \"" + arg + "\"").c_str());
        if (output.empty())
            output = arg;
        else
            inputs.emplace_back(arg);
    }
    if (output.empty())
        return Usage("no output file given");
    if (inputs.empty())
        return Usage("no input files given");

    std::vector<kvupack::Member> members;
    std::string error;
    if (!kvupack::CollectMembers(inputs, output, members, error)) {
        std::fprintf(stderr, "kvu-pack: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!kvupack::WriteCabinet(output, members, compression, error)) {
        std::fprintf(stderr, "kvu-pack: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}
