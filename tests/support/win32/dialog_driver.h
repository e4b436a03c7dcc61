// DialogDriver: a test owner for the system's modal dialogs.
//
// A modal dialog runs its own message loop, so the test cannot act between
// "show" and "closed". The driver's window owns the dialog and is told each
// time the dialog's loop has nothing to do (WM_ENTERIDLE); it then runs the
// test's next step with the dialog window, which by then is on the screen.
// A step sends the dialog real messages and checks what the controls show;
// the last step ends the dialog.
//
// Nothing may hang the run: a dialog still open when the steps run out is
// cancelled, and ended outright if it ignores the cancel; and a watchdog
// timer of the thread (it needs no owner window, so it also fires when the
// owner could not be made or the dialog never comes idle) ends the dialog
// when no step has run for a while. Either counts as ranOut().
//
// The window also stands in for the main view: the private messages a
// dialog sends to its owner (a find request, a cleanup record) go to the
// receivers a test registers, and are answered with 0.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/prompts.h"

namespace qm {

class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;
    using Receiver = std::function<void(WPARAM wParam, LPARAM lParam)>;

    // How long a dialog may sit without a step before the watchdog ends it.
    static constexpr UINT kWatchdogMs = 10000;
    // The result of a dialog the driver had to end itself.
    static constexpr INT_PTR kEndedByDriver = 99;

    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    HWND owner() const { return window_; }
    // The steps of the next dialog shown with owner() as its owner.
    void Script(std::vector<Step> steps);
    int stepsRun() const { return stepsRun_; }
    // The dialog was still open when the steps ran out, or the watchdog
    // had to end it.
    bool ranOut() const { return ranOut_; }
    // Hands each `message` sent to the owner to `receiver`.
    void Receive(UINT message, Receiver receiver);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR timer, DWORD);
    void OnIdle(HWND dialog);
    void ArmWatchdog();
    void EndStrayDialog();

    HWND window_ = nullptr;
    std::deque<Step> steps_;
    int stepsRun_ = 0;
    bool ranOut_ = false;
    bool cancelSent_ = false;
    bool running_ = false;
    UINT_PTR watchdog_ = 0;
    std::vector<std::pair<UINT, Receiver>> receivers_;
};

// The visible dialog of this thread that `owner` owns; null when none.
HWND DialogOwnedBy(HWND owner);

// Pushes a dialog button the way a click tells the dialog: WM_COMMAND with
// BN_CLICKED, the control's state untouched.
void Click(HWND dialog, int id);
// Clicks a control as the mouse does (BM_CLICK): a radio button or check
// box changes its state first, then the dialog is told.
void ClickAsMouse(HWND dialog, int id);
// Selects a row of a drop-down list and tells the dialog, as a user's
// choice does.
void ChooseListRow(HWND dialog, int id, int row);
std::string ListText(HWND dialog, int id);
std::string Text(HWND dialog, int id);
std::string WindowText(HWND window);
void SetText(HWND dialog, int id, const std::string& text);
void SetCheck(HWND dialog, int id, bool checked);
bool Checked(HWND dialog, int id);
// Sets a date picker to a date and a time of day.
void SetPicker(HWND dialog, int id, WORD year, WORD month, WORD day, WORD hour, WORD minute);
// A keystroke posted to a control, as the keyboard delivers it through the
// dialog's loop.
void PostKey(HWND control, WPARAM key);

// Saves what the screen shows of the window as a 24-bit BMP.
bool SaveWindowPicture(HWND window, const char* path);

// Prompts that answer from queues and remember what they were asked; a
// real message box would wait for a user. A question with no answer queued
// fails the test and is answered No; a file chooser or folder browser with
// nothing queued answers as if cancelled.
class RecordingPrompts final : public Prompts {
public:
    bool AskYesNo(std::string_view question) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    std::optional<std::string> ChooseFileToOpen(const FileChoice& choice) override;
    std::optional<std::string> ChooseFileToSave(const FileChoice& choice) override;
    std::optional<std::string> BrowseForFolder(std::string_view title,
                                               std::string_view initialFolder) override;

    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<FileChoice> fileChoices;
    std::vector<std::string> browseTitles;
    std::vector<std::string> browseStarts;  // where each browser opened
    // The activation context active at each prompt, in order (null: none).
    std::vector<HANDLE> contexts;

private:
    void NoteContext();
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::optional<std::string>> folders_;
};

}  // namespace qm
