// DOM key codes (KeyboardEvent.code, which names the physical key whatever the layout) as the
// program's virtual keys, as SDL's scancodes are on the desktop.
#pragma once

namespace platform {

// The virtual-key code of a physical key, or 0 for keys the program has no code for.
int virtualKeyOfDomCode(const char* code);

}  // namespace platform
