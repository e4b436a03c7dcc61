// DialogDriver: a test owner for the modal dialogs of the user tools.
//
// A modal dialog runs its own message loop, so the test cannot act between
// "show" and "closed". The driver's window owns the dialog and is told each
// time the dialog's loop has nothing to do (WM_ENTERIDLE); it then runs the
// test's next step with the dialog window. A step sends the dialog real
// messages and checks what the controls show; the last step ends the
// dialog. A dialog still open when the steps run out is cancelled and the
// test fails, so that a dialog that ignores its buttons cannot hang the run.
//
// The window also stands in for the main view: it keeps a copy of every
// FindRequest sent to it with WM_FINDONTAB.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"
#include "platform/shell.h"
#include "settings/find_on_tab.h"

namespace qm {

class DialogDriver {
public:
    using Step = std::function<void(HWND dialog)>;

    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    HWND owner() const { return window_; }
    // The steps of the next dialog shown with owner() as its owner.
    void Script(std::vector<Step> steps);
    int stepsRun() const { return stepsRun_; }
    // The dialog was still open when the steps ran out.
    bool ranOut() const { return ranOut_; }
    const std::vector<FindRequest>& findRequests() const { return findRequests_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnIdle(HWND dialog);

    HWND window_ = nullptr;
    std::deque<Step> steps_;
    int stepsRun_ = 0;
    bool ranOut_ = false;
    bool running_ = false;
    std::vector<FindRequest> findRequests_;
};

// Pushes a dialog button the way a click does.
void Click(HWND dialog, int id);
// Selects a row of a drop-down list and tells the dialog, as a user's
// choice does.
void ChooseListRow(HWND dialog, int id, int row);
std::string ListText(HWND dialog, int id);
std::string Text(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
void SetCheck(HWND dialog, int id, bool checked);
bool Checked(HWND dialog, int id);

// Saves what the screen shows of the window as a 24-bit BMP.
bool SaveWindowPicture(HWND window, const char* path);

// Prompts that answer from queues and remember what they were asked; a
// real message box would wait for a user.
class RecordingPrompts final : public Prompts {
public:
    bool AskYesNo(std::string_view question) override;
    void ShowMessage(std::string_view text, MessageIcon icon) override;
    std::optional<std::string> ChooseFileToOpen(const FileChoice& choice) override;
    std::optional<std::string> ChooseFileToSave(const FileChoice& choice) override;
    std::optional<std::string> BrowseForFolder(std::string_view title) override;

    void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
    std::vector<std::string> messages;
    std::vector<MessageIcon> icons;
    std::vector<FileChoice> fileChoices;

private:
    std::deque<std::optional<std::string>> files_;
};

// A shell that records what it is asked to open and forwards the rest to
// the real one.
class OpenRecordingShell final : public Shell {
public:
    explicit OpenRecordingShell(Shell& real) : real_(real) {}
    std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override {
        return real_.SpecialFolderPath(folder);
    }
    bool Open(std::string_view target) override {
        opened.emplace_back(target);
        return true;
    }
    void ClearRecentDocuments() override {}
    bool ShowProperties(std::string_view) override { return false; }
    bool SaveInternetShortcut(std::string_view path, std::string_view url) override {
        return real_.SaveInternetShortcut(path, url);
    }
    std::string ExpandVariables(std::string_view text) override {
        return real_.ExpandVariables(text);
    }
    bool SetClipboardText(std::string_view) override { return false; }

    std::vector<std::string> opened;

private:
    Shell& real_;
};

}  // namespace qm
