// The steps of a session, shared by the automation API and scripts. Points are in the main
// window's client area.
#pragma once

#include <filesystem>
#include <string>

#include "platform/display/headless.h"

namespace yolt::display::steps {

/// Lets `ms` milliseconds pass on the machine's clock; timers fire when due on the way.
Step Wait(uint32_t ms);
Step Move(int x, int y);
Step Press(int x, int y);
Step Release(int x, int y);
/// A press and a release at one point.
Step Click(int x, int y);
/// A key press and release (Alt held with `alt`).
Step Key(UINT virtualKey, bool alt = false);
/// Fails unless a message box is open and its text is exactly `text`.
Step ExpectBox(std::u16string text);
/// Presses a button (IDOK, IDCANCEL, IDYES, IDNO...) of the open message box.
Step Answer(int id);
/// Chooses an item of the open menu by its text.
Step ChooseMenu(std::u16string text);
/// Saves the pixels of the window in front (the innermost modal window, else the main window).
Step Snapshot(std::filesystem::path path);

/// Text with C escapes (\n, \r, \t, \\, \", \xHH), in UTF-8.
std::string Escape(const std::u16string& text);

}  // namespace yolt::display::steps
