// What 'yolt-machine show' prints: the system, locale, drives (with the bytes their folders
// hold) and devices of a simulated machine, as text or as JSON.
#pragma once

#include <ostream>

#include "platform/machine/simulated_machine.h"

namespace yolt::tools {

void PrintMachine(machine::SimulatedMachine& machine, std::ostream& out);
void PrintMachineJson(machine::SimulatedMachine& machine, std::ostream& out);

}  // namespace yolt::tools
