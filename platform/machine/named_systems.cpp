#include "platform/machine/named_systems.h"

#include "platform/base/wtext.h"

namespace yolt::machine {

namespace {
SystemVersion Family95(DWORD minor, DWORD build, std::string csd)
{
    SystemVersion v;
    v.platformId = 1;
    v.major = 4;
    v.minor = minor;
    v.build = build;
    v.csdVersion = std::move(csd);
    v.servicePackMajor = 0;
    v.servicePackMinor = 0;
    v.extendedQueryWorks = false;
    v.productType = 1;
    return v;
}

SystemVersion FamilyNt(DWORD major, DWORD minor, DWORD build, WORD servicePack, BYTE productType)
{
    SystemVersion v;
    v.platformId = 2;
    v.major = major;
    v.minor = minor;
    v.build = build;
    v.productType = productType;
    ApplyServicePack(v, servicePack);
    return v;
}
}  // namespace

const std::vector<NamedSystem>& NamedSystems()
{
    static const std::vector<NamedSystem> systems = {
        {"95", "Windows 95", Family95(0, 950, "")},
        {"95osr2", "Windows 95 OSR2", Family95(0, 1111, " B")},
        {"98", "Windows 98", Family95(10, 1998, "")},
        {"98se", "Windows 98 Second Edition", Family95(10, 2222, " A")},
        {"me", "Windows Millennium Edition", Family95(90, 3000, "")},
        {"nt4", "Windows NT 4.0", FamilyNt(4, 0, 1381, 6, 1)},
        {"2000", "Windows 2000", FamilyNt(5, 0, 2195, 4, 1)},
        {"xp", "Windows XP", FamilyNt(5, 1, 2600, 2, 1)},
        {"2003", "Windows Server 2003", FamilyNt(5, 2, 3790, 2, 3)},
        {"vista", "Windows Vista", FamilyNt(6, 0, 6002, 2, 1)},
        {"10", "Windows 10", FamilyNt(10, 0, 19045, 0, 1)},
    };
    return systems;
}

std::optional<NamedSystem> FindNamedSystem(std::string_view name)
{
    for (const auto& system : NamedSystems()) {
        if (system.name.size() == name.size() && _strnicmp(system.name.data(), name.data(), name.size()) == 0)
            return system;
    }
    return std::nullopt;
}

std::string NamedSystemNames()
{
    std::string names;
    for (const auto& system : NamedSystems())
        names += (names.empty() ? "" : ", ") + system.name;
    return names;
}

void ApplyServicePack(SystemVersion& version, WORD servicePack)
{
    version.servicePackMajor = servicePack;
    version.servicePackMinor = 0;
    version.csdVersion = servicePack ? "Service Pack " + std::to_string(servicePack) : "";
    if (version.platformId != 2) {
        version.extendedQueryWorks = false;
        return;
    }
    version.extendedQueryWorks = version.major > 4 || servicePack >= 6;
}

std::optional<LocaleCodePages> CodePagesOfLocale(LCID locale)
{
    switch (locale & 0xFFFF) {
    case 0x0409:  // English (United States)
        return LocaleCodePages{1252, 437};
    case 0x0809:  // English (United Kingdom)
    case 0x0407:  // German
    case 0x040C:  // French
    case 0x0410:  // Italian
    case 0x0C0A:  // Spanish
    case 0x0413:  // Dutch
        return LocaleCodePages{1252, 850};
    case 0x0405:  // Czech
    case 0x0415:  // Polish
    case 0x040E:  // Hungarian
        return LocaleCodePages{1250, 852};
    case 0x0419:  // Russian
        return LocaleCodePages{1251, 866};
    case 0x0408:  // Greek
        return LocaleCodePages{1253, 737};
    case 0x041F:  // Turkish
        return LocaleCodePages{1254, 857};
    case 0x0411:  // Japanese
        return LocaleCodePages{932, 932};
    case 0x0412:  // Korean
        return LocaleCodePages{949, 949};
    case 0x0804:  // Chinese (Simplified)
        return LocaleCodePages{936, 936};
    case 0x0404:  // Chinese (Traditional)
        return LocaleCodePages{950, 950};
    default:
        return std::nullopt;
    }
}

}  // namespace yolt::machine
