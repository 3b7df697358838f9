// Starting SDL's video: the choice of driver, the hints that make SDL behave as the window
// system expects, and the one-line report when there is no display.
#include "platform/display/sdl/sdl_presentation.h"

#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/display/sdl/sdl_backend.h"

namespace yolt::display::sdl {
namespace {

// Drivers that run without showing anything: SDL may fall back to them when no display is
// reachable, and a program on them would run unseen.
bool ShowsNothing(const char* driver)
{
    return !driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0;
}

// Whether the environment names a display at all (or the user chose SDL's driver).
bool DisplayNamed()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

// Starts SDL's video with standard error silenced: the display libraries SDL probes print
// their own complaints there when they find no display, and the program reports that in
// one line of its own.
bool InitVideoQuietly()
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    const bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (saved >= 0 && null >= 0)
        ::dup2(saved, STDERR_FILENO);
    if (saved >= 0)
        ::close(saved);
    if (null >= 0)
        ::close(null);
    return started;
}

[[noreturn]] void NoDisplay()
{
    std::fflush(stdout);
    std::fprintf(stderr,
        "%s: no display found; set YOLT_DISPLAY=headless to run without windows, or run under a virtual "
        "display with xvfb-run\n",
        program_invocation_short_name);
    std::exit(kNoDisplayExitCode);
}

}  // namespace

void StartSdlPresentation()
{
    // Signals keep their usual meaning (SDL would turn them into a quit event nobody reads).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A click on a window that is not focused reaches it, as the window system expects.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!DisplayNamed() || !InitVideoQuietly())
        NoDisplay();
    const char* driver = SDL_GetCurrentVideoDriver();
    if (ShowsNothing(driver)) {
        SDL_Quit();
        NoDisplay();
    }
    const bool globalPointer = std::strcmp(driver, "x11") == 0;
    SetPresentation(std::make_shared<SdlBackend>(globalPointer));
    // SDL's windows go before SDL itself, at the end of the process.
    std::atexit([] {
        SetPresentation(nullptr);
        SDL_Quit();
    });
}

}  // namespace yolt::display::sdl
