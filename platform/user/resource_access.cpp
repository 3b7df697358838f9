// Where the window system finds resources of modules (bitmaps, icons, cursors, dialog templates).
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
    if (!Provider())
        return std::nullopt;
    return Provider()(module, type, name);
}

}  // namespace yolt::user
