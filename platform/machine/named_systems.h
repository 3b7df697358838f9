// The system versions a simulated machine can run, by short name ("98se", "xp"), and the
// code pages that go with a locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/machine/machine.h"

namespace yolt::machine {

struct NamedSystem {
    std::string name;         // "98se"
    std::string description;  // "Windows 98 Second Edition"
    SystemVersion version;
};

/// The named systems, oldest first: 95, 95osr2, 98, 98se, me, nt4, 2000, xp, 2003, vista, 10.
const std::vector<NamedSystem>& NamedSystems();
/// The system of that name (any case), or nothing.
std::optional<NamedSystem> FindNamedSystem(std::string_view name);
/// The names separated by ", " (for messages).
std::string NamedSystemNames();
/// Applies a service-pack level to an NT-family version: its text, its numbers and whether
/// the extended version query works (NT 4.0 has it from service pack 6 on).
void ApplyServicePack(SystemVersion& version, WORD servicePack);

/// The ANSI and OEM code pages of a locale, for the locales the machine knows; nothing otherwise.
struct LocaleCodePages {
    UINT ansi;
    UINT oem;
};
std::optional<LocaleCodePages> CodePagesOfLocale(LCID locale);

}  // namespace yolt::machine
