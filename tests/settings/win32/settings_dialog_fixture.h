// What the settings dialogs' tests share: the real registry with the
// settings key the product would choose on this system, emptied before and
// after each test, and a clock that stands on 5 March 2026.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32_platform.h"
#include "settings/settings.h"
#include "tests/settings/win32/dialog_driver.h"

namespace qm {

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
    DialogDriver driver_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

}  // namespace qm
