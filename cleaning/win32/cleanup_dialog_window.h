// The windows of "Clean up History" (221), "Clean up Cookies" (222) and
// "Clean up Cache" (223). They only read their controls: which radio button
// is checked, the protocol box, the text box and the two pickers' days go
// into a CleanupDialogInput; the core decides the record, and Clean Up sends
// it with WM_PERFORMCLEANUP to the dialog's owner, which does the deleting
// before the send returns. The dialog stays open until Close (also Esc, and
// Enter outside a push button, Close being the default button).
//
// The dialog is made inside whatever activation context the caller has
// active, so that the band's Common Controls 6.0 apply.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/platform.h"
#include "platform/types.h"

namespace qm {

// The template of a kind's dialog.
int CleanupDialogId(RecordKind kind);

// Runs the kind's dialog modally over `owner` with the templates of
// `resources`; the platform's prompts ask the confirmation question. Returns
// the dialog's result: 2 when it was closed, -1 when it could not be made.
INT_PTR RunCleanupDialog(HINSTANCE resources, HWND owner, RecordKind kind, Platform& platform);

// A local wall-clock time as UTC under the time-zone rules in force on that
// date (TzSpecificLocalTimeToSystemTime), so that a picked summer day is
// read with the summer offset even in winter. Nothing for a time the
// system cannot convert.
std::optional<FileTime> LocalToUtcByTimeZoneRules(const SystemTime& local);

}  // namespace qm
