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

}  // namespace

bool IsPlainEntryName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

std::optional<std::string> CurrentUserAccount(Shell& shell) {
    const std::string user = shell.ExpandVariables("%USERNAME%");
    if (user.empty() || user.find('%') != std::string::npos) return std::nullopt;
    const std::string domain = shell.ExpandVariables("%USERDOMAIN%");
    if (domain.empty() || domain.find('%') != std::string::npos) return user;
    return domain + "\\" + user;
}

void DeleteFolderFiles(Platform& platform, std::string_view folder, bool removeFolder) {
    FileSystem& fileSystem = platform.fileSystem;
    auto entries = fileSystem.Find(JoinPath(folder, kAllFilesPattern));
    if (!entries) return;

    std::optional<std::string> account;
    bool accountLookedUp = false;
    // The folder's own entries are told by their names, not by their place:
    // a drive's root lists no "." entry, and passing over the first entry
    // there would spare a file.
    for (const FoundFile& entry : *entries) {
        if (!IsPlainEntryName(entry.name) || entry.isDirectory()) continue;
        const std::string path = JoinPath(folder, entry.name);
        ClearReadOnly(fileSystem, path, entry.attributes);
        if (fileSystem.RemoveFile(path)) continue;
        // Security changes would reach through a link to its target.
        if (HasAttribute(entry.attributes, file_attribute::kReparsePoint)) continue;
        // Refused: take the file over and retry. Access goes to the current
        // user only, so that a file still in use is not left open to all.
        platform.fileSecurity.TakeOwnership(path);
        if (!accountLookedUp) {
            account = CurrentUserAccount(platform.shell);
            accountLookedUp = true;
        }
        if (account) platform.fileSecurity.GrantFullAccess(path, *account, kGenericAll);
        fileSystem.RemoveFile(path);
    }

    if (auto attributes = fileSystem.GetAttributes(folder)) ClearReadOnly(fileSystem, folder, *attributes);
    if (removeFolder) fileSystem.RemoveFolder(folder);
}

}  // namespace qm
