#include "tests/support/win32/dialog_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

namespace qm {
namespace {

constexpr char kOwnerClass[] = "QmDialogTestOwner";

// The driver whose watchdog is armed; a thread timer carries no pointer.
DialogDriver* gWatched = nullptr;

struct DialogSearch {
    HWND owner;
    HWND found;
};

bool IsDialogWindow(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::string_view(className) == "#32770";
}

BOOL CALLBACK FindOwnedVisibleDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    if (!IsDialogWindow(window) || GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindOpenDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    if (!IsDialogWindow(window) || !IsWindowEnabled(window)) return TRUE;
    if (search->owner && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND DialogOwnedBy(HWND owner) {
    DialogSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOwnedVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DialogDriver::DialogDriver() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &DialogDriver::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    // The procedure keeps the handle from WM_NCCREATE on: the creation
    // messages arrive before CreateWindowExA returns it. The owner stays
    // hidden: the dialog shows all the same, and without a window manager
    // Wine waits two seconds for a shown window to be withdrawn.
    CreateWindowExA(0, kOwnerClass, "Dialog owner", WS_OVERLAPPEDWINDOW, 20, 20, 300, 200,
                    nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (!window_) ADD_FAILURE() << "the dialog owner could not be made: " << GetLastError();
}

DialogDriver::~DialogDriver() {
    if (watchdog_) KillTimer(nullptr, watchdog_);
    if (gWatched == this) gWatched = nullptr;
    if (window_) DestroyWindow(window_);
}

void DialogDriver::Script(std::vector<Step> steps) {
    steps_.assign(steps.begin(), steps.end());
    stepsRun_ = 0;
    ranOut_ = false;
    cancelSent_ = false;
    ArmWatchdog();
}

void DialogDriver::Receive(UINT message, Receiver receiver) {
    receivers_.emplace_back(message, std::move(receiver));
}

LRESULT CALLBACK DialogDriver::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<DialogDriver*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DialogDriver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
        if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
            self->OnIdle(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        for (const auto& [received, receiver] : self->receivers_) {
            if (received == message) {
                receiver(wParam, lParam);
                return 0;
            }
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DialogDriver::OnIdle(HWND dialog) {
    if (running_) return;
    running_ = true;
    if (steps_.empty()) {
        ranOut_ = true;
        if (!cancelSent_) {
            cancelSent_ = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            // The dialog ignored the cancel: end it all the same.
            EndDialog(dialog, kEndedByDriver);
        }
    } else {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        ++stepsRun_;
        ArmWatchdog();
        step(dialog);
        // Wakes the dialog's loop, so that it comes back idle for the next
        // step when this one left the dialog open.
        PostMessageA(dialog, WM_NULL, 0, 0);
    }
    running_ = false;
}

void DialogDriver::ArmWatchdog() {
    // Setting the same thread timer again restarts its count.
    watchdog_ = SetTimer(nullptr, watchdog_, kWatchdogMs, &DialogDriver::Watchdog);
    gWatched = this;
}

void CALLBACK DialogDriver::Watchdog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    DialogDriver* self = gWatched;
    if (!self || self->watchdog_ != timer) return;
    self->watchdog_ = 0;
    self->EndStrayDialog();
}

void DialogDriver::EndStrayDialog() {
    DialogSearch search{window_, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOpenDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;  // the timer outlived its dialog
    ranOut_ = true;
    ADD_FAILURE() << "a dialog sat " << kWatchdogMs << " ms without a step and was ended";
    EndDialog(search.found, kEndedByDriver);
}

void Click(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickAsMouse(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    if (!control) {
        ADD_FAILURE() << "no control " << id;
        return;
    }
    SendMessageA(control, BM_CLICK, 0, 0);
}

void ChooseListRow(HWND dialog, int id, int row) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, row, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::string ListText(HWND dialog, int id) {
    const HWND list = GetDlgItem(dialog, id);
    const LRESULT row = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (row == CB_ERR) return "<none>";
    char text[256] = {};
    if (SendMessageA(list, CB_GETLBTEXTLEN, row, 0) >= static_cast<LRESULT>(sizeof(text))) return "<long>";
    SendMessageA(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Text(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

void SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

void SetCheck(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetPicker(HWND dialog, int id, WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    // The picker wants a consistent day of the week.
    FILETIME fileTime{};
    if (!SystemTimeToFileTime(&time, &fileTime) || !FileTimeToSystemTime(&fileTime, &time)) {
        ADD_FAILURE() << "not a date: " << year << "-" << month << "-" << day;
        return;
    }
    EXPECT_TRUE(
        SendDlgItemMessageA(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time)))
        << "picker " << id;
}

void PostKey(HWND control, WPARAM key) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), 0);
    PostMessageA(control, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(control, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

bool SaveWindowPicture(HWND window, const char* path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    bool written = false;
    if (FILE* out = std::fopen(path, "wb")) {
        written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                  std::fwrite(bits, size, 1, out) == 1;
        std::fclose(out);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return written;
}

void RecordingPrompts::NoteContext() {
    HANDLE context = nullptr;
    if (!GetCurrentActCtx(&context)) context = nullptr;
    contexts.push_back(context);
    if (context) ReleaseActCtx(context);  // only its identity is kept
}

bool RecordingPrompts::AskYesNo(std::string_view question) {
    NoteContext();
    questions.emplace_back(question);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << question;
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void RecordingPrompts::ShowMessage(std::string_view text, MessageIcon icon) {
    NoteContext();
    messages.emplace_back(text);
    icons.push_back(icon);
}

std::optional<std::string> RecordingPrompts::ChooseFileToOpen(const FileChoice& choice) {
    NoteContext();
    fileChoices.push_back(choice);
    if (files_.empty()) return std::nullopt;
    auto path = std::move(files_.front());
    files_.pop_front();
    return path;
}

std::optional<std::string> RecordingPrompts::ChooseFileToSave(const FileChoice& choice) {
    return ChooseFileToOpen(choice);
}

std::optional<std::string> RecordingPrompts::BrowseForFolder(std::string_view title,
                                                             std::string_view initialFolder) {
    NoteContext();
    browseTitles.emplace_back(title);
    browseStarts.emplace_back(initialFolder);
    if (folders_.empty()) return std::nullopt;
    auto folder = std::move(folders_.front());
    folders_.pop_front();
    return folder;
}

}  // namespace qm
