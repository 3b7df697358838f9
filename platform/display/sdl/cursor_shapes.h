// The window system's cursors as SDL cursors: the arrow, I-beam, wait and hand cursors of the
// system set become the desktop's own shapes; any other cursor (a program's resource) is made
// from its pixels, mask and hot spot.
#pragma once

#include <SDL.h>

#include <map>

#include "platform/user/window.h"

namespace yolt::display::sdl {

class CursorShapes {
public:
    CursorShapes() = default;
    ~CursorShapes();
    CursorShapes(const CursorShapes&) = delete;
    CursorShapes& operator=(const CursorShapes&) = delete;

    /// Makes `cursor` the pointer's shape over the program's windows; null hides the pointer.
    void Show(HCURSOR cursor);

private:
    SDL_Cursor* Make(HCURSOR cursor);
    std::map<HCURSOR, SDL_Cursor*> m_made;
};

/// An ARGB surface of an icon or cursor (masked pixels transparent), or null for a bad handle.
/// The caller frees it with SDL_FreeSurface.
SDL_Surface* SurfaceOfIcon(HICON icon);

}  // namespace yolt::display::sdl
