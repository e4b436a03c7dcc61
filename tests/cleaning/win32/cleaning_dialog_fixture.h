// What the cleaning dialogs' tests share: the Windows adapters with
// recording prompts in place of message boxes, and a dialog driver whose
// owner stands in for the main view: it keeps a copy of every cleanup
// record sent to it.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "cleaning/cleanup_criteria.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "tests/support/win32/dialog_driver.h"

namespace qm {

// The Windows adapters, with recording prompts; the OS version can be put
// in place of the system's.
struct DialogTestPlatform {
    explicit DialogTestPlatform(OsVersion* osVersion = nullptr)
        : platform{adapters.urlCache,
                   adapters.urlHistory,
                   adapters.registry,
                   adapters.fileSystem,
                   adapters.fileSecurity,
                   adapters.shell,
                   prompts,
                   adapters.clock,
                   adapters.textCodec,
                   osVersion ? *osVersion : adapters.osVersion} {}
    Win32Platform adapters;
    RecordingPrompts prompts;
    Platform platform;
};

class CleanupOwner : public DialogDriver {
public:
    CleanupOwner() {
        Receive(WM_PERFORMCLEANUP, [this](WPARAM, LPARAM lParam) {
            if (lParam) records.push_back(*reinterpret_cast<const CleanupCriteria*>(lParam));
        });
    }

    // The records received with WM_PERFORMCLEANUP, copied while they lived.
    std::vector<CleanupCriteria> records;
};

}  // namespace qm
