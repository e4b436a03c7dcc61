// Shell on the desktop shell's functions: special folders, ShellExecute,
// the Recent Documents list, the Internet Shortcut object, environment
// strings and the clipboard. What it shows (a property sheet) and what it
// owns (the clipboard) belongs to its owner window, the band's view:
// whichever window is active at the time may be none of ours, or none.
#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace qm {

class Win32Shell final : public Shell {
public:
    // Never creates the folder.
    std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override;
    bool Open(std::string_view target) override;
    void ClearRecentDocuments() override;
    bool ShowProperties(std::string_view path) override;
    // Through the shell's Internet Shortcut object, which writes the .url
    // file itself; COM is initialized for the call. Where the object lacks
    // IShellLinkA, which holds the icon and the description (Wine's does),
    // the file is written as text instead.
    bool SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) override;
    // A text that cannot be expanded comes back unchanged.
    std::string ExpandVariables(std::string_view text) override;
    bool SetClipboardText(std::string_view text) override;

    // The window that owns the clipboard data and the property sheets; null
    // until set, and then neither works.
    void SetOwnerWindow(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

}  // namespace qm
