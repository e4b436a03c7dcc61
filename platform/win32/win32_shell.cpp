#include "platform/win32/win32_shell.h"

// The Internet Shortcut interfaces come in an "A" and a "W" form; this
// adapter speaks ANSI.
#include <windows.h>
// clang-format off
#include <intshcut.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on
#include <wrl/client.h>

#include <cstring>
#include <string>

#include "platform/win32/c_string.h"
#include "platform/win32/com_initialization.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"

namespace qm {
namespace {

using Microsoft::WRL::ComPtr;

// Keeps the clipboard open until the end of the scope.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : opened_(OpenClipboard(owner)) {}
    ~OpenedClipboard() {
        if (opened_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    bool opened() const { return opened_; }

private:
    bool opened_;
};

struct GlobalFreer {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalFreer>;

// A path in the UTF-16 form that IPersistFile takes, converted with the ANSI
// code page; nothing when it does not convert.
std::optional<std::wstring> WidePath(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length) !=
        length)
        return std::nullopt;
    return wide;
}

}  // namespace

std::optional<std::string> Win32Shell::SpecialFolderPath(SpecialFolder folder) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, static_cast<int>(folder), FALSE)) return std::nullopt;
    path[MAX_PATH - 1] = '\0';
    return std::string(path);
}

bool Win32Shell::Open(std::string_view target) {
    const auto text = ToCString(target);
    if (!text) return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", text->c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void Win32Shell::ClearRecentDocuments() {
    SHAddToRecentDocs(SHARD_PATHA, nullptr);
}

bool Win32Shell::ShowProperties(std::string_view path) {
    const auto file = ToCString(path);
    if (!file) return false;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner_;
    info.lpVerb = "properties";
    info.lpFile = file->c_str();
    info.lpParameters = "";
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    return ShellExecuteExA(&info);
}

bool Win32Shell::SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) {
    const auto file = ToCString(path);
    const auto address = ToCString(shortcut.url);
    const auto icon = ToCString(shortcut.iconFile);
    const auto description = ToCString(shortcut.description);
    if (!file || !address || !icon || !description) return false;
    const auto widePath = WidePath(*file);
    if (!widePath) return false;

    ComInitialization com;
    ComPtr<IUniformResourceLocatorA> locator;
    if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUniformResourceLocatorA,
                                reinterpret_cast<void**>(locator.GetAddressOf())))) {
        return false;
    }
    ComPtr<IPersistFile> persist;
    if (FAILED(locator.As(&persist))) return false;
    ComPtr<IShellLinkA> link;
    if (FAILED(locator.As(&link))) {
        Win32FileSystem files;
        return files.WriteTextFile(*file, InternetShortcutText(shortcut));
    }
    // The address and the icon are set without looking at the answer: the
    // description and the saving say whether the shortcut was made.
    locator->SetURL(address->c_str(), 0);
    if (!icon->empty()) link->SetIconLocation(icon->c_str(), 0);
    if (FAILED(link->SetDescription(description->c_str()))) return false;
    return SUCCEEDED(persist->Save(widePath->c_str(), TRUE));
}

std::string Win32Shell::ExpandVariables(std::string_view text) {
    const auto source = ToCString(text);
    if (!source) return std::string(text);
    // The size first, then the text; the environment may change in between.
    DWORD size = ExpandEnvironmentStringsA(source->c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        std::string expanded(size, '\0');
        const DWORD needed = ExpandEnvironmentStringsA(source->c_str(), expanded.data(), size);
        if (needed == 0) break;
        if (needed <= size) {
            expanded.resize(strnlen(expanded.data(), size));
            return expanded;
        }
        size = needed;
    }
    return *source;
}

bool Win32Shell::SetClipboardText(std::string_view text) {
    const auto data = ToCString(text);
    if (!data) return false;
    // A clipboard opened without an owner window takes no data.
    OpenedClipboard clipboard(owner_);
    if (!clipboard.opened() || !EmptyClipboard()) return false;

    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, data->size() + 1));
    if (!memory) return false;
    void* bytes = GlobalLock(memory.get());
    if (!bytes) return false;
    std::memcpy(bytes, data->c_str(), data->size() + 1);
    GlobalUnlock(memory.get());
    if (!SetClipboardData(CF_TEXT, memory.get())) return false;
    (void)memory.release();  // the clipboard owns it now
    return true;
}

}  // namespace qm
