// The real file system on Linux, spoken to in the platform's terms: "\" in
// a path is taken as "/", listings come back as NTFS gives them ("." and
// ".." first, then the names in case-insensitive order), and a delete at
// restart is recorded in the registry value where Windows keeps such
// requests, when a registry and the code page to convert the path from are
// given.
#pragma once

#include "platform/file_system.h"

namespace qm {

class Registry;
class TextCodec;

class PosixFileSystem final : public FileSystem {
public:
    explicit PosixFileSystem(Registry* pendingOperations = nullptr, TextCodec* codec = nullptr)
        : pendingOperations_(pendingOperations), codec_(codec) {}

    std::optional<std::vector<FoundFile>> Find(std::string_view pattern) override;
    std::optional<uint32_t> GetAttributes(std::string_view path) override;
    bool SetAttributes(std::string_view path, uint32_t attributes) override;
    bool CanOpenForRead(std::string_view path) override;
    std::optional<std::string> ReadFile(std::string_view path, uint64_t maxBytes) override;
    std::unique_ptr<FileReader> OpenForRead(std::string_view path) override;
    bool WriteTextFile(std::string_view path, std::string_view text) override;
    FileRemoval RemoveFile(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    bool DeleteAtRestart(std::string_view path) override;
    std::optional<std::string> ShortPathName(std::string_view path) override;

    // The platform path in local form ("\" becomes "/").
    static std::string LocalPath(std::string_view path);

private:
    Registry* pendingOperations_;
    TextCodec* codec_;
};

// Wildcard match of a name against a pattern part ("*", "?"), letters
// compared without case; "*.*" matches every name, with or without a dot.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace qm
