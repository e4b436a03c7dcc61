// Quillmere.exe as the user starts it: its own process, its windows read
// and clicked from this one. The program is the one in the working folder,
// or the one QM_QUILLMERE_EXE names (the package tests aim this at the
// installed program).
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "desktop/win32/sample_history.h"
#include "desktop/window_placement.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_registry.h"
#include "settings/settings.h"
#include "widgets/tab_model.h"

namespace qm::test {
namespace {

constexpr DWORD kPatienceMs = 30000;

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"QM_QUILLMERE_EXE", path, MAX_PATH) > 0) return path;
    GetCurrentDirectoryW(MAX_PATH, path);
    return std::wstring(path) + L"\\Quillmere.exe";
}

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return text;
}

// One run of the program; killed if a test leaves it running.
class Program {
public:
    explicit Program(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return started_; }

    // Looks every 50 ms until `done` answers true; false when the program
    // ends first or the patience runs out.
    bool WaitFor(const std::function<bool()>& done) const {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > kPatienceMs) return false;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return done();
        }
        return true;
    }

    // The first visible top-level window of the program with this class.
    HWND WaitForWindow(const wchar_t* className) const {
        Search search{process_.dwProcessId, className, nullptr};
        WaitFor([&] {
            EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        return search.found;
    }

    std::optional<DWORD> WaitForExit() const {
        if (WaitForSingleObject(process_.hProcess, kPatienceMs) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    struct Search {
        DWORD process;
        const wchar_t* className;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM parameter) {
        auto* search = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner != search->process || !IsWindowVisible(window) || std::wstring(name) != search->className)
            return TRUE;
        search->found = window;
        return FALSE;
    }

    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
};

// The parts of the frame the tests read and click.
struct Frame {
    explicit Frame(HWND window) : window(window) {
        status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
        const HWND site = FindWindowExW(window, nullptr, L"QuillmereBandSite", nullptr);
        const HWND view = site ? FindWindowExW(site, nullptr, nullptr, L"QuillmereSuperClass") : nullptr;
        tabs = view ? FindWindowExW(view, nullptr, L"QMFlatTabCtrl", nullptr) : nullptr;
    }

    void ClickTab(int tab) const {
        RECT client = {};
        GetClientRect(tabs, &client);
        const LPARAM point = MAKELPARAM(tab * kFlatTabWidth + kFlatTabWidth / 2, client.bottom / 2);
        PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(tabs, WM_LBUTTONUP, 0, point);
    }

    HWND window;
    HWND status = nullptr;
    HWND tabs = nullptr;
};

// The window's size and place are the user's, kept in the settings key;
// the tests start from none and leave none.
void ForgetPlacement() {
    Win32Registry registry;
    Win32OsVersion osVersion;
    if (auto key = OpenSettingsKey(registry, UsesLowIntegrityKey(osVersion))) key->DeleteValue(kFramePlacementValue);
}

class QuillmereExe : public ::testing::Test {
protected:
    void SetUp() override { ForgetPlacement(); }
    void TearDown() override { ForgetPlacement(); }
};

TEST_F(QuillmereExe, ServesTheSampleHistoryClosesWithZeroAndOpensWhereItWasClosed) {
    {
        Program program(L"--sample-history");
        ASSERT_TRUE(program.started()) << "cannot start the program";
        const HWND window = program.WaitForWindow(L"QuillmereFrame");
        ASSERT_NE(window, nullptr) << "no window opened";
        EXPECT_EQ(Text(window), L"Quillmere");
        const Frame frame(window);
        ASSERT_NE(frame.status, nullptr);
        ASSERT_NE(frame.tabs, nullptr);
        const std::wstring history = L"Internet Explorer History contains: " +
                                     std::to_wstring(SampleHistory(FileTime{132223104000000000ull}).size()) +
                                     L" items";
        EXPECT_TRUE(program.WaitFor([&] { return Text(frame.status) == history; })) << Text(frame.status).c_str();
        frame.ClickTab(2);
        const std::wstring cache = L"Internet Explorer Cache contains: ";
        EXPECT_TRUE(program.WaitFor([&] { return Text(frame.status).compare(0, cache.size(), cache) == 0; }))
            << Text(frame.status).c_str();

        SetWindowPos(window, nullptr, 123, 77, 700, 520, SWP_NOZORDER | SWP_NOACTIVATE);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.WaitForExit(), 0u);
    }
    Program program(L"");
    const HWND window = program.WaitForWindow(L"QuillmereFrame");
    ASSERT_NE(window, nullptr);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 123);
    EXPECT_EQ(rect.top, 77);
    EXPECT_EQ(rect.right - rect.left, 700);
    EXPECT_EQ(rect.bottom - rect.top, 520);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST_F(QuillmereExe, ADllThatCannotBeLoadedIsReportedInAMessageBox) {
    Program program(L"--dll C:\\nowhere\\Quillmere.dll");
    const HWND box = program.WaitForWindow(L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(Text(box), L"Quillmere");
    // The box's text is its static control with the id 0xFFFF.
    const std::wstring text = Text(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find(L"cannot load C:\\nowhere\\Quillmere.dll (error "), std::wstring::npos) << text.c_str();
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.WaitForExit(), 2u);
}

}  // namespace
}  // namespace qm::test
