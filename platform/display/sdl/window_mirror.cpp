#include "platform/display/sdl/window_mirror.h"

#include <algorithm>
#include <vector>

#include "platform/base/wtext.h"
#include "platform/display/sdl/cursor_shapes.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"
#include "platform/user/session.h"

namespace yolt::display::sdl {
namespace {

std::u16string TextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::vector<WCHAR> buffer(size_t(std::max(length, 0)) + 1, 0);
    GetWindowTextW(window, buffer.data(), int(buffer.size()));
    return std::u16string(buffer.data());
}

HICON IconOf(HWND window)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon)
        icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    return icon;
}

}  // namespace

bool WindowMirror::WantsFrame(HWND window)
{
    return (DWORD(GetWindowLongW(window, GWL_STYLE)) & WS_CAPTION) == WS_CAPTION;
}

WindowMirror::WindowMirror(HWND window) : m_window(window), m_framed(WantsFrame(window))
{
    m_place = Place();
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (!m_framed)
        flags |= SDL_WINDOW_BORDERLESS;
    // Owned windows (message boxes, dialogs) have no task bar entry of their own.
    if (GetWindow(window, GW_OWNER))
        flags |= SDL_WINDOW_SKIP_TASKBAR;
    m_title = TextOf(window);
    m_sdl = SDL_CreateWindow(Utf8FromWide(m_title).c_str(), m_place.x, m_place.y, m_place.w, m_place.h, flags);
}

WindowMirror::~WindowMirror()
{
    if (m_sdl)
        SDL_DestroyWindow(m_sdl);
}

SDL_Rect WindowMirror::Place() const
{
    RECT r{};
    GetWindowRect(m_window, &r);
    if (!m_framed)
        return {int(r.left), int(r.top), std::max(1, int(r.right - r.left)), std::max(1, int(r.bottom - r.top))};
    RECT client{};
    GetClientRect(m_window, &client);
    POINT origin{0, 0};
    ClientToScreen(m_window, &origin);
    return {int(origin.x), int(origin.y), std::max(1, int(client.right)), std::max(1, int(client.bottom))};
}

void WindowMirror::UpdateTitleAndIcon()
{
    std::u16string title = TextOf(m_window);
    if (title != m_title) {
        m_title = title;
        SDL_SetWindowTitle(m_sdl, Utf8FromWide(m_title).c_str());
    }
    HICON icon = IconOf(m_window);
    if (icon == m_icon)
        return;
    m_icon = icon;
    if (SDL_Surface* surface = SurfaceOfIcon(icon)) {
        SDL_SetWindowIcon(m_sdl, surface);
        SDL_FreeSurface(surface);
    }
}

void WindowMirror::Sync(WindowMirror* owner)
{
    if (!m_sdl)
        return;
    UpdateTitleAndIcon();
    HWND ownerWindow = owner ? owner->Window() : nullptr;
    if (ownerWindow != m_owner) {
        m_owner = ownerWindow;
        // Keeps the window above its owner on the desktop.
        if (owner)
            SDL_SetWindowModalFor(m_sdl, owner->Sdl());
    }
    SDL_Rect place = Place();
    if (place.x != m_place.x || place.y != m_place.y)
        SDL_SetWindowPosition(m_sdl, place.x, place.y);
    if (place.w != m_place.w || place.h != m_place.h) {
        SDL_SetWindowSize(m_sdl, place.w, place.h);
        m_dirty = true;
    }
    m_place = place;
    const bool iconic = IsIconic(m_window);
    if (m_dirty && !iconic)
        PresentPixels();
    if (!m_shown) {
        SDL_ShowWindow(m_sdl);
        m_shown = true;
        // The first frame may have been drawn before the window was mapped.
        Present();
    }
    if (iconic && !m_minimized) {
        m_minimized = true;
        SDL_MinimizeWindow(m_sdl);
    } else if (!iconic && m_minimized) {
        m_minimized = false;
        SDL_RestoreWindow(m_sdl);
    }
}

void WindowMirror::Hide()
{
    if (!m_sdl || !m_shown)
        return;
    SDL_HideWindow(m_sdl);
    m_shown = false;
    m_dirty = true;
}

void WindowMirror::PresentPixels()
{
    auto pixels = yolt::user::WindowPixels(m_window);
    // Reading the pixels paints what is pending, which reports the window changed again.
    m_dirty = false;
    if (!pixels || pixels->width <= 0 || pixels->height <= 0)
        return;
    RECT r{};
    GetWindowRect(m_window, &r);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(pixels->pixels.data(), pixels->width, pixels->height,
        32, pixels->width * 4, SDL_PIXELFORMAT_RGB888);
    SDL_Surface* target = SDL_GetWindowSurface(m_sdl);
    if (source && target) {
        SDL_Rect from{m_place.x - int(r.left), m_place.y - int(r.top), m_place.w, m_place.h};
        SDL_Rect to{0, 0, m_place.w, m_place.h};
        SDL_BlitSurface(source, &from, target, &to);
        SDL_UpdateWindowSurface(m_sdl);
    }
    if (source)
        SDL_FreeSurface(source);
}

void WindowMirror::Present()
{
    if (m_sdl && m_shown)
        SDL_UpdateWindowSurface(m_sdl);
}

POINT WindowMirror::ToScreen(int x, int y) const
{
    return {m_place.x + x, m_place.y + y};
}

void WindowMirror::MovedByDesktop(int x, int y)
{
    // Only framed windows are moved by the desktop; borderless ones move only when the window
    // system moves them, and their late move reports would pull a dragged window back.
    if (!m_framed || (x == m_place.x && y == m_place.y))
        return;
    RECT r{};
    GetWindowRect(m_window, &r);
    const SDL_Rect place = Place();
    const int dx = place.x - int(r.left), dy = place.y - int(r.top);
    m_place.x = x;
    m_place.y = y;
    SetWindowPos(m_window, nullptr, x - dx, y - dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowMirror::MinimizedByDesktop()
{
    m_minimized = true;
    if (!IsIconic(m_window))
        PostMessageW(m_window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void WindowMirror::RestoredByDesktop()
{
    if (!m_minimized)
        return;
    m_minimized = false;
    m_dirty = true;
    if (IsIconic(m_window))
        PostMessageW(m_window, WM_SYSCOMMAND, SC_RESTORE, 0);
}

}  // namespace yolt::display::sdl
