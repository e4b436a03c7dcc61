// The About box (dialog 150): the product line in bold, the notice line,
// the banner stretched to the box's width, the icon, and two links (the home
// page and a mail to support). Each About command builds a new box on its
// stack; the box owns the bold font it makes and lets it go when its window
// is destroyed.
//
// The links are HyperLinks over two static texts: a click, or Enter or Space
// on a focused link, opens its target through the shell (the mail link
// starts the user's mail program with the subject filled in).
#pragma once

#include <windows.h>

#include "platform/registry.h"
#include "platform/shell.h"

namespace qm {

// Shows the box modally, owned by owner; returns IDOK or IDCANCEL (Escape
// or the close box). The links take the browser's link colour from
// `registry` when one is given. The caller runs it inside the module's
// activation context.
INT_PTR ShowAboutBox(HINSTANCE module, HWND owner, Shell& shell, Registry* registry = nullptr);

}  // namespace qm
