// Add to Favorites: a listed address saved as an Internet Shortcut file in
// the user's Favorites folder, named after its description. The dialog
// gathers a description, an address and an icon file; everything it decides
// with them (the name cleaning, the folder, the duplicate check, the save
// and the message the user sees) is here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text_codec.h"

namespace qm {

inline constexpr std::string_view kUserShellFoldersPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr std::string_view kFavoritesValue = "Favorites";
// The platform's path buffers: 260 bytes with the terminator.
inline constexpr std::size_t kFavoritesPathBuffer = 260;
// The dialog takes at most this many characters from each box.
inline constexpr std::size_t kFavoriteFieldLimit = 259;

namespace favorites_message {
inline constexpr std::string_view kEnterDescription = "Please enter a Description.";
inline constexpr std::string_view kEnterUrl = "Please enter valid URL.";
inline constexpr std::string_view kFolderNotFound = "Favorites folder is not found.";
inline constexpr std::string_view kAnotherDescription = "Please enter another Description.";
inline constexpr std::string_view kAdded = "New entry has been successfully added.";
inline constexpr std::string_view kUnableToUpdate = "Unable update Favorites.";
}  // namespace favorites_message

// What the dialog holds: the description and address it proposes or the
// user typed, and the chosen icon file (empty for none).
struct FavoriteRequest {
    std::string description;
    std::string url;
    std::string iconFile;
};

// The description made fit for a file name: each of : \ / + ; > < ! ? | " '
// becomes "_". The text is walked by characters of the ANSI code page, so
// the trail byte of a double-byte character is never taken for one of them.
std::string CleanFavoriteName(std::string_view description, TextCodec& codec);

// What the History item's "Add to Favorites" proposes for the selected row:
// the title (cleaned) as description and the address, both trimmed; nothing
// when the address is empty.
std::optional<FavoriteRequest> ProposeFavorite(std::string_view title, std::string_view url,
                                               TextCodec& codec);

// The Favorites folder, ending in "\": the user's "Favorites" shell folder
// from the registry with its environment references expanded, or, when that
// value is missing, empty or too long, the shell's own Favorites folder.
std::optional<std::string> FavoritesFolder(Registry& registry, Shell& shell);

// Whether a folder listing already holds a favorite of this (cleaned)
// description. Entries that are hidden, system or folders are not favorites;
// the name of any other entry counts up to its first ".url" (or, failing
// that, ".URL"), compared without case, since the file systems that keep
// Favorites ignore case. Any entry whatever its attributes that bears the
// very file name the shortcut would get counts too: it would be replaced.
bool IsDuplicateFavorite(const std::vector<FoundFile>& listing, std::string_view description,
                         TextCodec& codec);

// The icon chooser of the dialog's "..." button: icon files, "ico" as the
// default extension.
FileChoice IconFileChoice();

enum class AddFavoriteResult {
    MissingDescription,  // the dialog stays open
    MissingUrl,          // the dialog stays open
    FolderNotFound,      // the dialog stays open
    Duplicate,           // the dialog stays open
    Added,               // the dialog ends
    Failed,              // the dialog ends
};

// Whether the dialog stays open after Add with this result.
bool KeepsDialogOpen(AddFavoriteResult result);

// The Add button: cleans the description, validates, finds the folder,
// refuses a duplicate, saves the shortcut at folder + description + ".url"
// and tells the user the outcome in a message box. Nothing is written unless
// every check passes.
AddFavoriteResult AddToFavorites(Platform& platform, const FavoriteRequest& request);

}  // namespace qm
