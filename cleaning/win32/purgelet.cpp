// Purgelet.dll, the sibling library that the run-once commands of "Clean up
// Index files" start through rundll32 at the next logon, on systems that
// delete nothing at restart themselves (major version 5 and lower). Each
// entry point deletes one store's index file before the browser opens it,
// found as the delayed deletions find it. It runs with nobody to tell, so
// it says nothing and nothing escapes it.
#include <windows.h>

#include "cleaning/index_removal.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"

namespace {

void Purge(qm::RecordKind store) {
    try {
        qm::Win32Shell shell;
        qm::Win32FileSystem fileSystem;
        qm::PurgeIndexFile(store, shell, fileSystem);
    } catch (...) {
    }
}

}  // namespace

// rundll32's calling convention: window, instance, command line, show flag.
extern "C" {

void CALLBACK DeleteHistoryIndex(HWND, HINSTANCE, LPSTR, int) {
    Purge(qm::RecordKind::History);
}

void CALLBACK DeleteCookieIndex(HWND, HINSTANCE, LPSTR, int) {
    Purge(qm::RecordKind::Cookies);
}

void CALLBACK DeleteCacheIndex(HWND, HINSTANCE, LPSTR, int) {
    Purge(qm::RecordKind::Cache);
}

}  // extern "C"
