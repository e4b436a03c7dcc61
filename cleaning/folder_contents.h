// Removal of the files directly inside one folder, for the "All" cleanups.
// Files of the browser's stores may be owned by another account or carry
// restrictive permissions; a file whose deletion is refused is taken over
// by the user of the process and given full access for that user alone,
// then deleted again. A file that another program holds open is left as it
// is, and a file that still cannot be deleted gets back its owner, access
// list and read-only attribute. Subfolders and links are never followed.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace qm {

// True for a name a folder listing may hand on as one of its entries: not
// empty, not "." or "..", and without a path separator that would lead the
// joined path out of the folder.
bool IsPlainEntryName(std::string_view name);

// Deletes the files directly inside the folder (a path without a trailing
// backslash); clears their read-only attribute first and sets it again on a
// file that stays. Subfolders keep their contents. With removeFolder the
// folder is then removed if it is empty, read-only or not.
void DeleteFolderFiles(Platform& platform, std::string_view folder, bool removeFolder);

}  // namespace qm
