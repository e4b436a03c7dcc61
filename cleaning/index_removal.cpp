#include "cleaning/index_removal.h"

#include <algorithm>
#include <array>
#include <span>

namespace qm {
namespace {

constexpr std::u16string_view kObjectPrefix = u"\\??\\";
constexpr std::string_view kIndexFile = "index.dat";
constexpr std::array<std::string_view, 5> kHistoryCandidates = {
    "index.dat", "History.IE6\\index.dat", "History.IE5\\index.dat", "History.IE4\\index.dat",
    "History.IE3\\index.dat"};
constexpr std::array<std::string_view, 5> kCacheCandidates = {
    "index.dat", "Content.IE6\\index.dat", "Content.IE5\\index.dat", "Content.IE4\\index.dat",
    "Content.IE3\\index.dat"};

// Another program may change the shared list between our reading and our
// writing it; the withdrawal then starts again from the new list, a few
// times at most.
constexpr int kWithdrawalAttempts = 4;

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

bool HasText(std::u16string_view data) {
    return data.find_first_not_of(u'\0') != std::u16string_view::npos;
}

// Takes back this system's earlier delayed deletions of the index files, so
// that what is scheduled next is the whole schedule. The list is shared
// with every program on the machine and kept in UTF-16: it is read and
// written in UTF-16, and written only when it is still what was read.
void WithdrawIndexDeletions(Platform& platform) {
    auto key = platform.registry.Open(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (!key) return;

    std::vector<std::u16string> files;
    for (const auto& candidates :
         {HistoryIndexCandidates(platform.shell), CookieIndexCandidates(platform.shell),
          CacheIndexCandidates(platform.shell)}) {
        for (const std::string& file : candidates) files.push_back(platform.textCodec.FromAnsi(file));
    }

    for (int attempt = 0; attempt < kWithdrawalAttempts; ++attempt) {
        const auto value = key->ReadMultiStringUtf16(kPendingFileRenameOperations);
        if (!value) return;
        const auto rest = WithoutPendingDeletions(*value, files, platform.textCodec);
        if (!rest) return;
        if (key->ReadMultiStringUtf16(kPendingFileRenameOperations) != value) continue;
        // An empty list is what the system itself leaves by removing the value.
        if (HasText(*rest))
            key->WriteMultiStringUtf16(kPendingFileRenameOperations, *rest);
        else
            key->DeleteValue(kPendingFileRenameOperations);
        return;
    }
}

constexpr RecordKind kStores[] = {RecordKind::History, RecordKind::Cookies, RecordKind::Cache};

void ScheduleDelayedDeletions(Platform& platform, const IndexBoxes& boxes) {
    WithdrawIndexDeletions(platform);
    const bool checked[] = {boxes.history, boxes.cookies, boxes.cache};
    for (std::size_t box = 0; box < std::size(kStores); ++box) {
        if (!checked[box]) continue;
        if (auto file = IndexFileToRemove(kStores[box], platform.shell, platform.fileSystem))
            platform.fileSystem.DeleteAtRestart(*file);
    }
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

std::optional<std::string> IndexFileToRemove(RecordKind store, Shell& shell, FileSystem& fileSystem) {
    switch (store) {
        case RecordKind::History:
        case RecordKind::Cache: {
            const auto candidates =
                store == RecordKind::History ? HistoryIndexCandidates(shell) : CacheIndexCandidates(shell);
            auto found = std::find_if(candidates.begin(), candidates.end(),
                                      [&](const std::string& path) { return IsFile(fileSystem, path); });
            if (found == candidates.end()) return std::nullopt;
            return *found;
        }
        case RecordKind::Cookies: {
            // The cookie store's index file is asked for even when it is not there.
            auto candidates = CookieIndexCandidates(shell);
            if (candidates.empty()) return std::nullopt;
            return candidates.front();
        }
    }
    return std::nullopt;
}

bool PurgeIndexFile(RecordKind store, Shell& shell, FileSystem& fileSystem) {
    const auto file = IndexFileToRemove(store, shell, fileSystem);
    return file && fileSystem.RemoveFile(*file) == FileRemoval::Removed;
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
    auto value = key->ReadMultiStringUtf16(kPendingFileRenameOperations);
    if (!value) return boxes;
    std::u16string text = platform.textCodec.LowerUtf16(*value);
    std::replace(text.begin(), text.end(), u'\0', u'\n');
    if (text.empty()) return boxes;
    auto pending = [&](SpecialFolder folder) {
        auto path = platform.shell.SpecialFolderPath(folder);
        // An unknown folder would otherwise be found in any text.
        if (!path || path->empty()) return false;
        return text.find(platform.textCodec.LowerUtf16(platform.textCodec.FromAnsi(*path))) !=
               std::u16string::npos;
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

std::optional<std::vector<PendingOperation>> ParsePendingOperations(std::u16string_view data) {
    std::vector<PendingOperation> operations;
    std::size_t pos = 0;
    while (pos < data.size() && data[pos] != u'\0') {
        PendingOperation operation;
        operation.begin = pos;
        const std::size_t sourceEnd = data.find(u'\0', pos);
        if (sourceEnd == std::u16string_view::npos) return std::nullopt;  // a source cut off
        operation.source = data.substr(pos, sourceEnd - pos);
        pos = sourceEnd + 1;
        const std::size_t targetEnd = data.find(u'\0', pos);
        if (targetEnd == std::u16string_view::npos) return std::nullopt;  // no target, or one cut off
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

std::optional<std::u16string> WithoutPendingDeletions(std::u16string_view data,
                                                      const std::vector<std::u16string>& files,
                                                      TextCodec& codec) {
    auto operations = ParsePendingOperations(data);
    if (!operations) return std::nullopt;
    std::vector<std::u16string> lowerFiles;
    lowerFiles.reserve(files.size());
    for (const std::u16string& file : files) lowerFiles.push_back(codec.LowerUtf16(file));

    auto isWithdrawn = [&](const PendingOperation& operation) {
        if (!operation.target.empty()) return false;  // a rename, not a deletion
        std::u16string_view source = operation.source;
        if (source.starts_with(kObjectPrefix)) source.remove_prefix(kObjectPrefix.size());
        const std::u16string lowerSource = codec.LowerUtf16(source);
        return std::find(lowerFiles.begin(), lowerFiles.end(), lowerSource) != lowerFiles.end();
    };

    std::u16string rest;
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
