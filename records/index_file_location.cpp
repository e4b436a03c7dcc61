#include "records/index_file_location.h"

#include <algorithm>

namespace qm {
namespace {

constexpr std::string_view kIndexFileName = "\\index.dat";
constexpr std::string_view kCookiesSubfolderIndex = "\\Cookies\\index.dat";

constexpr std::string_view kHistoryCandidates[] = {
    "\\index.dat",
    "\\History.IE6\\index.dat",
    "\\History.IE5\\index.dat",
    "\\History.IE4\\index.dat",
    "\\History.IE3\\index.dat",
};
constexpr std::string_view kCacheCandidates[] = {
    "\\index.dat",
    "\\Content.IE6\\index.dat",
    "\\Content.IE5\\index.dat",
    "\\Content.IE4\\index.dat",
    "\\Content.IE3\\index.dat",
};
constexpr std::string_view kCookieCandidates[] = {"\\index.dat"};

constexpr std::string_view kSearchingText = "Searching...";
constexpr std::string_view kNothingFoundMessage = "Selected folder does not contain index.dat files";
constexpr std::string_view kSearchBrowseTitle = "Please select a folder to search:";

// The History scan: the "index.dat" of every folder in the scan folder
// that can be opened for reading. "." would only name the scan folder's
// own index file, which is the row found before, so it is passed over by
// name; ".." stays and finds the index file one level up.
void AddSiblingIndexFiles(FileSystem& fileSystem, std::string_view lastPath, std::vector<std::string>& rows) {
    const std::size_t backslash = lastPath.rfind('\\');
    if (backslash == std::string_view::npos) return;
    const std::string scanFolder(lastPath.substr(0, backslash + 1));
    const auto entries = fileSystem.Find(scanFolder + "*.*");
    if (!entries) return;
    for (const FoundFile& entry : *entries) {
        if (entry.name == "." || !entry.isDirectory()) continue;
        std::string path = scanFolder + entry.name + std::string(kIndexFileName);
        if (fileSystem.CanOpenForRead(path)) rows.push_back(std::move(path));
    }
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::optional<RecordKind> IndexFileKindFromText(std::string_view kindText) {
    if (kindText == kHistoryIndexKindText) return RecordKind::History;
    if (kindText == kCookieIndexKindText) return RecordKind::Cookies;
    if (kindText == kCacheIndexKindText) return RecordKind::Cache;
    return std::nullopt;
}

std::string_view IndexFileKindText(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return kHistoryIndexKindText;
        case RecordKind::Cookies:
            return kCookieIndexKindText;
        case RecordKind::Cache:
            return kCacheIndexKindText;
    }
    return {};
}

IndexFileLocation DefaultIndexFileLocation(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return {SpecialFolder::History, kHistoryCandidates};
        case RecordKind::Cookies:
            return {SpecialFolder::Cookies, kCookieCandidates};
        case RecordKind::Cache:
            return {SpecialFolder::InternetCache, kCacheCandidates};
    }
    return {SpecialFolder::History, kHistoryCandidates};
}

std::string AppendToFolder(std::string_view folder, std::string_view text) {
    if (!folder.empty() && folder.back() == '\\' && !text.empty() && text.front() == '\\')
        folder.remove_suffix(1);
    std::string path(folder);
    path.append(text);
    return path;
}

std::optional<std::string> FirstExistingCandidate(FileSystem& fileSystem, RecordKind kind,
                                                  std::string_view folder) {
    for (std::string_view candidate : DefaultIndexFileLocation(kind).candidates) {
        std::string path = AppendToFolder(folder, candidate);
        const auto found = fileSystem.Find(path);
        if (found && !found->empty()) return path;
    }
    return std::nullopt;
}

std::string_view IndexFileChooserCaption(RecordKind kind) {
    switch (kind) {
        case RecordKind::History:
            return "Select History index.dat file";
        case RecordKind::Cookies:
            return "Select Cookies index.dat file";
        case RecordKind::Cache:
            return "Select Cache index.dat file";
    }
    return {};
}

std::vector<std::string> IndexFileChooserRows(RecordKind kind, Shell& shell, FileSystem& fileSystem) {
    std::vector<std::string> rows;
    const std::optional<std::string> folder = shell.SpecialFolderPath(DefaultIndexFileLocation(kind).folder);
    if (!folder) return rows;

    switch (kind) {
        case RecordKind::Cookies: {
            std::string path = AppendToFolder(*folder, kIndexFileName);
            if (fileSystem.CanOpenForRead(path)) rows.push_back(std::move(path));
            break;
        }
        case RecordKind::Cache:
            if (auto path = FirstExistingCandidate(fileSystem, kind, *folder))
                rows.push_back(std::move(*path));
            break;
        case RecordKind::History: {
            std::string lastPath = *folder;
            if (auto path = FirstExistingCandidate(fileSystem, kind, *folder)) {
                lastPath = *path;
                rows.push_back(std::move(*path));
            }
            AddSiblingIndexFiles(fileSystem, lastPath, rows);
            break;
        }
    }
    return rows;
}

FolderBrowseRequest IndexFileChooserBrowseRequest(RecordKind kind, Shell& shell) {
    FolderBrowseRequest request;
    switch (kind) {
        case RecordKind::History:
            request.title = "Please select a folder where the History files are located:";
            request.message = "Default History folder is not found.";
            break;
        case RecordKind::Cookies:
            request.title = "Please select Cookies folder:";
            request.message = "Default Cookie folder is not found.";
            break;
        case RecordKind::Cache:
            request.title = "Please select a folder where the Browser Cache files are located:";
            request.message = "Default Temporary Internet Files folder is not found.";
            break;
    }
    if (auto folder = shell.SpecialFolderPath(DefaultIndexFileLocation(kind).folder)) {
        request.initialFolder = std::move(*folder);
        request.message.reset();
    }
    return request;
}

std::optional<std::string> IndexFileInFolder(RecordKind kind, std::string_view chosenFolder,
                                             FileSystem& fileSystem) {
    if (kind == RecordKind::Cookies) {
        for (std::string_view candidate : {kIndexFileName, kCookiesSubfolderIndex}) {
            std::string path = AppendToFolder(chosenFolder, candidate);
            if (fileSystem.CanOpenForRead(path)) return path;
        }
        return std::nullopt;
    }
    std::string path =
        FirstExistingCandidate(fileSystem, kind, chosenFolder).value_or(std::string(chosenFolder));
    if (!fileSystem.CanOpenForRead(path)) return std::nullopt;
    return path;
}

std::optional<std::string> BrowseForIndexFile(RecordKind kind, Shell& shell, FileSystem& fileSystem,
                                              Prompts& prompts, std::span<const std::string> rows) {
    const FolderBrowseRequest request = IndexFileChooserBrowseRequest(kind, shell);
    if (request.message) prompts.ShowMessage(*request.message, MessageIcon::None);
    const std::optional<std::string> chosen = prompts.BrowseForFolder(request.title, request.initialFolder);
    if (!chosen) return std::nullopt;
    std::optional<std::string> path = IndexFileInFolder(kind, *chosen, fileSystem);
    if (!path || std::find(rows.begin(), rows.end(), *path) != rows.end()) return std::nullopt;
    return path;
}

int IndexFileColumnWidth(int placeholderClientWidth, int verticalScrollBarWidth) {
    return std::max(0, placeholderClientWidth - verticalScrollBarWidth - 2);
}

bool IsIndexFilePath(std::string_view path) {
    constexpr std::string_view kName = "index.dat";
    const auto match = std::search(path.begin(), path.end(), kName.begin(), kName.end(),
                                   [](char a, char b) { return LowerAscii(a) == b; });
    return match != path.end();
}

void SearchFolder(FileSystem& fileSystem, std::string_view folder, const std::atomic<bool>& keepSearching,
                  const std::function<void(const std::string& path)>& found) {
    const auto entries = fileSystem.Find(JoinPath(folder, "*"));
    if (!entries) return;
    for (const FoundFile& entry : *entries) {
        if (!keepSearching.load()) return;
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = JoinPath(folder, entry.name);
        if (path.size() > kMaxSearchPathLength) continue;
        if (entry.isDirectory()) {
            // A junction or a link may lead back up the tree, and the walk
            // would list the same folders again and again.
            if ((entry.attributes & file_attribute::kReparsePoint) == 0)
                SearchFolder(fileSystem, path, keepSearching, found);
        } else if (IsIndexFilePath(path)) {
            found(path);
        }
    }
}

FolderBrowseRequest IndexFileSearchBrowseRequest(Shell& shell) {
    FolderBrowseRequest request;
    request.title = kSearchBrowseTitle;
    request.initialFolder = shell.SpecialFolderPath(SpecialFolder::Profile).value_or(std::string());
    return request;
}

std::string_view SearchStatusText(bool searching) {
    return searching ? kSearchingText : std::string_view();
}

std::optional<std::string_view> SearchEndMessage(std::size_t rowCount) {
    if (rowCount != 0) return std::nullopt;
    return kNothingFoundMessage;
}

IndexFileOpenSettings IndexFileOpenDialogSettings() {
    using namespace std::string_literals;
    IndexFileOpenSettings settings;
    settings.choice.filter = "IE History Files (*.dat)\0*.dat\0"s;
    settings.choice.defaultName = "index.dat";
    settings.choice.defaultExtension = "dat";
    return settings;
}

}  // namespace qm
