// The window of "Clean up Index files" (224): three check boxes that open
// showing what is already scheduled for removal at the next restart. OK
// makes the checked boxes the whole schedule and closes with 1; Cancel
// changes nothing and closes with 2. The scheduling itself is the core's.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/platform.h"

namespace qm {

// Runs the dialog modally over `owner` with the template of `module`, which
// is also the library beside which Purgelet.dll lies. Returns 1 after OK, 2
// after Cancel, -1 when the dialog could not be made.
INT_PTR RunIndexFilesDialog(HINSTANCE module, HWND owner, Platform& platform);

// The full path of a loaded module; nothing when the system cannot say.
std::optional<std::string> ModulePath(HINSTANCE module);

}  // namespace qm
