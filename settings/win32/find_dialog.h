// The Find dialog (resource 153) of "Find on this Tab...": a text and four
// options, sent to the main view window as a FindRequest with WM_FINDONTAB
// on each Find Next, Enter or Find All. The dialog stays open between
// searches; it reads its options from the settings key when it opens and
// stores them there when it closes, and only then.
#pragma once

#include <windows.h>

#include "platform/prompts.h"
#include "platform/registry.h"

namespace qm {

// Shows the dialog modally, owned by owner. Each search is sent (never
// posted) to view, which the caller names: the request lives in the dialog
// for the duration of the call.
void ShowFindDialog(HINSTANCE module, HWND owner, HWND view, Registry& registry, bool lowIntegrity,
                    Prompts& prompts);

}  // namespace qm
