// Keys of SDL as the window system's virtual keys.
#pragma once

#include <SDL.h>

#include "platform/base/types.h"

namespace yolt::display::sdl {

/// The virtual key for an SDL key, or 0 for keys the window system has no use for (the
/// modifiers themselves among them).
UINT VirtualKeyOf(SDL_Keycode key);

}  // namespace yolt::display::sdl
