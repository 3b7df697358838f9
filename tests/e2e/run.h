// Running the built programs as separate processes, on a temporary machine folder.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace e2e {

struct Result {
    int exit = -1;
    std::string out;  // standard output and standard error, in order
};

inline std::filesystem::path Bin()
{
    const char* bin = std::getenv("YOLT_BIN");
    return bin ? std::filesystem::path(bin) : std::filesystem::path("build/bin");
}

/// Runs `program` (a name in the build's bin folder) with `arguments` (already quoted for the
/// shell) on the machine at `machine`.
inline Result Run(const std::filesystem::path& machine, const std::string& program, const std::string& arguments,
    const std::string& environment = "")
{
    std::string command = environment + " YOLT_MACHINE='" + machine.string() + "' YOLT_DISPLAY=headless '" +
        (Bin() / program).string() + "' " + arguments + " 2>&1";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    int status = pclose(pipe);
    result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

/// A fresh machine folder with a virtual clock, removed at the end.
class Machine {
public:
    explicit Machine(const std::string& system)
    {
        folder_ = std::filesystem::temp_directory_path() /
            ("yolt-e2e-" + std::to_string(std::rand()) + "-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::remove_all(folder_);
        e2e::Run(folder_, "yolt-machine", "create '" + folder_.string() + "' --os " + system);
        e2e::Run(folder_, "yolt-machine", "set clock virtual");
    }
    ~Machine() { std::filesystem::remove_all(folder_); }
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    Result Run(const std::string& program, const std::string& arguments, const std::string& environment = "") const
    {
        return e2e::Run(folder_, program, arguments, environment);
    }
    /// Registers the component (and the string provider when asked).
    void Register(bool stringProvider = false) const
    {
        Run("regsvr", "'" + (Bin() / "KVXRDTCT.dll").string() + "'");
        if (stringProvider)
            Run("regsvr", "'" + (Bin() / "KVXRSTR.dll").string() + "'");
    }
    std::filesystem::path Drive(char letter) const { return folder_ / "drives" / std::string(1, letter); }

private:
    std::filesystem::path folder_;
};

}  // namespace e2e
