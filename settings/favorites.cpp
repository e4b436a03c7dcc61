#include "settings/favorites.h"

#include <algorithm>

namespace qm {
namespace {

using namespace std::string_literals;

constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
constexpr std::string_view kNameUnfit = ":\\/+;><!?|\"'";
constexpr std::string_view kShortcutExtension = ".url";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool IsUnfit(char16_t unit) {
    return unit < 0x80 && kNameUnfit.find(static_cast<char>(unit)) != kNameUnfit.npos;
}

// The name of a listed entry up to its first ".url", or failing that its
// first ".URL"; the whole name when it has neither.
std::string_view FavoriteBaseName(std::string_view name) {
    std::size_t cut = name.find(".url");
    if (cut == std::string_view::npos) cut = name.find(".URL");
    return cut == std::string_view::npos ? name : name.substr(0, cut);
}

}  // namespace

std::string CleanFavoriteName(std::string_view description, TextCodec& codec) {
    std::u16string wide = codec.FromAnsi(description);
    if (codec.ToAnsi(wide) != description) {
        // Text that is not well formed in the code page has no characters to
        // walk; its bytes are cleaned one by one.
        std::string cleaned(description);
        std::replace_if(
            cleaned.begin(), cleaned.end(), [](char c) { return kNameUnfit.find(c) != kNameUnfit.npos; },
            '_');
        return cleaned;
    }
    std::replace_if(wide.begin(), wide.end(), IsUnfit, u'_');
    return codec.ToAnsi(wide);
}

std::optional<FavoriteRequest> ProposeFavorite(std::string_view title, std::string_view url,
                                               TextCodec& codec) {
    url = Trim(url);
    if (url.empty()) return std::nullopt;
    FavoriteRequest request;
    request.description = CleanFavoriteName(Trim(title), codec);
    request.url = std::string(url);
    return request;
}

std::optional<std::string> FavoritesFolder(Registry& registry, Shell& shell) {
    std::optional<std::string> folder;
    if (auto key = registry.Open(RegistryRoot::CurrentUser, kUserShellFoldersPath)) {
        const auto value = key->ReadString(kFavoritesValue, kFavoritesPathBuffer);
        if (value && !value->empty()) {
            std::string expanded = shell.ExpandVariables(*value);
            // The platform expands into a path buffer; a longer result does
            // not expand at all.
            if (!expanded.empty() && expanded.size() < kFavoritesPathBuffer) folder = std::move(expanded);
        }
    }
    if (!folder) {
        folder = shell.SpecialFolderPath(SpecialFolder::Favorites);
        if (!folder || folder->empty()) return std::nullopt;
    }
    if (folder->back() != '\\') folder->push_back('\\');
    return folder;
}

bool IsDuplicateFavorite(const std::vector<FoundFile>& listing, std::string_view description,
                         TextCodec& codec) {
    const std::string wanted = codec.LowerAnsi(description);
    const std::string wantedFile =
        codec.LowerAnsi(std::string(description) + std::string(kShortcutExtension));
    constexpr uint32_t kNotAFavorite =
        file_attribute::kHidden | file_attribute::kSystem | file_attribute::kDirectory;
    for (const FoundFile& entry : listing) {
        // The folder's own entries are known by their names: a folder at the
        // root of a drive lists neither.
        if (entry.name == "." || entry.name == "..") continue;
        const std::string name = codec.LowerAnsi(entry.name);
        if (name == wantedFile) return true;
        if ((entry.attributes & kNotAFavorite) != 0) continue;
        if (codec.LowerAnsi(FavoriteBaseName(entry.name)) == wanted) return true;
    }
    return false;
}

FileChoice IconFileChoice() {
    FileChoice choice;
    choice.filter = "Icon Files (*.ico)\0*.ico\0"s;
    choice.defaultExtension = "ico";
    return choice;
}

bool KeepsDialogOpen(AddFavoriteResult result) {
    return result != AddFavoriteResult::Added && result != AddFavoriteResult::Failed;
}

AddFavoriteResult AddToFavorites(Platform& platform, const FavoriteRequest& request) {
    Prompts& prompts = platform.prompts;
    const auto field = [](const std::string& text) {
        return std::string_view(text).substr(0, kFavoriteFieldLimit);
    };
    const std::string description = CleanFavoriteName(field(request.description), platform.textCodec);
    const std::string_view url = field(request.url);

    if (description.empty()) {
        prompts.ShowMessage(favorites_message::kEnterDescription, MessageIcon::Warning);
        return AddFavoriteResult::MissingDescription;
    }
    if (url.empty()) {
        prompts.ShowMessage(favorites_message::kEnterUrl, MessageIcon::Warning);
        return AddFavoriteResult::MissingUrl;
    }
    const std::optional<std::string> folder = FavoritesFolder(platform.registry, platform.shell);
    if (!folder) {
        prompts.ShowMessage(favorites_message::kFolderNotFound, MessageIcon::Error);
        return AddFavoriteResult::FolderNotFound;
    }

    const std::string path = *folder + description + std::string(kShortcutExtension);
    // Only this folder is searched: favorites kept in subfolders are other
    // names. The listing may fail (a folder not made yet); the file's own
    // existence is asked as well, so that nothing is ever replaced.
    const auto listing = platform.fileSystem.Find(*folder + "*.*");
    if ((listing && IsDuplicateFavorite(*listing, description, platform.textCodec)) ||
        platform.fileSystem.Exists(path)) {
        prompts.ShowMessage(favorites_message::kAnotherDescription, MessageIcon::Warning);
        return AddFavoriteResult::Duplicate;
    }

    // A path the platform's buffers cannot hold whole would be saved cut,
    // under another name and without its extension.
    const InternetShortcut shortcut{std::string(url), std::string(field(request.iconFile)), description};
    const bool saved =
        path.size() < kFavoritesPathBuffer && platform.shell.SaveInternetShortcut(path, shortcut);
    if (!saved) {
        prompts.ShowMessage(favorites_message::kUnableToUpdate, MessageIcon::Warning);
        return AddFavoriteResult::Failed;
    }
    prompts.ShowMessage(favorites_message::kAdded, MessageIcon::Information);
    return AddFavoriteResult::Added;
}

}  // namespace qm
