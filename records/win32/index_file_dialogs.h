// The two dialogs through which the user picks an index file to open: the
// chooser (resource 218), which lists the default index files of one record
// kind, and the search dialog (resource 343), which walks a folder tree for
// files named like index files. Which rows they list, what Browse adds and
// what the search finds is decided in records/index_file_location.h; the
// dialogs show rows in a ListCtrl placed over their list placeholder and
// pass on what the user did.
//
// Both are modal, owned by owner, and load their templates from module.
// Each returns the chosen path when the dialog ended with OK: the text of
// the first selected row, empty when no row was selected. Any other ending
// returns nothing.
//
// The search runs on a thread of its own that never touches the dialog's
// windows: it hands what it finds to the dialog's thread, which adds the
// rows. OK, Cancel or the dialog's destruction stop it and wait for it a
// bounded time (kSearchStopWaitMs); a search still busy after that (a
// folder listing that does not return) is left to finish on its own. It
// owns everything it touches: the file system it lists with (made for it
// by `makeFileSystem` when it starts, never the platform's) and its channel
// to the dialog; and it holds the module it runs in until it ends.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/types.h"

namespace qm {

// How long OK or Cancel waits for a running search to stop.
inline constexpr DWORD kSearchStopWaitMs = 1000;

std::optional<std::string> RunIndexFileChooser(HINSTANCE module, HWND owner, Platform& platform,
                                               RecordKind kind);
using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;
std::optional<std::string> RunIndexFileSearch(HINSTANCE module, HWND owner, Platform& platform,
                                              FileSystemFactory makeFileSystem);

}  // namespace qm
