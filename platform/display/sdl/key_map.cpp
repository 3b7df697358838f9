#include "platform/display/sdl/key_map.h"

#include "platform/user/message.h"

namespace yolt::display::sdl {

UINT VirtualKeyOf(SDL_Keycode key)
{
    // Letters and digits are their upper-case character codes.
    if (key >= SDLK_a && key <= SDLK_z)
        return UINT('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return UINT('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return UINT(0x70 + (key - SDLK_F1));
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_DELETE: return VK_DELETE;
    }
    return 0;
}

}  // namespace yolt::display::sdl
