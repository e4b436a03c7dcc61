// FileSecurity on the process token and the files' security descriptors.
// Each call opens the current process's token for itself; a privilege it
// enables is enabled in that token, so every later caller in the process
// sees it enabled too.
#pragma once

#include "platform/file_security.h"

namespace qm {

class Win32FileSecurity final : public FileSecurity {
public:
    bool TakeOwnership(std::string_view path) override;
    bool SetPrivilege(std::string_view privilege, bool enable) override;
    // The account is looked up on the local system ("everyone" is the
    // well-known group of all users). The new access list holds exactly one
    // entry, with no inheritance flags.
    bool GrantFullAccess(std::string_view path, std::string_view account, uint32_t accessMask) override;
};

}  // namespace qm
