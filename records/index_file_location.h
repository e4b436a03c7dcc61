// Where index files lie and how the user picks one: the default locations
// of the three kinds, the rows of the chooser dialog that lists a kind's
// default index files, the folder search of the search dialog, and the
// settings of the file-open dialog. All of it is decided here, over the
// FileSystem, Shell and Prompts ports; the dialogs only show rows and pass
// on what the user did.
//
// Paths are the platform's: ANSI text with "\" between the parts.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/types.h"

namespace qm {

// ---- Default locations ----

// The kind texts that the open commands hand to the chooser.
inline constexpr std::string_view kHistoryIndexKindText = "HISTORY";
inline constexpr std::string_view kCookieIndexKindText = "COOKIE";
inline constexpr std::string_view kCacheIndexKindText = "CACHE";

// The kind of a kind text; nothing for any other text, with which the
// chooser stays as its resource made it and lists nothing.
std::optional<RecordKind> IndexFileKindFromText(std::string_view kindText);
std::string_view IndexFileKindText(RecordKind kind);

// Each kind's index files lie below a special folder of the user, at one of
// a few places that differ between browser versions, tried in order:
//   History  \index.dat, \History.IE6\index.dat ... \History.IE3\index.dat
//   Cache    \index.dat, \Content.IE6\index.dat ... \Content.IE3\index.dat
//   Cookies  \index.dat
struct IndexFileLocation {
    SpecialFolder folder;
    std::span<const std::string_view> candidates;  // each begins with "\"
};
IndexFileLocation DefaultIndexFileLocation(RecordKind kind);

// The folder followed by a text that begins with "\", without doubling the
// separator when the folder already ends in one (a drive's root, "D:\").
std::string AppendToFolder(std::string_view folder, std::string_view text);

// The first of the kind's candidates below the folder that a listing finds
// (a file or a folder of that name), as a full path.
std::optional<std::string> FirstExistingCandidate(FileSystem& fileSystem, RecordKind kind,
                                                  std::string_view folder);

// ---- The chooser ----

// The chooser's caption: "Select History index.dat file" and so on.
std::string_view IndexFileChooserCaption(RecordKind kind);

// The rows the chooser lists when it opens, in order; the dialog selects
// the first when there is one. Nothing when the special folder is unknown.
//   Cookies: the folder's "\index.dat" when it can be opened for reading.
//   Cache: the first candidate that exists.
//   History: the first candidate that exists, then the "index.dat" of every
//     folder beside it that can be opened for reading, in listing order
//     (".." included, which finds an index file one level up), where
//     "beside it" is the folder that holds the found file, or the folder
//     that holds the special folder when no candidate exists.
std::vector<std::string> IndexFileChooserRows(RecordKind kind, Shell& shell, FileSystem& fileSystem);

// A folder browser to show: where it starts, its title, and the message to
// show before it when the start folder is unknown.
struct FolderBrowseRequest {
    std::string initialFolder;  // empty when unknown
    std::string_view title;
    std::optional<std::string_view> message;  // shown with MessageIcon::None
};
FolderBrowseRequest IndexFileChooserBrowseRequest(RecordKind kind, Shell& shell);

// The index file that Browse takes from a chosen folder, or nothing.
//   Cookies: the folder's "\index.dat", else its "\Cookies\index.dat",
//     whichever can first be opened for reading.
//   History and Cache: the folder followed by the first candidate that
//     exists, or the folder alone when none does; taken only when it can be
//     opened for reading as a file (so a folder without any candidate
//     gives nothing).
std::optional<std::string> IndexFileInFolder(RecordKind kind, std::string_view chosenFolder,
                                             FileSystem& fileSystem);

// The whole of Browse: the message for an unknown start folder, the folder
// browser, the rules above. Returns the path to add as a new row, or
// nothing when the user cancelled, no file was found or a row already
// holds exactly that path (compared byte for byte). The selection is the
// dialog's and does not change.
std::optional<std::string> BrowseForIndexFile(RecordKind kind, Shell& shell, FileSystem& fileSystem,
                                              Prompts& prompts, std::span<const std::string> rows);

// ---- The list of both dialogs ----

// One column, "File", left-aligned, as wide as the placeholder's client
// area less a vertical scroll bar and 2 pixels. A row holds one full path.
inline constexpr std::string_view kIndexFileColumnTitle = "File";
int IndexFileColumnWidth(int placeholderClientWidth, int verticalScrollBarWidth);

// ---- The search ----

// Paths longer than this are passed over by the search, as the platform's
// file functions would refuse them.
inline constexpr std::size_t kMaxSearchPathLength = 259;

// True when the path, lower-cased, holds "index.dat" anywhere: INDEX.DAT,
// index.dat.bak, and every file below a folder whose name begins with
// index.dat.
bool IsIndexFilePath(std::string_view path);

// Walks the folder depth first, in listing order, reporting every file for
// which IsIndexFilePath holds. The flag is read before every entry: once it
// is false, the walk stops at the next entry of whatever folder it is in
// and returns through all of them. Folders that cannot be listed are passed
// over, and so are "." and "..", junctions and links to folders (never
// entered), and every path longer than kMaxSearchPathLength. Runs on the caller's thread; found is called on
// it.
void SearchFolder(FileSystem& fileSystem, std::string_view folder, const std::atomic<bool>& keepSearching,
                  const std::function<void(const std::string& path)>& found);

// The search dialog's folder browser: from the profile folder.
FolderBrowseRequest IndexFileSearchBrowseRequest(Shell& shell);

// The status line of the search dialog: "Searching..." while a search runs,
// empty at rest.
std::string_view SearchStatusText(bool searching);

// The message at the end of a search, given the rows the list then holds:
// only when it holds none (earlier searches' rows count too).
std::optional<std::string_view> SearchEndMessage(std::size_t rowCount);
inline constexpr MessageIcon kSearchEndMessageIcon = MessageIcon::Warning;

// ---- The file-open dialog ----

struct IndexFileOpenSettings {
    FileChoice choice;            // filter, default name and extension
    bool hideReadOnly = true;     // the read-only check box is not shown
    bool showHiddenFiles = true;  // index files are often hidden
};
IndexFileOpenSettings IndexFileOpenDialogSettings();

}  // namespace qm
