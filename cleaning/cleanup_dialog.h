// What the three cleanup dialogs decide, apart from their windows: which
// criterion the radio buttons stand for, which texts and dates go into the
// record, and the Clean Up flow up to the moment the record is sent. The
// dialog windows read their controls into a CleanupDialogInput and send
// whatever CleanUpPressed returns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cleaning/cleanup_criteria.h"
#include "platform/clock.h"
#include "platform/os_version.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/types.h"

namespace qm {

// One radio button of a dialog and the criterion it stands for.
struct CriterionButton {
    int controlId;
    uint32_t criterion;
};

// The radio buttons of a dialog, in the order they are examined.
std::span<const CriterionButton> CriterionButtons(RecordKind kind);

// The criterion of the first checked button in the dialog's order; none
// when no button is checked.
uint32_t CheckedCriterion(RecordKind kind, const std::function<bool(int controlId)>& isChecked);

// The protocols the History dialog offers, in the order it lists them.
inline constexpr std::array<std::string_view, 6> kHistoryProtocols = {
    "file:", "ftp:", "http:", "https:", "mailto:", "telnet:"};

// The longest texts the dialogs take from their controls.
inline constexpr std::size_t kProtocolTextLength = 31;       // History's combo box
inline constexpr std::size_t kHistorySearchTextLength = 99;  // History's edit box
inline constexpr std::size_t kSearchTextLength = 98;         // the Cookies and Cache edit boxes

// What the controls hold when Clean Up is pressed. The pickers show dates
// only; their time of day is ignored.
struct CleanupDialogInput {
    uint32_t criterion = criterion::kNone;
    std::string protocolText;  // the combo box's edit field (History only)
    std::string searchText;    // the edit box
    SystemTime fromDay;        // local date of the lower picker
    SystemTime toDay;          // local date of the upper picker
};

// Converts a local wall-clock time to UTC. The Windows dialogs hand the
// time-zone rules of the day in question; LocalToUtcAtCurrentOffset takes
// today's offset from the clock.
using LocalToUtc = std::function<std::optional<FileTime>(const SystemTime& local)>;
LocalToUtc LocalToUtcAtCurrentOffset(Clock& clock);

// A picked day as a closed range of UTC moments: from the first tick of
// the day to its last, both in local time. Nothing when the day cannot be
// converted.
std::optional<FileTime> StartOfLocalDay(const SystemTime& day, const LocalToUtc& localToUtc);
std::optional<FileTime> EndOfLocalDay(const SystemTime& day, const LocalToUtc& localToUtc);

// The record a dialog sends: a fresh record of the dialog's kind with the
// criterion, the text the criterion takes (History: the protocol for
// "Selected protocol", the edit text for "Containing the text in URL";
// Cookies and Cache: the edit text whatever the criterion), taken as typed
// and cut to the dialog's length, and the picked days as the date range. A
// bound whose day cannot be converted stays at the fresh record's now.
CleanupCriteria BuildCleanupCriteria(RecordKind kind, const CleanupDialogInput& input, Clock& clock,
                                     const LocalToUtc& localToUtc);

// Clean Up: asks the dialog's question while confirmation is on and gives
// the record to send, or nothing when the user answered No.
std::optional<CleanupCriteria> CleanUpPressed(RecordKind kind, const CleanupDialogInput& input, bool confirm,
                                              Prompts& prompts, Clock& clock, const LocalToUtc& localToUtc);

// The confirmation switch as a dialog reads it when it opens, afresh from
// the settings key.
bool ReadDialogConfirmation(Registry& registry, OsVersion& osVersion);

}  // namespace qm
