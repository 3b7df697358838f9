// A temporary machine for the media scan's tests: drive E: in a temporary folder, the program's
// platform record set to the family under test, and a helper that dumps a folder tree with the
// content of every file, for byte-exact comparisons.
#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <string>

#include "platform/kernel/tests/temp_machine.h"
#include "shared/platform_record.h"

namespace scan_testing {

enum class Family { Nt, Windows9x };

inline void PrintTo(Family family, std::ostream* out)
{
    *out << (family == Family::Nt ? "NT family" : "95 family");
}

class ScanMachine {
public:
    explicit ScanMachine(Family family = Family::Nt, uint64_t capacity = 0)
    {
        e = m.AddDrive('E', capacity);
        if (family == Family::Windows9x) {
            m.machine->version.platformId = 1;
            m.machine->version.major = 4;
            m.machine->version.minor = 10;
        }
        g_osVersionRecord.platformId = family == Family::Nt ? 2 : 1;
        ResetConversionCodePageRule();
    }
    ~ScanMachine()
    {
        g_osVersionRecord = OsVersionRecord();
        ResetConversionCodePageRule();
    }

    /// Switches the machine's locale to one whose ANSI code page is `codePage`.
    void UseCodePage(UINT codePage, LCID locale)
    {
        m.machine->locale.threadLocale = locale;
        m.machine->locale.ansiCodePage = codePage;
        m.machine->locale.localeAnsiCodePage = std::to_string(codePage);
        ResetConversionCodePageRule();
    }

    yolt::testing::TempMachine m;
    std::filesystem::path e;
};

/// Every folder and file below `folder`, by path relative to it with '/' separators: folders
/// map to "<folder>", files to their exact bytes.
inline std::map<std::string, std::string> DumpTree(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> tree;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::string name = std::filesystem::relative(it->path(), folder).generic_string();
        tree[name] = it->is_directory() ? "<folder>" : yolt::testing::TempMachine::ReadHostFile(it->path());
    }
    return tree;
}

}  // namespace scan_testing
