// Removal of the browser's index files at the next restart. The files stay
// open while the user is logged on, so they are only scheduled: from major
// version 6 on through the system's delayed deletions (recorded in the
// multi-string PendingFileRenameOperations, which every program on the
// machine shares), before that through one run-once command per file that
// starts the sibling library Purgelet.dll at the next logon. An unknown
// version counts as the older generation.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace qm {

inline constexpr std::string_view kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr std::string_view kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr std::string_view kPendingFileRenameOperations = "PendingFileRenameOperations";
inline constexpr std::string_view kPurgeletLibrary = "Purgelet.dll";

// The run-once value names, which are also Purgelet.dll's entry points.
inline constexpr std::string_view kDeleteHistoryIndex = "DeleteHistoryIndex";
inline constexpr std::string_view kDeleteCookieIndex = "DeleteCookieIndex";
inline constexpr std::string_view kDeleteCacheIndex = "DeleteCacheIndex";

// The three check boxes of the dialog: 235 History, 236 Cookies, 237 the
// temporary Internet files.
struct IndexBoxes {
    bool history = false;
    bool cookies = false;
    bool cache = false;

    friend bool operator==(const IndexBoxes&, const IndexBoxes&) = default;
};

// True when the system deletes files at restart itself (major version 6
// or higher).
bool UsesDelayedDeletion(OsVersion& osVersion);

// The index files a box stands for, in the order they are tried; empty
// when the store's folder is unknown.
std::vector<std::string> HistoryIndexCandidates(Shell& shell);
std::vector<std::string> CookieIndexCandidates(Shell& shell);
std::vector<std::string> CacheIndexCandidates(Shell& shell);

// The one index file that goes for a store: the first candidate that is a
// file; for Cookies its one candidate, whether it exists or not. Nothing
// when the store's folder is unknown or no candidate exists.
std::optional<std::string> IndexFileToRemove(RecordKind store, Shell& shell, FileSystem& fileSystem);

// What Purgelet.dll's entry points do at logon, before the browser opens
// the store: delete that file now. Silent; true when a file went.
bool PurgeIndexFile(RecordKind store, Shell& shell, FileSystem& fileSystem);

// The boxes as the dialog shows them when it opens: what is already
// scheduled.
IndexBoxes PresetIndexBoxes(Platform& platform);

// OK: makes the checked boxes the whole schedule. dllPath is the full path
// of the band's own library, beside which Purgelet.dll lies.
void ScheduleIndexRemoval(Platform& platform, const IndexBoxes& boxes, std::string_view dllPath);

// The run-once command that runs one entry point of Purgelet.dll, built
// from the short form of the band library's folder; nothing when the path
// names no folder.
std::optional<std::string> RunOnceCommand(FileSystem& fileSystem, std::string_view dllPath,
                                          std::string_view entryPoint);

// One pending operation of the shared list: where its two strings lie in
// the value's UTF-16 units (each with its NUL).
struct PendingOperation {
    std::size_t begin = 0;  // first unit of the source
    std::size_t end = 0;    // one past the target's NUL
    std::u16string_view source;
    std::u16string_view target;  // empty for a deletion
};

// Splits the value's units into its pairs; nothing when they are not a
// well-formed list: every pair a non-empty source and a target, each ending
// in NUL, followed by nothing but NULs.
std::optional<std::vector<PendingOperation>> ParsePendingOperations(std::u16string_view data);

// The value's units without the delayed deletions of the given files (each
// compared in UTF-16 without case, with or without the "\??\" prefix). Every
// other pair stays unit for unit and in order; nothing when the data is not
// a well-formed list or holds none of those deletions.
std::optional<std::u16string> WithoutPendingDeletions(std::u16string_view data,
                                                      const std::vector<std::u16string>& files,
                                                      TextCodec& codec);

}  // namespace qm
