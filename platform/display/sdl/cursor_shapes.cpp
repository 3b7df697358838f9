#include "platform/display/sdl/cursor_shapes.h"

#include <vector>

#include "platform/user/cursor.h"

namespace yolt::display::sdl {
namespace {

SDL_SystemCursor DesktopShapeOf(WORD id)
{
    switch (id) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

}  // namespace

SDL_Surface* SurfaceOfIcon(HICON icon)
{
    SIZE size{};
    std::vector<uint32_t> pixels;
    std::vector<bool> mask;
    if (!yolt::user::IconInfo(icon, &size, nullptr) || !yolt::user::IconPixels(icon, pixels, mask))
        return nullptr;
    const size_t count = size_t(size.cx) * size_t(size.cy);
    if (size.cx <= 0 || size.cy <= 0 || pixels.size() < count || mask.size() < count)
        return nullptr;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, size.cx, size.cy, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return nullptr;
    for (int y = 0; y < size.cy; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch);
        for (int x = 0; x < size.cx; ++x) {
            const size_t i = size_t(y) * size_t(size.cx) + size_t(x);
            row[x] = mask[i] ? (0xFF000000u | (pixels[i] & 0xFFFFFFu)) : 0;
        }
    }
    return surface;
}

CursorShapes::~CursorShapes()
{
    for (auto& [handle, cursor] : m_made)
        SDL_FreeCursor(cursor);
}

void CursorShapes::Show(HCURSOR cursor)
{
    if (!cursor) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor* shape = Make(cursor);
    if (!shape)
        return;
    SDL_SetCursor(shape);
    SDL_ShowCursor(SDL_ENABLE);
}

SDL_Cursor* CursorShapes::Make(HCURSOR cursor)
{
    if (auto it = m_made.find(cursor); it != m_made.end())
        return it->second;
    SDL_Cursor* shape = nullptr;
    if (WORD id = yolt::user::SystemCursorId(cursor)) {
        shape = SDL_CreateSystemCursor(DesktopShapeOf(id));
    } else if (SDL_Surface* surface = SurfaceOfIcon(cursor)) {
        POINT hot{0, 0};
        yolt::user::IconInfo(cursor, nullptr, &hot);
        shape = SDL_CreateColorCursor(surface, hot.x, hot.y);
        SDL_FreeSurface(surface);
    }
    if (shape)
        m_made[cursor] = shape;
    return shape;
}

}  // namespace yolt::display::sdl
