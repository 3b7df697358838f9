#include "platform/display/sdl/sdl_backend.h"

#include <algorithm>
#include <climits>

#include "platform/display/sdl/key_map.h"
#include "platform/machine/machine.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"

namespace yolt::display::sdl {

using yolt::user::MouseAction;

SdlBackend::~SdlBackend()
{
    m_mirrors.clear();
}

void SdlBackend::WindowChanged(HWND window)
{
    if (auto it = m_mirrors.find(window); it != m_mirrors.end())
        it->second->MarkDirty();
}

void SdlBackend::WindowDestroyed(HWND window)
{
    m_mirrors.erase(window);
    if (m_lastActive == window)
        m_lastActive = nullptr;
}

void SdlBackend::CursorChanged(HCURSOR cursor)
{
    m_cursors.Show(cursor);
}

bool SdlBackend::WaitForEvents(std::optional<uint64_t> deadlineMs)
{
    Sync();
    auto& clock = machine::CurrentMachine().GetClock();
    SDL_Event event;
    int got = 0;
    if (!deadlineMs) {
        // Without a timer only the user can wake the program, and only through a window.
        if (m_mirrors.empty() && !m_menu.IsOpen())
            return false;
        got = SDL_WaitEvent(&event);
    } else {
        const uint64_t now = clock.NowMs();
        if (*deadlineMs <= now) {
            got = SDL_PollEvent(&event);
        } else {
            const int timeout = int(std::min<uint64_t>(*deadlineMs - now, INT_MAX));
            got = SDL_WaitEventTimeout(&event, timeout);
            // A virtual clock does not move by itself: the time waited is passed on to it.
            if (!got && clock.IsVirtual())
                clock.Sleep(uint32_t(timeout));
        }
    }
    if (!got)
        return true;
    do
        Handle(event);
    while (SDL_PollEvent(&event));
    return true;
}

void SdlBackend::Sync()
{
    for (auto it = m_mirrors.begin(); it != m_mirrors.end();)
        it = IsWindow(it->first) ? std::next(it) : m_mirrors.erase(it);
    const std::vector<HWND> windows = yolt::user::TopLevelWindows();
    // Bottom-most first, so that owners have their SDL windows before the windows they own.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        HWND window = *it;
        auto found = m_mirrors.find(window);
        if (!IsWindowVisible(window)) {
            if (found != m_mirrors.end())
                found->second->Hide();
            continue;
        }
        // A window that gained or lost its caption needs a window of the other kind.
        if (found != m_mirrors.end() && found->second->Framed() != WindowMirror::WantsFrame(window)) {
            m_mirrors.erase(found);
            found = m_mirrors.end();
        }
        if (found == m_mirrors.end()) {
            auto mirror = std::make_unique<WindowMirror>(window);
            if (!mirror->Created())
                continue;
            found = m_mirrors.emplace(window, std::move(mirror)).first;
        }
        auto owner = m_mirrors.find(GetWindow(window, GW_OWNER));
        found->second->Sync(owner != m_mirrors.end() ? owner->second.get() : nullptr);
    }
    // A popup that goes away may take the desktop's keyboard focus with it.
    const bool menuWasOpen = m_menu.IsOpen();
    m_menu.Sync();
    if (menuWasOpen && !m_menu.IsOpen())
        m_lastActive = nullptr;
    HWND active = GetActiveWindow();
    if (active != m_lastActive) {
        m_lastActive = active;
        // The desktop's keyboard focus follows the window system's active window; without a
        // window manager nobody else would give it back when a message box goes away.
        if (auto it = m_mirrors.find(active); it != m_mirrors.end()) {
            SDL_RaiseWindow(it->second->Sdl());
            SDL_SetWindowInputFocus(it->second->Sdl());
        }
    }
}

WindowMirror* SdlBackend::MirrorById(Uint32 id)
{
    for (auto& [window, mirror] : m_mirrors)
        if (mirror->Id() == id)
            return mirror.get();
    return nullptr;
}

void SdlBackend::RaiseModal()
{
    HWND modal = yolt::user::InnermostModalWindow();
    if (auto it = m_mirrors.find(modal); it != m_mirrors.end())
        SDL_RaiseWindow(it->second->Sdl());
}

void SdlBackend::Handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEMOTION:
        Pointer(event.motion.windowID, event.motion.x, event.motion.y, MouseAction::Move);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT)
            return;
        Pointer(event.button.windowID, event.button.x, event.button.y,
            event.type == SDL_MOUSEBUTTONDOWN ? MouseAction::LeftDown : MouseAction::LeftUp);
        return;
    case SDL_KEYDOWN: Key(event.key); return;
    case SDL_WINDOWEVENT: WindowEvent(event.window); return;
    }
}

void SdlBackend::Pointer(Uint32 windowId, int x, int y, MouseAction action)
{
    if (m_menu.IsOpen() && windowId == m_menu.Id()) {
        if (action == MouseAction::Move)
            m_menu.Hover(x, y);
        else if (action == MouseAction::LeftUp)
            m_menu.Release(x, y);
        return;
    }
    WindowMirror* mirror = MirrorById(windowId);
    if (!mirror)
        return;
    POINT screen = mirror->ToScreen(x, y);
    if (m_globalPointer) {
        int gx = 0, gy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        screen = {gx, gy};
    }
    if (action == MouseAction::LeftDown && !IsWindowEnabled(mirror->Window()))
        RaiseModal();
    yolt::user::InjectMouse(action, screen);
}

void SdlBackend::Key(const SDL_KeyboardEvent& key)
{
    const UINT virtualKey = VirtualKeyOf(key.keysym.sym);
    if (!virtualKey)
        return;
    if (m_menu.IsOpen() && m_menu.Key(virtualKey))
        return;
    yolt::user::InjectKey(virtualKey, (key.keysym.mod & KMOD_ALT) != 0);
}

void SdlBackend::WindowEvent(const SDL_WindowEvent& event)
{
    if (m_menu.IsOpen() && event.windowID == m_menu.Id()) {
        if (event.event == SDL_WINDOWEVENT_EXPOSED)
            m_menu.Draw();
        return;
    }
    WindowMirror* mirror = MirrorById(event.windowID);
    if (!mirror)
        return;
    HWND window = mirror->Window();
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED: mirror->Present(); return;
    case SDL_WINDOWEVENT_MOVED: mirror->MovedByDesktop(event.data1, event.data2); return;
    case SDL_WINDOWEVENT_MINIMIZED: mirror->MinimizedByDesktop(); return;
    case SDL_WINDOWEVENT_RESTORED: mirror->RestoredByDesktop(); return;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (!IsWindowEnabled(window))
            RaiseModal();
        return;
    case SDL_WINDOWEVENT_CLOSE:
        // The desktop's close button acts as the system menu's Close. A window disabled by a
        // modal loop cannot close; its modal window is raised instead.
        if (!IsWindowEnabled(window)) {
            RaiseModal();
            return;
        }
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
}

}  // namespace yolt::display::sdl
