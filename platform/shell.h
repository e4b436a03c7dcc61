// Port: the desktop shell: special folders, opening things, the Recent
// Documents list, property sheets, Internet Shortcuts, environment strings
// and the clipboard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Special folders, with the platform's CSIDL numbers.
enum class SpecialFolder : int {
    Favorites = 0x06,
    Recent = 0x08,
    InternetCache = 0x20,
    Cookies = 0x21,
    History = 0x22,
    LocalAppData = 0x1C,
    AppData = 0x1A,
    Personal = 0x05,
    Profile = 0x28,
};

// What an Internet Shortcut (.url file) holds: the address, the icon file
// shown for it (its first icon; none when empty) and a description.
struct InternetShortcut {
    std::string url;
    std::string iconFile;
    std::string description;

    bool operator==(const InternetShortcut&) const = default;
};

// The .url file's text, for a platform that writes the file itself: the
// "[InternetShortcut]" section with URL, then IconFile and IconIndex=0 when
// there is an icon, then Description. Lines end in "\n" (a text file); a
// line break inside a value would start a line of its own, so it becomes a
// blank.
std::string InternetShortcutText(const InternetShortcut& shortcut);

class Shell {
public:
    virtual ~Shell() = default;

    virtual std::optional<std::string> SpecialFolderPath(SpecialFolder folder) = 0;
    // Opens a document, folder or address with its default handler.
    virtual bool Open(std::string_view target) = 0;
    virtual void ClearRecentDocuments() = 0;
    virtual bool ShowProperties(std::string_view path) = 0;
    // Creates or replaces the Internet Shortcut file at path; true when it
    // was written.
    virtual bool SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) = 0;
    virtual std::string ExpandVariables(std::string_view text) = 0;
    // Puts ANSI text on the clipboard; true on success.
    virtual bool SetClipboardText(std::string_view text) = 0;
};

}  // namespace qm
