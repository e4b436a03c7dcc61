// A few dozen plausible visits for the demo's history service, spread over
// the last weeks before a given moment.
#pragma once

#include <vector>

#include "platform/types.h"
#include "tests/support/win32/test_history_service.h"

namespace qm {

std::vector<TestHistoryEntry> SampleHistory(FileTime now);

}  // namespace qm
