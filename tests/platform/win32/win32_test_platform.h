// The ports whose Windows adapters exist, as a Platform for the tests of
// this folder. The ports without one yet answer nothing and fail the test
// that reaches them: these tests are not meant to touch them.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_os_version.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_text_codec.h"
#include "platform/win32/win32_url_cache.h"
#include "platform/win32/win32_url_history.h"

namespace qm {

class UnreachableFileSystem final : public FileSystem {
public:
    std::optional<std::vector<FoundFile>> Find(std::string_view) override {
        return Reached<std::optional<std::vector<FoundFile>>>();
    }
    std::optional<uint32_t> GetAttributes(std::string_view) override {
        return Reached<std::optional<uint32_t>>();
    }
    bool SetAttributes(std::string_view, uint32_t) override { return Reached<bool>(); }
    bool CanOpenForRead(std::string_view) override { return Reached<bool>(); }
    std::optional<std::string> ReadFile(std::string_view, uint64_t) override {
        return Reached<std::optional<std::string>>();
    }
    bool WriteTextFile(std::string_view, std::string_view) override { return Reached<bool>(); }
    bool DeleteFile(std::string_view) override { return Reached<bool>(); }
    bool RemoveDirectory(std::string_view) override { return Reached<bool>(); }
    bool DeleteAtRestart(std::string_view) override { return Reached<bool>(); }
    std::optional<std::string> ShortPathName(std::string_view) override {
        return Reached<std::optional<std::string>>();
    }

private:
    template <typename T>
    static T Reached() {
        ADD_FAILURE() << "the file system was reached";
        return T{};
    }
};

class UnreachableFileSecurity final : public FileSecurity {
public:
    bool TakeOwnership(std::string_view) override { return Reached(); }
    bool SetPrivilege(std::string_view, bool) override { return Reached(); }
    bool GrantFullAccess(std::string_view, std::string_view, uint32_t) override { return Reached(); }

private:
    static bool Reached() {
        ADD_FAILURE() << "file security was reached";
        return false;
    }
};

class UnreachableShell final : public Shell {
public:
    std::optional<std::string> SpecialFolderPath(SpecialFolder) override {
        return Reached<std::optional<std::string>>();
    }
    bool Open(std::string_view) override { return Reached<bool>(); }
    void ClearRecentDocuments() override { Reached<bool>(); }
    bool ShowProperties(std::string_view) override { return Reached<bool>(); }
    bool SaveInternetShortcut(std::string_view, std::string_view) override { return Reached<bool>(); }
    std::string ExpandEnvironmentStrings(std::string_view) override { return Reached<std::string>(); }
    bool SetClipboardText(std::string_view) override { return Reached<bool>(); }

private:
    template <typename T>
    static T Reached() {
        ADD_FAILURE() << "the shell was reached";
        return T{};
    }
};

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
    std::optional<std::string> BrowseForFolder(std::string_view) override {
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
    UnreachableFileSystem fileSystem;
    UnreachableFileSecurity fileSecurity;
    UnreachableShell shell;
    UnreachablePrompts prompts;
    Win32Clock clock;
    Win32TextCodec textCodec;
    Win32OsVersion osVersion;
    Platform platform{urlCache, urlHistory, registry, fileSystem, fileSecurity,
                      shell,    prompts,    clock,    textCodec,  osVersion};
};

}  // namespace qm
