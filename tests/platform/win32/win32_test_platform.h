// The Windows adapters as a Platform for the tests of this folder, except
// the prompts: a box would wait for a user who never comes, so the prompts
// answer nothing and fail the test that reaches them.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_security.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win32/win32_url_history.h"

namespace qm {

class UnreachablePrompts final : public Prompts {
public:
    bool AskYesNo(std::string_view) override { return Reached<bool>(); }
    void ShowMessage(std::string_view, MessageIcon) override { Reached<bool>(); }
    std::optional<std::string> ChooseFileToOpen(const FileChoice&) override {
        return Reached<std::optional<std::string>>();
    }
    std::optional<std::string> ChooseFileToSave(const FileChoice&) override {
        return Reached<std::optional<std::string>>();
    }
    std::optional<std::string> BrowseForFolder(std::string_view, std::string_view) override {
        return Reached<std::optional<std::string>>();
    }

private:
    template <typename T>
    static T Reached() {
        ADD_FAILURE() << "a prompt was reached";
        return T{};
    }
};

struct Win32TestPlatform {
    Win32UrlCache urlCache;
    Win32UrlHistory urlHistory;
    Win32Registry registry;
    Win32FileSystem fileSystem;
    Win32FileSecurity fileSecurity;
    Win32Shell shell;
    UnreachablePrompts prompts;
    Win32Clock clock;
    Win32TextCodec textCodec;
    Win32OsVersion osVersion;
    Platform platform{urlCache, urlHistory, registry, fileSystem, fileSecurity,
                      shell,    prompts,    clock,    textCodec,  osVersion};
};

}  // namespace qm
