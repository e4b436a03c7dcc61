// The record a cleanup dialog fills and sends to the main view: which kind of
// record to clean and by which criterion, with the text and the date range
// the criterion may need. The dialog owns the record; the view reads it only
// while it handles WM_PERFORMCLEANUP.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/clock.h"
#include "platform/types.h"

namespace qm {

// Sent (never posted) by the cleanup dialogs to the main view: wParam 0,
// lParam the address of a CleanupCriteria. The handler returns 0.
inline constexpr uint32_t WM_PERFORMCLEANUP = 1247;  // WM_USER + 223

// Criterion codes, one numbering for the three dialogs; 0 is none.
namespace criterion {
inline constexpr uint32_t kNone = 0;
inline constexpr uint32_t kAll = 1;
inline constexpr uint32_t kExpiredCookies = 2;
inline constexpr uint32_t kLocalLinks = 3;
inline constexpr uint32_t kSelectedProtocol = 4;
inline constexpr uint32_t kPictures = 5;
inline constexpr uint32_t kArchives = 6;
inline constexpr uint32_t kStylesAndScripts = 7;
inline constexpr uint32_t kPagesAndOtherFiles = 8;
inline constexpr uint32_t kContainingText = 9;
inline constexpr uint32_t kBetweenDates = 10;
}  // namespace criterion

struct CleanupCriteria {
    uint32_t criterion = criterion::kNone;
    uint32_t kind = 0;  // 1 History, 2 Cookies, 3 Cache (CleanupKindCode)
    FixedText<100> text;
    FileTime from;  // both bounds inclusive
    FileTime to;
};

// The record never leaves the process, so only the order and the sizes of
// the fields are fixed, not the padding between them.
static_assert(sizeof(CleanupCriteria::criterion) == 4 && sizeof(CleanupCriteria::kind) == 4);
static_assert(sizeof(FixedText<100>) == 100 && sizeof(FileTime) == 8);
static_assert(offsetof(CleanupCriteria, criterion) < offsetof(CleanupCriteria, kind) &&
              offsetof(CleanupCriteria, kind) < offsetof(CleanupCriteria, text) &&
              offsetof(CleanupCriteria, text) < offsetof(CleanupCriteria, from) &&
              offsetof(CleanupCriteria, from) < offsetof(CleanupCriteria, to));

// A fresh record: no criterion, no kind, an all-zero text and both bounds
// at the current moment (UTC).
CleanupCriteria NewCleanupCriteria(Clock& clock);

}  // namespace qm
