// The boxes are real: a helper thread waits for the box that the test's
// thread opens, reads it back and presses one of its buttons, the way a
// user would.
#include "platform/win32/win32_prompts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
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

// The first visible dialog window of the thread, or null.
HWND FindDialogOf(DWORD thread) {
    HWND found = nullptr;
    EnumThreadWindows(thread, TakeVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct TextSearch {
    const std::string* text;
    bool found;
};

BOOL CALLBACK CompareChildText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (WindowText(child) == *search->text) search->found = true;
    return !search->found;
}

// Whether some child window of the dialog shows exactly this text.
bool HasChildWithText(HWND dialog, const std::string& text) {
    TextSearch search{&text, false};
    EnumChildWindows(dialog, CompareChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs on its own thread while the test's thread sits in a modal loop:
// waits for the dialog, lets the test look at it, then presses the button.
class DialogPresser {
public:
    using Inspect = std::function<void(HWND dialog)>;

    DialogPresser(int button, Inspect inspect)
        : thread_([this, button, inspect, owner = GetCurrentThreadId()] { Run(owner, button, inspect); }) {}
    ~DialogPresser() { thread_.join(); }

    bool pressed() const { return pressed_; }

private:
    void Run(DWORD owner, int button, const Inspect& inspect) {
        HWND dialog = nullptr;
        for (int waited = 0; waited < 15'000 && !dialog; waited += 50) {
            Sleep(50);
            dialog = FindDialogOf(owner);
        }
        if (!dialog) return;
        Sleep(300);  // let the dialog finish its own setting up
        inspect(dialog);
        pressed_ = PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }

    bool pressed_ = false;
    std::thread thread_;
};

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

class Win32PromptsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner_.get(), nullptr);
        ASSERT_EQ(GetActiveWindow(), owner_.get());
    }

    ActiveOwner owner_;
    Win32Prompts prompts_;
};

TEST_F(Win32PromptsTest, AskYesNoIsAQuestionWithNoAsDefault) {
    for (const int button : {IDNO, IDYES}) {
        SCOPED_TRACE(button);
        HWND seenOwner = nullptr;
        std::string caption, text;
        bool noIsDefault = false, yesIsDefault = false;
        bool hasYes = false, hasNo = false, hasOk = false;
        bool answer;
        {
            DialogPresser presser(button, [&](HWND box) {
                seenOwner = GetWindow(box, GW_OWNER);
                caption = WindowText(box);
                text = WindowText(GetDlgItem(box, kMessageTextId));
                noIsDefault =
                    (GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
                yesIsDefault =
                    (GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
                hasYes = GetDlgItem(box, IDYES) != nullptr;
                hasNo = GetDlgItem(box, IDNO) != nullptr;
                hasOk = GetDlgItem(box, IDOK) != nullptr;
            });
            answer = prompts_.AskYesNo("Are you sure you want to delete selected items?");
        }
        EXPECT_EQ(answer, button == IDYES);
        EXPECT_EQ(seenOwner, owner_.get());
        EXPECT_EQ(caption, "Quillmere");
        EXPECT_EQ(text, "Are you sure you want to delete selected items?");
        EXPECT_TRUE(noIsDefault);
        EXPECT_FALSE(yesIsDefault);
        EXPECT_TRUE(hasYes);
        EXPECT_TRUE(hasNo);
        EXPECT_FALSE(hasOk);
    }
}

TEST_F(Win32PromptsTest, ShowMessageHasOnlyAnOkButton) {
    std::string caption, text;
    bool hasOk = false, hasNo = false;
    {
        DialogPresser presser(IDOK, [&](HWND box) {
            caption = WindowText(box);
            text = WindowText(GetDlgItem(box, kMessageTextId));
            hasOk = GetDlgItem(box, IDOK) != nullptr;
            hasNo = GetDlgItem(box, IDNO) != nullptr;
        });
        prompts_.ShowMessage(std::string("Please enter a Description.\0hidden", 35), MessageIcon::Warning);
    }
    EXPECT_EQ(caption, "Quillmere");
    EXPECT_EQ(text, "Please enter a Description.");
    EXPECT_TRUE(hasOk);
    EXPECT_FALSE(hasNo);
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
    std::string caption;
    HWND seenOwner = nullptr;
    std::optional<std::string> chosen;
    {
        DialogPresser presser(IDOK, [&](HWND dialog) {
            caption = WindowText(dialog);
            seenOwner = GetWindow(dialog, GW_OWNER);
        });
        chosen = prompts_.ChooseFileToSave(choice);
    }
    EXPECT_EQ(caption, "Export the list");
    EXPECT_EQ(seenOwner, owner_.get());
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, folder.Path("history.html"));
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
    {
        DialogPresser presser(IDCANCEL, [](HWND) {});
        EXPECT_FALSE(prompts_.ChooseFileToOpen(choice));
    }
    std::optional<std::string> chosen;
    {
        DialogPresser presser(IDOK, [](HWND) {});
        chosen = prompts_.ChooseFileToOpen(choice);
    }
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, folder.Path("index.dat"));
}

TEST_F(Win32PromptsTest, BrowseForFolderShowsTheTitleAndGivesNothingWhenCancelled) {
    bool titleShown = false;
    std::optional<std::string> chosen;
    {
        DialogPresser presser(IDCANCEL, [&](HWND dialog) {
            titleShown = HasChildWithText(dialog, "Please select a folder to search:");
        });
        chosen = prompts_.BrowseForFolder("Please select a folder to search:", "");
    }
    EXPECT_TRUE(titleShown);
    EXPECT_FALSE(chosen);
}

TEST_F(Win32PromptsTest, BrowseForFolderOpensAtTheInitialFolder) {
    // A folder below the Windows folder: Wine's browser cannot walk down to
    // one inside the user's profile, which it shows as a folder of its own.
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string start =
        std::string(windows) + "\\Temp\\qm-browse-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA((std::string(windows) + "\\Temp").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
    std::optional<std::string> chosen;
    {
        // OK at once takes the folder the browser selected when it opened.
        DialogPresser presser(IDOK, [](HWND) {});
        chosen = prompts_.BrowseForFolder("Please select Cookies folder:", start);
    }
    RemoveDirectoryA(start.c_str());
    ASSERT_TRUE(chosen);
    EXPECT_STRCASEEQ(chosen->c_str(), start.c_str());
}

}  // namespace
}  // namespace qm
