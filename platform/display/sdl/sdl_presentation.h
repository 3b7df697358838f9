// The SDL2 presentation: every visible top-level window of the window system is a real window
// on the desktop, pointer and keys on those windows become the window system's input, and the
// program sleeps in SDL until the next event or the next due timer.
#pragma once

namespace yolt::display::sdl {

/// The exit code of a program that finds no display to show its windows on.
constexpr int kNoDisplayExitCode = 5;

/// Starts SDL's video and installs the SDL2 presentation as the process's presentation.
/// Without a usable display (none reachable, or only SDL's dummy or offscreen drivers) it
/// prints one line saying so and how to run headless, and ends the process with
/// kNoDisplayExitCode.
void StartSdlPresentation();

}  // namespace yolt::display::sdl
