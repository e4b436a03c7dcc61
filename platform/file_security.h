// Port: the owner and access list of files. A file that the user is refused
// may be taken over for its deletion; one that still cannot be deleted is
// given back its owner and access list exactly as they were.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// A file's owner and access list as the platform keeps them: bytes the core
// only hands back to RestoreOwnerAndAccess.
struct SavedFileSecurity {
    std::string bytes;
};

class FileSecurity {
public:
    virtual ~FileSecurity() = default;

    // The file's owner and access list; nothing when they cannot be read.
    virtual std::optional<SavedFileSecurity> SaveOwnerAndAccess(std::string_view path) = 0;
    // Puts back an owner and access list read before; true when both are back.
    virtual bool RestoreOwnerAndAccess(std::string_view path, const SavedFileSecurity& saved) = 0;
    // Makes the user of the process the file's owner; true on success. Any
    // privilege this needs is held only for the call.
    virtual bool TakeOwnership(std::string_view path) = 0;
    // Replaces the file's access list with one entry giving the user of the
    // process full access; true when the access list was replaced.
    virtual bool GrantFullAccess(std::string_view path) = 0;
};

}  // namespace qm
