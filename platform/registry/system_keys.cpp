// Keys of the registry that describe the running system, served live from the machine:
// HKLM\SYSTEM\CurrentControlSet\Control\ProductOptions with the NT family's product type.
#include "platform/registry/live_keys.h"

#include <exception>

#include "platform/registry/registry.h"

#include "platform/machine/machine.h"

namespace yolt::registry {

namespace {

constexpr char16_t kProductOptions[] = u"SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

// "WinNT" for a workstation, "LanmanNT" for a domain controller, "ServerNT" for a server. A
// 95-family machine, or a product type the machine does not name, leaves the place to the hive.
std::unique_ptr<Key> ProductOptionsTree()
{
    machine::SystemVersion version;
    try {
        version = machine::CurrentMachine().Version();
    } catch (const std::exception&) {
        return nullptr;
    }
    const char16_t* type = nullptr;
    switch (version.productType) {
    case 1: type = u"WinNT"; break;
    case 2: type = u"LanmanNT"; break;
    case 3: type = u"ServerNT"; break;
    }
    if (version.platformId != 2 || !type)
        return nullptr;
    auto tree = std::make_unique<Key>();
    tree->SetString(u"ProductType", type);
    return tree;
}

// Registered when the library is loaded.
const bool kRegistered = (RegisterLiveTree(HKEY_LOCAL_MACHINE, kProductOptions, ProductOptionsTree), true);

}  // namespace

}  // namespace yolt::registry
