// What the index file dialogs' tests share under Wine.
//
// The dialogs are opened over the shared DialogDriver, which runs each
// step of a test from inside the dialog's own loop.
//
// PumpUntil lets a step wait for the search thread: it dispatches the
// thread's messages to the dialog until a condition holds or the time is up.
//
// TestShell answers special folders from a table; RecordingPrompts answers
// the folder browser from a queue and records every message; TempFolder is
// a real folder for one test; SearchFileSystem is the real file system with
// a delay or a gate on each listing, to catch a search midway.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompts.h"
#include "platform/shell.h"
#include "platform/win32/win32_platform.h"
#include "tests/platform/win32/win32_temp_folder.h"
#include "tests/support/win32/dialog_driver.h"
#include "widgets/win32/list_ctrl.h"

namespace qm::test {

// Dispatches messages until done() holds or timeoutMs has passed; returns
// done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// The list the dialog placed over its placeholder, and its rows' texts.
ListCtrl* DialogList(HWND dialog);
std::vector<std::string> ListRows(HWND dialog);
// The place of a dialog template's list placeholder in the dialog's client
// area, as the dialog manager makes it: measured on a copy of the template
// with no code of the product behind it.
RECT PlaceholderArea(HINSTANCE module, int templateId);
// Clicks a row of the list with the left button, as the user does.
void ClickRow(HWND dialog, int row);

class TestShell final : public Shell {
public:
    std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override;
    bool Open(std::string_view) override { return false; }
    void ClearRecentDocuments() override {}
    bool ShowProperties(std::string_view) override { return false; }
    bool SaveInternetShortcut(std::string_view, const InternetShortcut&) override { return false; }
    std::string ExpandVariables(std::string_view text) override { return std::string(text); }
    bool SetClipboardText(std::string_view) override { return false; }

    std::map<SpecialFolder, std::string> folders;
};

// The real file system, each listing held up by a delay or, while the gate
// is closed, until it opens (at most 10 s). Counts listings, those under
// way included, so that a test can see a search stop. ForSearchThread
// makes the search its own file system, which shares the gate, the delay
// and the counts and owns the rest.
class SearchFileSystem final : public FileSystem {
public:
    SearchFileSystem();
    ~SearchFileSystem() override;
    std::unique_ptr<FileSystem> ForSearchThread() const;
    SearchFileSystem(const SearchFileSystem&) = delete;
    SearchFileSystem& operator=(const SearchFileSystem&) = delete;

    std::optional<std::vector<FoundFile>> Find(std::string_view pattern) override;
    std::optional<uint32_t> GetAttributes(std::string_view path) override {
        return real_.GetAttributes(path);
    }
    bool SetAttributes(std::string_view path, uint32_t attributes) override {
        return real_.SetAttributes(path, attributes);
    }
    bool CanOpenForRead(std::string_view path) override { return real_.CanOpenForRead(path); }
    std::optional<std::string> ReadFile(std::string_view path, uint64_t maxBytes) override {
        return real_.ReadFile(path, maxBytes);
    }
    bool WriteTextFile(std::string_view path, std::string_view text) override {
        return real_.WriteTextFile(path, text);
    }
    FileRemoval RemoveFile(std::string_view path) override { return real_.RemoveFile(path); }
    bool RemoveFolder(std::string_view path) override { return real_.RemoveFolder(path); }
    bool DeleteAtRestart(std::string_view) override { return false; }
    std::optional<std::string> ShortPathName(std::string_view path) override {
        return real_.ShortPathName(path);
    }

    void SetDelay(DWORD ms) { shared_->delayMs = ms; }
    void CloseGate() { ResetEvent(shared_->gate); }
    void OpenGate() { SetEvent(shared_->gate); }
    int listings() const { return shared_->listings.load(); }
    int listingsUnderWay() const { return shared_->underWay.load(); }

private:
    struct Shared {
        Shared();
        ~Shared();
        HANDLE gate;
        std::atomic<DWORD> delayMs{0};
        std::atomic<int> listings{0};
        std::atomic<int> underWay{0};
    };
    explicit SearchFileSystem(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    Win32FileSystem real_;
    std::shared_ptr<Shared> shared_;
};

// The product's Windows ports, with the shell, the prompts and the file
// system put in by the test.
struct TestPlatform {
    explicit TestPlatform(FileSystem& fileSystem)
        : platform{system.urlCache, system.urlHistory, system.registry, fileSystem,       system.fileSecurity,
                   shell,           prompts,           system.clock,    system.textCodec, system.osVersion} {}
    Win32Platform system;
    TestShell shell;
    RecordingPrompts prompts;
    Platform platform;
};

}  // namespace qm::test
