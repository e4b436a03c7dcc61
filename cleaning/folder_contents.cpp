#include "cleaning/folder_contents.h"

#include <vector>

namespace qm {
namespace {

constexpr std::string_view kAllFilesPattern = "*.*";

bool HasAttribute(uint32_t attributes, uint32_t attribute) {
    return (attributes & attribute) != 0;
}

void ClearReadOnly(FileSystem& fileSystem, std::string_view path, uint32_t attributes) {
    if (HasAttribute(attributes, file_attribute::kReadOnly))
        fileSystem.SetAttributes(path, attributes & ~file_attribute::kReadOnly);
}

// A file the user is refused: taken over and deleted again, when its owner
// and access list can be read first, so that they can be put back if it
// still stays.
FileRemoval RemoveRefusedFile(Platform& platform, const std::string& path, uint32_t attributes) {
    FileSecurity& security = platform.fileSecurity;
    const auto saved = security.SaveOwnerAndAccess(path);
    if (!saved) return FileRemoval::Refused;
    security.TakeOwnership(path);
    security.GrantFullAccess(path);
    // The read-only attribute may have been out of reach until now.
    ClearReadOnly(platform.fileSystem, path, attributes);
    const FileRemoval removal = platform.fileSystem.RemoveFile(path);
    if (removal != FileRemoval::Removed) security.RestoreOwnerAndAccess(path, *saved);
    return removal;
}

}  // namespace

bool IsPlainEntryName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

void DeleteFolderFiles(Platform& platform, std::string_view folder, bool removeFolder) {
    FileSystem& fileSystem = platform.fileSystem;
    auto entries = fileSystem.Find(JoinPath(folder, kAllFilesPattern));
    if (!entries) return;

    // The folder's own entries are told by their names, not by their place:
    // a drive's root lists no "." entry, and passing over the first entry
    // there would spare a file.
    for (const FoundFile& entry : *entries) {
        if (!IsPlainEntryName(entry.name) || entry.isDirectory()) continue;
        const std::string path = JoinPath(folder, entry.name);
        ClearReadOnly(fileSystem, path, entry.attributes);
        FileRemoval removal = fileSystem.RemoveFile(path);
        // Only a refusal calls for a takeover: a file in use (the cookie
        // store's open index file) stays in use whoever owns it. Security
        // changes would reach through a link to its target.
        if (removal == FileRemoval::Refused && !HasAttribute(entry.attributes, file_attribute::kReparsePoint))
            removal = RemoveRefusedFile(platform, path, entry.attributes);
        if (removal != FileRemoval::Removed && HasAttribute(entry.attributes, file_attribute::kReadOnly))
            fileSystem.SetAttributes(path, entry.attributes);
    }

    if (!removeFolder) return;
    // A read-only folder cannot be removed; one that stays (it still holds
    // something) keeps its attribute, which the shell reads as a sign of a
    // customised folder.
    const auto attributes = fileSystem.GetAttributes(folder);
    if (attributes) ClearReadOnly(fileSystem, folder, *attributes);
    if (!fileSystem.RemoveFolder(folder) && attributes &&
        HasAttribute(*attributes, file_attribute::kReadOnly))
        fileSystem.SetAttributes(folder, *attributes);
}

}  // namespace qm
