// Port: the operating system's major version number.
#pragma once

#include <cstdint>
#include <optional>

namespace qm {

class OsVersion {
public:
    virtual ~OsVersion() = default;

    // Nothing when the platform cannot tell.
    virtual std::optional<uint32_t> MajorVersion() = 0;
};

}  // namespace qm
