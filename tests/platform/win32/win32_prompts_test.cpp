// The boxes are real: a helper thread waits for the box that the test's
// thread opens over the active window, reads it back and presses one of its
// buttons, the way a user would.
#include "platform/win32/win32_prompts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "tests/platform/win32/win32_temp_folder.h"

namespace qm {
namespace {

// The message box's text control, as the platform numbers it.
constexpr int kMessageTextId = 0xFFFF;

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM param) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

struct TextSearch {
    const char* text;
    bool found;
};

BOOL CALLBACK CompareChildText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    search->found = WindowText(child) == search->text;
    return !search->found;
}

// What a test reads of a box while it is open.
struct Seen {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    bool hasYes = false, hasNo = false, hasOk = false;
    bool noIsDefault = false, yesIsDefault = false;
    bool browseTitleShown = false;
};

bool IsDefault(HWND button) {
    return (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// A visible top-level window made active, as the browser's frame is when a
// command asks something.
class ActiveOwner {
public:
    ActiveOwner() {
        window_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
    }
    ~ActiveOwner() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Runs on its own thread while the test's thread sits in the box's modal
// loop: waits for the box, reads it into seen, then presses the button.
class Presser {
public:
    Presser(int button, Seen& seen)
        : thread_([this, button, &seen, owner = GetCurrentThreadId()] { Run(owner, button, seen); }) {}
    ~Presser() {
        thread_.join();
        EXPECT_TRUE(pressed_) << "no box came";
    }

private:
    void Run(DWORD owner, int button, Seen& seen) {
        HWND box = nullptr;
        for (int waited = 0; waited < 15'000 && !box; waited += 50) {
            Sleep(50);
            EnumThreadWindows(owner, TakeVisibleDialog, reinterpret_cast<LPARAM>(&box));
        }
        if (!box) return;
        Sleep(300);  // let the box finish its own setting up
        seen.owner = GetWindow(box, GW_OWNER);
        seen.caption = WindowText(box);
        seen.text = WindowText(GetDlgItem(box, kMessageTextId));
        seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
        seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
        seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
        seen.noIsDefault = IsDefault(GetDlgItem(box, IDNO));
        seen.yesIsDefault = IsDefault(GetDlgItem(box, IDYES));
        TextSearch search{"Please select Cookies folder:", false};
        EnumChildWindows(box, CompareChildText, reinterpret_cast<LPARAM>(&search));
        seen.browseTitleShown = search.found;
        pressed_ = PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }

    bool pressed_ = false;
    std::thread thread_;
};

class Win32PromptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner_.get(), nullptr);
        ASSERT_EQ(GetActiveWindow(), owner_.get());
    }

    ActiveOwner owner_;
    Win32Prompts prompts_;
    Seen seen_;
};

TEST_F(Win32PromptsTest, AskYesNoIsAQuestionWithNoAsDefault) {
    bool answer = false;
    {
        Presser presser(IDYES, seen_);
        answer = prompts_.AskYesNo("Are you sure you want to delete selected items?");
    }
    EXPECT_TRUE(answer);
    EXPECT_EQ(seen_.owner, owner_.get());
    EXPECT_EQ(seen_.caption, "Quillmere");
    EXPECT_EQ(seen_.text, "Are you sure you want to delete selected items?");
    EXPECT_TRUE(seen_.hasYes && seen_.hasNo && !seen_.hasOk);
    EXPECT_TRUE(seen_.noIsDefault);
    EXPECT_FALSE(seen_.yesIsDefault);
}

TEST_F(Win32PromptsTest, ShowMessageHasOnlyAnOkButtonAndItsTextEndsAtANul) {
    {
        Presser presser(IDOK, seen_);
        prompts_.ShowMessage(std::string("Please enter a Description.\0hidden", 35), MessageIcon::Warning);
    }
    EXPECT_EQ(seen_.caption, "Quillmere");
    EXPECT_EQ(seen_.text, "Please enter a Description.");
    EXPECT_TRUE(seen_.hasOk && !seen_.hasNo);
}

TEST_F(Win32PromptsTest, ChooseFileToSaveOffersTheDefaultNameInTheInitialFolder) {
    TempFolder folder;
    ASSERT_TRUE(folder.valid());
    FileChoice choice;
    choice.filter = std::string("HTML Files (*.html)\0*.html\0", 27);
    choice.initialFolder = folder.Path();
    choice.defaultName = "history";
    choice.defaultExtension = "html";
    choice.title = "Export the list";
    std::optional<std::string> chosen;
    {
        Presser presser(IDOK, seen_);
        chosen = prompts_.ChooseFileToSave(choice);
    }
    EXPECT_EQ(seen_.caption, "Export the list");
    EXPECT_EQ(seen_.owner, owner_.get());
    EXPECT_EQ(chosen, folder.Path("history.html"));
}

TEST_F(Win32PromptsTest, ChooseFileToOpenGivesNothingWhenCancelled) {
    TempFolder folder;
    ASSERT_TRUE(folder.valid());
    folder.MakeFile("index.dat", "x");
    FileChoice choice;
    choice.filter = std::string("IE History Files (*.dat)\0*.dat\0", 31);
    choice.initialFolder = folder.Path();
    choice.defaultName = "index.dat";
    choice.defaultExtension = "dat";
    std::optional<std::string> chosen{"not asked"};
    {
        Presser presser(IDCANCEL, seen_);
        chosen = prompts_.ChooseFileToOpen(choice);
    }
    EXPECT_FALSE(chosen);
}

TEST_F(Win32PromptsTest, BrowseForFolderShowsTheTitleAndOpensAtTheInitialFolder) {
    // A folder below the Windows folder: Wine's browser cannot walk down to
    // one inside the user's profile, which it shows as a folder of its own.
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string start =
        std::string(windows) + "\\Temp\\qm-browse-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA((std::string(windows) + "\\Temp").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
    // OK at once takes the folder the browser selected when it opened.
    std::optional<std::string> chosen;
    {
        Presser presser(IDOK, seen_);
        chosen = prompts_.BrowseForFolder("Please select Cookies folder:", start);
    }
    RemoveDirectoryA(start.c_str());
    EXPECT_TRUE(seen_.browseTitleShown);
    ASSERT_TRUE(chosen);
    EXPECT_STRCASEEQ(chosen->c_str(), start.c_str());
}

}  // namespace
}  // namespace qm
