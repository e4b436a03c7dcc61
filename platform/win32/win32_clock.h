// Clock on the system time and the millisecond tick.
#pragma once

#include "platform/clock.h"

namespace qm {

class Win32Clock final : public Clock {
public:
    FileTime NowUtc() override;
    SystemTime NowUtcSystemTime() override;
    SystemTime LocalNow() override;
    uint32_t TickMs() override;
};

}  // namespace qm
