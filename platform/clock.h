// Port: the time of day and a millisecond tick.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace qm {

class Clock {
public:
    virtual ~Clock() = default;

    virtual FileTime NowUtc() = 0;
    virtual SystemTime NowUtcSystemTime() = 0;
    virtual SystemTime LocalNow() = 0;
    // Milliseconds since some start, wrapping at 2^32.
    virtual uint32_t TickMs() = 0;
};

}  // namespace qm
