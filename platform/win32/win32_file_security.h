// FileSecurity on the process token and the files' security descriptors.
// Each call opens the current process's token for itself. A privilege it
// needs (taking ownership, restoring another owner) is enabled for that call
// only and then put back as it was, so the browser's token keeps the state
// it had.
#pragma once

#include "platform/file_security.h"

namespace qm {

class Win32FileSecurity final : public FileSecurity {
public:
    // The owner and the access list as one self-relative security descriptor.
    std::optional<SavedFileSecurity> SaveOwnerAndAccess(std::string_view path) override;
    // Setting an owner other than the user needs the restore privilege; where
    // the user does not hold it, the access list alone is put back and the
    // call answers false.
    bool RestoreOwnerAndAccess(std::string_view path, const SavedFileSecurity& saved) override;
    bool TakeOwnership(std::string_view path) override;
    // The one entry names the token's user (its SID, not an account name
    // that could name someone else) with GENERIC_ALL and no inheritance.
    bool GrantFullAccess(std::string_view path) override;
};

}  // namespace qm
