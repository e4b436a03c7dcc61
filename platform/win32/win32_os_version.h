// OsVersion on GetVersionExA. The answer is what the platform reports to
// this program, compatibility shims included.
#pragma once

#include "platform/os_version.h"

namespace qm {

class Win32OsVersion final : public OsVersion {
public:
    std::optional<uint32_t> MajorVersion() override;
};

}  // namespace qm
