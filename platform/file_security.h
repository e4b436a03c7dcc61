// Port: ownership and access rights of files.
#pragma once

#include <cstdint>
#include <string_view>

namespace qm {

inline constexpr uint32_t kGenericAll = 0x10000000;

class FileSecurity {
public:
    virtual ~FileSecurity() = default;

    // Makes the current user the owner of the file; true on success. The
    // ownership privilege is enabled for the attempt and stays enabled after
    // a success; after a failure it is disabled again.
    virtual bool TakeOwnership(std::string_view path) = 0;
    // Enables or disables one privilege of the current process; true only
    // when the adjustment succeeded completely.
    virtual bool SetPrivilege(std::string_view privilege, bool enable) = 0;
    // Replaces the file's access list with one entry granting the mask to
    // the named account; true when the access list was replaced.
    virtual bool GrantFullAccess(std::string_view path, std::string_view account, uint32_t accessMask) = 0;
};

}  // namespace qm
