#include "cleaning/index_removal.h"

#include <algorithm>
#include <array>
#include <span>

namespace qm {
namespace {

constexpr std::string_view kObjectPrefix = "\\??\\";
constexpr std::string_view kIndexFile = "index.dat";
constexpr std::array<std::string_view, 5> kHistoryCandidates = {
    "index.dat", "History.IE6\\index.dat", "History.IE5\\index.dat", "History.IE4\\index.dat",
    "History.IE3\\index.dat"};
constexpr std::array<std::string_view, 5> kCacheCandidates = {
    "index.dat", "Content.IE6\\index.dat", "Content.IE5\\index.dat", "Content.IE4\\index.dat",
    "Content.IE3\\index.dat"};

std::vector<std::string> Candidates(Shell& shell, SpecialFolder folder,
                                    std::span<const std::string_view> names) {
    std::vector<std::string> paths;
    auto root = shell.SpecialFolderPath(folder);
    if (!root || root->empty()) return paths;
    for (std::string_view name : names) paths.push_back(JoinPath(*root, name));
    return paths;
}

bool IsFile(FileSystem& fileSystem, std::string_view path) {
    auto attributes = fileSystem.GetAttributes(path);
    return attributes && (*attributes & file_attribute::kDirectory) == 0;
}

void ScheduleFirstExisting(FileSystem& fileSystem, const std::vector<std::string>& candidates) {
    auto found = std::find_if(candidates.begin(), candidates.end(),
                              [&](const std::string& path) { return IsFile(fileSystem, path); });
    if (found != candidates.end()) fileSystem.DeleteAtRestart(*found);
}

bool HasText(std::string_view data) {
    return data.find_first_not_of('\0') != std::string_view::npos;
}

// Takes back this system's earlier delayed deletions of the index files, so
// that what is scheduled next is the whole schedule.
void WithdrawIndexDeletions(Platform& platform) {
    auto key = platform.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (!key) return;
    auto value = key->Read(kPendingFileRenameOperations, kUnlimitedBuffer);
    if (!value || value->type != RegistryType::MultiString) return;

    std::vector<std::string> files = HistoryIndexCandidates(platform.shell);
    for (const auto& more : {CookieIndexCandidates(platform.shell), CacheIndexCandidates(platform.shell)})
        files.insert(files.end(), more.begin(), more.end());
    auto rest = WithoutPendingDeletions(value->data, files, platform.textCodec);
    if (!rest) return;
    // An empty list is what the system itself leaves by removing the value.
    if (HasText(*rest))
        key->Write(kPendingFileRenameOperations, RegistryValue{RegistryType::MultiString, std::move(*rest)});
    else
        key->DeleteValue(kPendingFileRenameOperations);
}

void ScheduleDelayedDeletions(Platform& platform, const IndexBoxes& boxes) {
    WithdrawIndexDeletions(platform);
    FileSystem& fileSystem = platform.fileSystem;
    if (boxes.history) ScheduleFirstExisting(fileSystem, HistoryIndexCandidates(platform.shell));
    // The cookie store's index file is asked for even when it is not there.
    if (boxes.cookies) {
        for (const std::string& path : CookieIndexCandidates(platform.shell))
            fileSystem.DeleteAtRestart(path);
    }
    if (boxes.cache) ScheduleFirstExisting(fileSystem, CacheIndexCandidates(platform.shell));
}

void ScheduleRunOnceCommands(Platform& platform, const IndexBoxes& boxes, std::string_view dllPath) {
    auto key = platform.registry.Open(RegistryRoot::CurrentUser, kRunOnceKey);
    if (!key) key = platform.registry.Create(RegistryRoot::CurrentUser, kRunOnceKey);
    if (!key) return;
    const std::pair<bool, std::string_view> values[] = {
        {boxes.history, kDeleteHistoryIndex},
        {boxes.cookies, kDeleteCookieIndex},
        {boxes.cache, kDeleteCacheIndex},
    };
    for (const auto& [checked, name] : values) {
        if (!checked) {
            key->DeleteValue(name);
        } else if (auto command = RunOnceCommand(platform.fileSystem, dllPath, name)) {
            key->WriteString(name, *command);
        }
    }
}

}  // namespace

bool UsesDelayedDeletion(OsVersion& osVersion) {
    auto major = osVersion.MajorVersion();
    return major && *major >= 6;
}

std::vector<std::string> HistoryIndexCandidates(Shell& shell) {
    return Candidates(shell, SpecialFolder::History, kHistoryCandidates);
}

std::vector<std::string> CookieIndexCandidates(Shell& shell) {
    return Candidates(shell, SpecialFolder::Cookies, std::span<const std::string_view>(&kIndexFile, 1));
}

std::vector<std::string> CacheIndexCandidates(Shell& shell) {
    return Candidates(shell, SpecialFolder::InternetCache, kCacheCandidates);
}

IndexBoxes PresetIndexBoxes(Platform& platform) {
    IndexBoxes boxes;
    if (!UsesDelayedDeletion(platform.osVersion)) {
        auto key = platform.registry.Open(RegistryRoot::CurrentUser, kRunOnceKey);
        if (!key) return boxes;
        // A value counts whatever its type and length: a command built from
        // a long folder path is still a schedule.
        auto exists = [&](std::string_view name) { return key->Read(name, kUnlimitedBuffer).has_value(); };
        boxes.history = exists(kDeleteHistoryIndex);
        boxes.cookies = exists(kDeleteCookieIndex);
        boxes.cache = exists(kDeleteCacheIndex);
        return boxes;
    }

    auto key = platform.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (!key) return boxes;
    auto value = key->Read(kPendingFileRenameOperations, kUnlimitedBuffer);
    if (!value) return boxes;
    std::string text = value->data;
    std::replace(text.begin(), text.end(), '\0', '\n');
    text = platform.textCodec.LowerAnsi(text);
    if (text.empty()) return boxes;
    auto pending = [&](SpecialFolder folder) {
        auto path = platform.shell.SpecialFolderPath(folder);
        // An unknown folder would otherwise be found in any text.
        if (!path || path->empty()) return false;
        return text.find(platform.textCodec.LowerAnsi(*path)) != std::string::npos;
    };
    boxes.history = pending(SpecialFolder::History);
    boxes.cookies = pending(SpecialFolder::Cookies);
    boxes.cache = pending(SpecialFolder::InternetCache);
    return boxes;
}

void ScheduleIndexRemoval(Platform& platform, const IndexBoxes& boxes, std::string_view dllPath) {
    if (UsesDelayedDeletion(platform.osVersion))
        ScheduleDelayedDeletions(platform, boxes);
    else
        ScheduleRunOnceCommands(platform, boxes, dllPath);
}

std::optional<std::string> RunOnceCommand(FileSystem& fileSystem, std::string_view dllPath,
                                          std::string_view entryPoint) {
    const std::string shortPath = fileSystem.ShortPathName(dllPath).value_or(std::string(dllPath));
    const std::size_t slash = shortPath.rfind('\\');
    if (slash == std::string::npos || shortPath.find('"') != std::string::npos) return std::nullopt;
    std::string library = shortPath.substr(0, slash + 1);
    library.append(kPurgeletLibrary);
    // Where the volume keeps no short names the folder may still hold a
    // blank or a comma, which would split the command: such a path is quoted.
    if (library.find_first_of(" ,") != std::string::npos) library = "\"" + library + "\"";
    std::string command = "rundll32 ";
    command.append(library).append(",").append(entryPoint);
    return command;
}

std::optional<std::vector<PendingOperation>> ParsePendingOperations(std::string_view data) {
    std::vector<PendingOperation> operations;
    std::size_t pos = 0;
    while (pos < data.size() && data[pos] != '\0') {
        PendingOperation operation;
        operation.begin = pos;
        const std::size_t sourceEnd = data.find('\0', pos);
        if (sourceEnd == std::string_view::npos) return std::nullopt;  // a source cut off
        operation.source = data.substr(pos, sourceEnd - pos);
        pos = sourceEnd + 1;
        const std::size_t targetEnd = data.find('\0', pos);
        if (targetEnd == std::string_view::npos) return std::nullopt;  // no target, or one cut off
        operation.target = data.substr(pos, targetEnd - pos);
        pos = targetEnd + 1;
        operation.end = pos;
        operations.push_back(operation);
    }
    // After the list's closing NUL nothing may follow: a string there would
    // be a pair the system never reads, or part of one.
    if (HasText(data.substr(pos))) return std::nullopt;
    return operations;
}

std::optional<std::string> WithoutPendingDeletions(std::string_view data,
                                                   const std::vector<std::string>& files, TextCodec& codec) {
    auto operations = ParsePendingOperations(data);
    if (!operations) return std::nullopt;
    std::vector<std::string> lowerFiles;
    lowerFiles.reserve(files.size());
    for (const std::string& file : files) lowerFiles.push_back(codec.LowerAnsi(file));

    auto isWithdrawn = [&](const PendingOperation& operation) {
        if (!operation.target.empty()) return false;  // a rename, not a deletion
        std::string_view source = operation.source;
        if (source.starts_with(kObjectPrefix)) source.remove_prefix(kObjectPrefix.size());
        const std::string lowerSource = codec.LowerAnsi(source);
        return std::find(lowerFiles.begin(), lowerFiles.end(), lowerSource) != lowerFiles.end();
    };

    std::string rest;
    rest.reserve(data.size());
    bool withdrew = false;
    std::size_t listEnd = 0;
    for (const PendingOperation& operation : *operations) {
        listEnd = operation.end;
        if (isWithdrawn(operation)) {
            withdrew = true;
        } else {
            rest.append(data.substr(operation.begin, operation.end - operation.begin));
        }
    }
    if (!withdrew) return std::nullopt;
    rest.append(data.substr(listEnd));  // the list's closing NUL, as it was
    return rest;
}

}  // namespace qm
