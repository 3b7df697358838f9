#include "platform/display/presentation.h"

namespace yolt::display {
namespace {
std::shared_ptr<Presentation>& Current()
{
    static std::shared_ptr<Presentation> current;
    return current;
}
}  // namespace

Presentation* CurrentPresentation()
{
    return Current().get();
}

void SetPresentation(std::shared_ptr<Presentation> presentation)
{
    Current() = std::move(presentation);
}

}  // namespace yolt::display
