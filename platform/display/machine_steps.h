// Script steps that change the simulated machine the program runs on, as yolt-machine does:
// `plug MODEL [DRIVE]` attaches a player, `unplug [DRIVE]` detaches one (the only one when no
// drive is named). The program sees the change at its next call, as with the tool.
#pragma once

#include "platform/display/script.h"

namespace yolt::display {

ScriptStepFactory PlugStepFactory();
ScriptStepFactory UnplugStepFactory();

}  // namespace yolt::display
