// The three report commands of the main view: Save History, Save Cookie
// List and Save Cache List. Each asks for a file with the Save As dialog,
// reads its records afresh from the browser's stores (never from the lists
// on screen), and writes the page. Nothing is shown to the user afterwards,
// whatever happened; the result says what happened for the caller's tests
// and tools.
#pragma once

#include "platform/platform.h"
#include "platform/prompts.h"
#include "platform/types.h"
#include "settings/date_formatter.h"

namespace qm {

enum class ExportResult {
    Cancelled,         // no file chosen, or a path that is only white space
    CollectionFailed,  // the history service could not be opened; no file made
    WriteFailed,       // the file could not be written
    Written,
};

// The Save As dialog's settings: the HTML filter, "html" as the default
// extension and "history", "cookies" or "cache" as the proposed name. The
// dialog hides the read-only box and asks before replacing a file.
FileChoice ReportFileChoice(RecordKind kind);

ExportResult ExportHistory(Platform& platform, const DateFormatter& formatter);
ExportResult ExportCookies(Platform& platform, const DateFormatter& formatter);
ExportResult ExportCache(Platform& platform, const DateFormatter& formatter);

}  // namespace qm
