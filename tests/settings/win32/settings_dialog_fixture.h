// What the settings dialogs' tests share: the real registry with the
// settings key the product would choose on this system, emptied before and
// after each test, a clock that stands on 5 March 2026, and a dialog
// driver whose owner stands in for the main view of Find on tab.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/win32_platform.h"
#include "settings/find_on_tab.h"
#include "settings/settings.h"
#include "tests/support/win32/dialog_driver.h"

namespace qm {

// The driver, keeping a copy of every FindRequest sent to its owner with
// WM_FINDONTAB.
class SettingsDialogDriver : public DialogDriver {
public:
    SettingsDialogDriver() {
        Receive(WM_FINDONTAB, [this](WPARAM, LPARAM record) {
            if (record) findRequests_.push_back(*reinterpret_cast<const FindRequest*>(record));
        });
    }
    const std::vector<FindRequest>& findRequests() const { return findRequests_; }

private:
    std::vector<FindRequest> findRequests_;
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
    bool SaveInternetShortcut(std::string_view path, const InternetShortcut& shortcut) override {
        return real_.SaveInternetShortcut(path, shortcut);
    }
    std::string ExpandVariables(std::string_view text) override { return real_.ExpandVariables(text); }
    bool SetClipboardText(std::string_view) override { return false; }

    std::vector<std::string> opened;

private:
    Shell& real_;
};

class FixedClock final : public Clock {
public:
    FileTime NowUtc() override { return *ToFileTime(NowUtcSystemTime()); }
    SystemTime NowUtcSystemTime() override {
        SystemTime time;
        time.year = 2026;
        time.month = 3;
        time.day = 5;
        time.hour = 23;
        return time;
    }
    SystemTime LocalNow() override { return NowUtcSystemTime(); }
    uint32_t TickMs() override { return 0; }
};

class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest()
        : lowIntegrity_(UsesLowIntegrityKey(system_.osVersion)),
          keyPath_(lowIntegrity_ ? kLowIntegritySettingsPath : kClassicSettingsPath) {}

    void SetUp() override { system_.registry.DeleteTree(RegistryRoot::CurrentUser, keyPath_); }
    void TearDown() override { system_.registry.DeleteTree(RegistryRoot::CurrentUser, keyPath_); }

    std::unique_ptr<RegistryKey> Key() { return system_.registry.Open(RegistryRoot::CurrentUser, keyPath_); }
    std::unique_ptr<RegistryKey> MakeKey() {
        return system_.registry.Create(RegistryRoot::CurrentUser, keyPath_);
    }
    std::optional<uint32_t> StoredDword(std::string_view name) {
        auto key = Key();
        return key ? key->ReadDword(name) : std::nullopt;
    }
    std::optional<RegistryValue> Stored(std::string_view name) {
        auto key = Key();
        return key ? key->Read(name, kUnlimitedBuffer) : std::nullopt;
    }

    Win32Platform system_;
    bool lowIntegrity_;
    std::string keyPath_;
    FixedClock clock_;
    SettingsDialogDriver driver_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

}  // namespace qm
