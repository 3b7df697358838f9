// Scripted sessions of whole programs: with YOLT_DISPLAY=headless and YOLT_SCRIPT=FILE the
// program's message loops take their input from FILE, one step a line:
//   wait MS | move X Y | press X Y | release X Y | click X Y | key ENTER|ESCAPE|TAB|ALT+SPACE
//   expect-box "TEXT" | answer OK|CANCEL|YES|NO|ABORT|RETRY|IGNORE | menu "ITEM" | snapshot FILE.png
//   plug MODEL [DRIVE] | unplug [DRIVE]
// and the steps that other areas register (choose-file, cancel-file, format...).
// Blank lines and lines starting with '#' are skipped. Every message box shown is written to
// standard output as `message-box caption="..." text="..." icon=... buttons=...`. A step that
// cannot be done ends the program with exit code 4 and a line on standard error naming the
// step and what was found. After the last step the program is asked to close.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/display/headless.h"

namespace yolt::display {

/// Builds the step for one script line from its arguments (quoted arguments already unescaped);
/// returns an empty Step and sets `error` when the arguments are wrong.
using ScriptStepFactory = std::function<Step(const std::vector<std::string>& args, std::string& error)>;

/// Adds (or replaces) a script step by name; areas call it at start-up to offer their steps.
void RegisterScriptStep(const std::string& name, ScriptStepFactory factory);
bool IsScriptStepRegistered(const std::string& name);

/// Splits a line into words; double-quoted words take C escapes. False on an unterminated quote.
bool SplitScriptLine(const std::string& line, std::vector<std::string>& words);
/// Reads a script and queues its steps; false with "line N: reason" when it cannot.
bool LoadScript(const std::filesystem::path& path, Headless& headless, std::string& error);
/// The message-box line written for scripts.
std::string MessageBoxLine(const yolt::user::MessageBoxInfo& info);

/// Sets up the presentation from the environment: YOLT_DISPLAY=headless selects the headless
/// presentation and YOLT_SCRIPT its script; YOLT_DISPLAY=sdl, empty or unset selects real
/// windows (sdl/sdl_presentation.h), which end the process with exit code 5 when there is no
/// display, as does an unknown value. A script that cannot be read ends the process with exit
/// code 4. Returns true when a presentation was set up.
bool InitPresentationFromEnvironment();

}  // namespace yolt::display
