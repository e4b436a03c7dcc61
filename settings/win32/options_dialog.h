// The Options dialog (resource 226): the confirmation switch, the short
// date template and the date separator, with a live sample of the date
// format. It reads the settings key when it opens and writes it on OK only.
#pragma once

#include <windows.h>

#include "platform/clock.h"
#include "platform/registry.h"

namespace qm {

// The templates and separators the dialog offers, in their order.
inline constexpr const char* kOfferedDateTemplates[] = {"dd.MM.yyyy", "dd.MM.yy", "d.M.yy",   "yyyy.MM.dd",
                                                        "MM.dd.yyyy", "MM.dd.yy", "M.d.yyyy", "yy.MM.dd"};
inline constexpr const char* kOfferedDateSeparators[] = {".", "/", "-"};

// Shows the dialog modally, owned by owner, from the module's resources.
// True when it ended with OK: the caller then reloads its Settings. The
// settings key is the one the caller's version test chose (lowIntegrity);
// the sample shows today's date from the clock.
bool ShowOptionsDialog(HINSTANCE module, HWND owner, Registry& registry, bool lowIntegrity, Clock& clock);

}  // namespace qm
