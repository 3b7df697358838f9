// Where the window system finds resources of modules (bitmaps, icons, cursors, dialog
// templates): the module's own resources, unless a provider has been set (tests).
#include "platform/resources/resource_directory.h"
#include "platform/resources/resources.h"
#include "platform/user/internal.h"

namespace yolt::user {
namespace {
ResourceProvider& Provider()
{
    static ResourceProvider provider;
    return provider;
}
}  // namespace

void SetResourceProvider(ResourceProvider provider)
{
    Provider() = std::move(provider);
}

std::optional<std::vector<BYTE>> ResourceBytes(HINSTANCE module, WORD type, const std::u16string& name)
{
    if (Provider())
        return Provider()(module, type, name);
    auto bytes = yolt::ModuleResource(module, rsrc::ResourceKey::Id(type), rsrc::ResourceKey::FromWide(name.c_str()));
    if (bytes.empty())
        return std::nullopt;
    return std::vector<BYTE>(bytes.begin(), bytes.end());
}

}  // namespace yolt::user
