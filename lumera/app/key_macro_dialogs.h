// Puts the key function picker and the macro library into the hooks through
// which the main window and the gesture page open them.
#pragma once

namespace lumera {

// Fills uiHooks().pickKeyFunction, pickMacro and runMacroLibrary, and the
// function names when nothing else gave them.
void installKeyAndMacroDialogs();

}  // namespace lumera
