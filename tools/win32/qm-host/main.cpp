// qm-host: opens Quillmere's band in a small window laid out as a browser,
// without a browser. It is the demo and the harness of the end-to-end
// tests.
//
//   qm-host [--dll PATH] [--sample-history] [--tab N] [--save-report N FILE]
//           [--screenshot FILE.bmp [--delay MS]]
//
// --dll             the band's DLL (default: Quillmere.dll beside qm-host.exe)
// --sample-history  serve a URL history service with a few dozen sample
//                   visits in this process, for the band to read
// --tab             click the band's tab N (0 History, 1 Cookies, 2 Cache)
//                   once the band is up, as the user would
// --save-report     choose File's Save History, Save Cookie List or Save
//                   Cache List (N as for --tab) once the band is up, and
//                   answer its Save As box with FILE
// --screenshot      save the host window as a BMP file after the delay
//                   (default 3000 ms), then close and exit
//
// Exit codes: 0 done, 1 bad command line, 2 the band could not be loaded
// or started, 3 the screenshot could not be saved.
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/win32/test_history_service.h"
#include "tools/win32/qm-host/host.h"
#include "tools/win32/qm-host/sample_history.h"

namespace {

struct Options {
    std::wstring dllPath;
    bool sampleHistory = false;
    std::optional<std::wstring> screenshot;
    UINT delayMs = 3000;
    std::optional<int> tab;
    std::optional<int> report;
    std::wstring reportFile;
};

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

std::wstring DefaultDllPath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length < MAX_PATH ? length : 0);
    const std::size_t separator = result.find_last_of(L"\\/");
    result = separator == std::wstring::npos ? std::wstring() : result.substr(0, separator + 1);
    return result + L"Quillmere.dll";
}

void Report(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    std::fprintf(stderr, "qm-host: %s\n", narrow.c_str());
}

std::optional<Options> ParseOptions(int count, wchar_t** arguments) {
    Options options;
    options.dllPath = DefaultDllPath();
    for (int index = 1; index < count; ++index) {
        const std::wstring argument = arguments[index];
        const bool hasValue = index + 1 < count;
        if (argument == L"--dll" && hasValue) {
            options.dllPath = arguments[++index];
        } else if (argument == L"--sample-history") {
            options.sampleHistory = true;
        } else if (argument == L"--screenshot" && hasValue) {
            options.screenshot = arguments[++index];
        } else if (argument == L"--tab" && hasValue) {
            const std::wstring tab = arguments[++index];
            if (tab != L"0" && tab != L"1" && tab != L"2") return std::nullopt;
            options.tab = tab[0] - L'0';
        } else if (argument == L"--save-report" && index + 2 < count) {
            const std::wstring kind = arguments[++index];
            if (kind != L"0" && kind != L"1" && kind != L"2") return std::nullopt;
            options.report = kind[0] - L'0';
            options.reportFile = arguments[++index];
        } else if (argument == L"--delay" && hasValue) {
            wchar_t* end = nullptr;
            const unsigned long delay = std::wcstoul(arguments[++index], &end, 10);
            if (!end || *end != L'\0' || delay > 600000) return std::nullopt;
            options.delayMs = static_cast<UINT>(delay);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

int Run(const Options& options) {
    std::unique_ptr<qm::TestHistoryService> history;
    if (options.sampleHistory) {
        history = std::make_unique<qm::TestHistoryService>();
        if (FAILED(history->registration())) {
            Report(L"cannot serve the sample history service");
            return 2;
        }
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        const qm::FileTime ticks{static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime};
        for (auto& entry : qm::SampleHistory(ticks)) history->Add(std::move(entry));
    }

    qm::Host host;
    std::wstring message;
    if (!host.Start(options.dllPath, message)) {
        Report(message);
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
        if (tabTimer && msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == tabTimer) {
            KillTimer(nullptr, tabTimer);
            ClickTab(host.bandWindow(), *options.tab);
            continue;
        }
        if (reportTimer && msg.hwnd == nullptr && msg.message == WM_TIMER && msg.wParam == reportTimer) {
            KillTimer(nullptr, reportTimer);
            static const WPARAM kSaveCommands[] = {32779, 32780, 32804};
            g_reportFile = options.reportFile;
            g_reportTimer = SetTimer(nullptr, 0, 200, LookForSaveAs);
            PostMessageW(host.bandWindow(), WM_COMMAND, kSaveCommands[*options.report], 0);
            continue;
        }
        if (screenshotTimer && msg.hwnd == nullptr && msg.message == WM_TIMER &&
            msg.wParam == screenshotTimer) {
            KillTimer(nullptr, screenshotTimer);
            if (!host.SaveScreenshot(*options.screenshot)) {
                Report(L"cannot save the screenshot to " + *options.screenshot);
                result = 3;
            }
            PostMessageW(host.frameWindow(), WM_CLOSE, 0, 0);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    host.Stop();
    return result;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::optional<Options> options = arguments ? ParseOptions(count, arguments) : std::nullopt;
    if (arguments) LocalFree(arguments);
    if (!options) {
        std::fprintf(stderr,
                     "usage: qm-host [--dll PATH] [--sample-history] [--tab N] [--save-report N FILE] "
                     "[--screenshot FILE.bmp [--delay MS]]\n");
        return 1;
    }
    if (FAILED(OleInitialize(nullptr))) {
        Report(L"cannot initialise OLE");
        return 2;
    }
    const int result = Run(*options);
    OleUninitialize();
    return result;
}
