// FileSystem on the Windows file functions (the "A" ones, paths in the ANSI
// code page). Listings are sorted as NTFS sorts them whatever the volume
// (FAT and network shares, and Wine's host folders, list in their own
// order), so that every caller sees one order everywhere.
#pragma once

#include "platform/file_system.h"

namespace qm {

class Win32FileSystem final : public FileSystem {
public:
    std::optional<std::vector<FoundFile>> Find(std::string_view pattern) override;
    std::optional<uint32_t> GetAttributes(std::string_view path) override;
    bool SetAttributes(std::string_view path, uint32_t attributes) override;
    bool CanOpenForRead(std::string_view path) override;
    std::optional<std::string> ReadFile(std::string_view path, uint64_t maxBytes) override;
    // Reads at an offset given with each call, sharing the file as ReadFile
    // does.
    std::unique_ptr<FileReader> OpenForRead(std::string_view path) override;
    bool WriteTextFile(std::string_view path, std::string_view text) override;
    FileRemoval RemoveFile(std::string_view path) override;
    bool RemoveFolder(std::string_view path) override;
    // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT: the system records the
    // request itself, which needs write access to the local machine's
    // session manager key.
    bool DeleteAtRestart(std::string_view path) override;
    std::optional<std::string> ShortPathName(std::string_view path) override;
};

}  // namespace qm
