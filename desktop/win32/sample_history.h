// A few dozen plausible visits for the demo's history service, spread over
// the last weeks before a given moment.
#pragma once

#include <vector>

#include "platform/types.h"
#include "desktop/win32/local_history_service.h"

namespace qm {

std::vector<LocalHistoryEntry> SampleHistory(FileTime now);

}  // namespace qm
