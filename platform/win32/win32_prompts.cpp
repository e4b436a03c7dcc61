#include "platform/win32/win32_prompts.h"

#include <windows.h>
// clang-format off
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/com_initialization.h"
#include "platform/win32/unique_handle.h"

namespace qm {
namespace {

struct TaskMemoryFreer {
    void operator()(PIDLIST_ABSOLUTE list) const { CoTaskMemFree(list); }
};
using UniqueIdList = UniqueHandle<PIDLIST_ABSOLUTE, TaskMemoryFreer>;

// The platform's texts end at their first NUL; a text with one inside is
// shown as far as that NUL.
std::string BoxText(std::string_view text) {
    return std::string(text.substr(0, std::min(text.find('\0'), text.size())));
}

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Warning:
            return MB_ICONEXCLAMATION;
        case MessageIcon::Error:
            return MB_ICONSTOP;
        case MessageIcon::None:
            break;
    }
    return 0;
}

// The filter as the dialogs read it: pairs of NUL-terminated texts and one
// more NUL after the last pair, whatever the caller's text ends with.
std::string DialogFilter(const std::string& filter) {
    std::string terminated = filter;
    while (!terminated.empty() && terminated.back() == '\0') terminated.pop_back();
    if (terminated.empty()) return terminated;
    terminated.append(2, '\0');
    return terminated;
}

const char* OptionalText(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

// Shows the open or save dialog; the chosen path, or nothing when the user
// cancelled or the dialog failed.
std::optional<std::string> ChooseFile(const FileChoice& choice, DWORD flags, bool save) {
    const std::string filter = DialogFilter(choice.filter);
    const std::string initialFolder = BoxText(choice.initialFolder);
    const std::string defaultExtension = BoxText(choice.defaultExtension);
    const std::string title = BoxText(choice.title);

    // The proposed name is the start of the result buffer; one that does
    // not fit is not proposed rather than cut into another name.
    char file[MAX_PATH] = {};
    const std::string defaultName = BoxText(choice.defaultName);
    if (defaultName.size() < sizeof file) std::memcpy(file, defaultName.data(), defaultName.size());

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = OptionalText(initialFolder);
    dialog.lpstrTitle = OptionalText(title);
    dialog.lpstrDefExt = OptionalText(defaultExtension);
    dialog.Flags = OFN_EXPLORER | flags;
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return std::nullopt;
    file[sizeof file - 1] = '\0';
    return std::string(file);
}

}  // namespace

bool Win32Prompts::AskYesNo(std::string_view question) {
    const std::string text = BoxText(question);
    return MessageBoxA(GetActiveWindow(), text.c_str(), kPromptCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32Prompts::ShowMessage(std::string_view text, MessageIcon icon) {
    const std::string message = BoxText(text);
    MessageBoxA(GetActiveWindow(), message.c_str(), kPromptCaption, MB_OK | IconStyle(icon));
}

std::optional<std::string> Win32Prompts::ChooseFileToOpen(const FileChoice& choice) {
    return ChooseFile(choice, OFN_HIDEREADONLY | OFN_FORCESHOWHIDDEN, false);
}

std::optional<std::string> Win32Prompts::ChooseFileToSave(const FileChoice& choice) {
    return ChooseFile(choice, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, true);
}

namespace {

// The folder browser's callback: once its window is up, it selects the
// folder whose path the browser's lParam carries.
int CALLBACK SelectInitialFolder(HWND window, UINT message, LPARAM, LPARAM path) {
    if (message == BFFM_INITIALIZED) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, path);
    return 0;
}

}  // namespace

std::optional<std::string> Win32Prompts::BrowseForFolder(std::string_view title,
                                                         std::string_view initialFolder) {
    const std::string text = BoxText(title);
    const std::string start = BoxText(initialFolder);
    // The folder browser works on shell objects and needs COM on this thread.
    ComInitialization com;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA browse = {};
    browse.hwndOwner = GetActiveWindow();
    browse.pszDisplayName = displayName;
    browse.lpszTitle = text.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!start.empty()) {
        // The browser can only be told where to start once its window is up.
        browse.lpfn = &SelectInitialFolder;
        browse.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    UniqueIdList chosen(SHBrowseForFolderA(&browse));
    if (!chosen) return std::nullopt;
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(chosen.get(), path)) return std::nullopt;
    path[MAX_PATH - 1] = '\0';
    return std::string(path);
}

}  // namespace qm
