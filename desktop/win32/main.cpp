// Quillmere.exe: the band in a window of its own, for systems whose browser
// no longer loads bands. The command line is in desktop/command_line.h.
//
// Exit codes: 0 done, 1 bad command line, 2 the band could not be loaded
// or started (a message box says why), 3 the screenshot could not be saved.
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/command_line.h"
#include "desktop/win32/host.h"
#include "desktop/win32/local_history_service.h"
#include "desktop/win32/sample_history.h"
#include "desktop/window_placement.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_registry.h"
#include "settings/settings.h"

namespace {

constexpr wchar_t kCaption[] = L"Quillmere";

// The Save As box of a report command: its file name gets the path, then OK.
std::wstring g_reportFile;
UINT_PTR g_reportTimer = 0;

BOOL CALLBACK AnswerSaveAs(HWND window, LPARAM) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    // The file name box: a combo box in the newer layout, an edit in the older.
    for (int id : {0x47c, 0x480}) SetDlgItemTextW(window, id, g_reportFile.c_str());
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    KillTimer(nullptr, g_reportTimer);
    return FALSE;
}

// Runs from the Save As box's own message loop: a timer procedure is called
// by whichever loop takes the message.
void CALLBACK LookForSaveAs(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), AnswerSaveAs, 0);
}

// A click in the middle of the band's tab, every tab being 70 pixels wide.
void ClickTab(HWND band, int tab) {
    const HWND tabs = FindWindowExA(band, nullptr, "QMFlatTabCtrl", nullptr);
    if (!tabs) return;
    RECT client{};
    GetClientRect(tabs, &client);
    const LPARAM point = MAKELPARAM(tab * 70 + 35, client.bottom / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(tabs, WM_LBUTTONUP, 0, point);
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring DefaultDllPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length < MAX_PATH ? length : 0);
    const std::size_t separator = result.find_last_of(L"\\/");
    result = separator == std::wstring::npos ? std::wstring() : result.substr(0, separator + 1);
    return result + L"Quillmere.dll";
}

// Tells the user, and the console when there is one.
void Report(const std::wstring& text) {
    std::fwprintf(stderr, L"Quillmere: %ls\n", text.c_str());
    MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        // The primary monitor first: a window with nowhere better goes there.
        auto& list = *reinterpret_cast<std::vector<qm::PixelRect>*>(areas);
        const qm::PixelRect area{work.left, work.top, work.right, work.bottom};
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            list.insert(list.begin(), area);
        else
            list.push_back(area);
    }
    return TRUE;
}

std::vector<qm::PixelRect> WorkAreas() {
    std::vector<qm::PixelRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

bool IsTimer(const MSG& msg, UINT_PTR timer) {
    return timer && msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == timer;
}

int Run(const qm::DesktopOptions& options) {
    std::unique_ptr<qm::LocalHistoryService> history;
    if (options.sampleHistory) {
        history = std::make_unique<qm::LocalHistoryService>();
        if (FAILED(history->registration())) {
            Report(L"Quillmere cannot serve its sample history.");
            return 2;
        }
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        const qm::FileTime ticks{static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime};
        for (auto& entry : qm::SampleHistory(ticks)) history->Add(std::move(entry));
    }

    qm::Win32Registry registry;
    qm::Win32OsVersion osVersion;
    const bool lowIntegrity = qm::UsesLowIntegrityKey(osVersion);
    const std::vector<qm::PixelRect> workAreas = WorkAreas();
    qm::Host host(qm::PlaceFrame(qm::ReadFramePlacement(registry, lowIntegrity), workAreas));
    std::wstring message;
    const std::wstring dllPath = options.dllPath.empty() ? DefaultDllPath() : Wide(options.dllPath);
    if (!host.Start(dllPath, message)) {
        host.Stop();
        Report(L"Quillmere cannot start: " + message);
        return 2;
    }
    host.QuitWhenClosed();

    const UINT_PTR screenshotTimer = options.screenshot ? SetTimer(nullptr, 0, options.delayMs, nullptr) : 0;
    // The tab is chosen once the start-up fills have run.
    const UINT_PTR tabTimer = options.tab ? SetTimer(nullptr, 0, 1500, nullptr) : 0;
    const UINT_PTR reportTimer = options.report ? SetTimer(nullptr, 0, 2000, nullptr) : 0;
    int result = 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsTimer(msg, tabTimer)) {
            KillTimer(nullptr, tabTimer);
            ClickTab(host.bandWindow(), *options.tab);
            continue;
        }
        if (IsTimer(msg, reportTimer)) {
            KillTimer(nullptr, reportTimer);
            static const WPARAM kSaveCommands[] = {32779, 32780, 32804};
            g_reportFile = Wide(options.reportFile);
            g_reportTimer = SetTimer(nullptr, 0, 200, LookForSaveAs);
            PostMessageW(host.bandWindow(), WM_COMMAND, kSaveCommands[*options.report], 0);
            continue;
        }
        if (IsTimer(msg, screenshotTimer)) {
            KillTimer(nullptr, screenshotTimer);
            if (!host.SaveScreenshot(Wide(*options.screenshot))) {
                std::fwprintf(stderr, L"Quillmere: cannot save the screenshot to %ls\n",
                              Wide(*options.screenshot).c_str());
                result = 3;
            }
            PostMessageW(host.frameWindow(), WM_CLOSE, 0, 0);
            continue;
        }
        if (host.TranslateAccelerator(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    host.Stop();
    qm::WriteFramePlacement(registry, lowIntegrity, host.placement());
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> words;
    for (int index = 1; arguments && index < count; ++index) {
        const std::wstring_view word = arguments[index];
        words.emplace_back(word.begin(), word.end());
    }
    if (arguments) LocalFree(arguments);
    const std::optional<qm::DesktopOptions> options = qm::ParseDesktopOptions(words);
    if (!options) {
        Report(Wide(qm::kDesktopUsage));
        return 1;
    }
    if (FAILED(OleInitialize(nullptr))) {
        Report(L"Quillmere cannot start: OLE could not be initialised.");
        return 2;
    }
    const int result = Run(*options);
    OleUninitialize();
    return result;
}
