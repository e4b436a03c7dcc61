// Builders for the cleaning tests: records for the memory stores, real
// temporary folders, and file system and security wrappers that refuse or
// log where the memory platform would simply succeed.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/memory_platform.h"
#include "tests/records/test_records.h"

namespace qm::test {

inline MemoryCacheEntry EntryAt(std::string name, FileTime lastAccess, FileTime expires = FileTime{}) {
    MemoryCacheEntry entry = Entry(std::move(name));
    entry.lastAccessTime = lastAccess;
    entry.expireTime = expires;
    return entry;
}

inline StatUrl UpdatedAt(std::u16string url, FileTime lastUpdated) {
    StatUrl stat = Url(std::move(url));
    stat.lastUpdated = lastUpdated;
    return stat;
}

// A fresh folder under the system's temporary folder, removed with all it
// holds at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm-cleaning-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // A path below the folder, written with "\" as the platform writes it.
    std::string operator/(std::string_view relative) const { return path_ + "\\" + std::string(relative); }

    std::string MakeFolder(std::string_view relative) const {
        const std::string path = *this / relative;
        std::filesystem::create_directories(PosixFileSystem::LocalPath(path));
        return path;
    }
    std::string MakeFile(std::string_view relative, std::string_view text = "x") const {
        const std::string path = *this / relative;
        const std::filesystem::path local = PosixFileSystem::LocalPath(path);
        std::filesystem::create_directories(local.parent_path());
        std::ofstream(local) << text;
        return path;
    }
    static bool Exists(std::string_view path) {
        // A link counts as itself, whether or not its target is there.
        std::error_code ignored;
        return std::filesystem::exists(
            std::filesystem::symlink_status(PosixFileSystem::LocalPath(path), ignored));
    }

private:
    std::string path_;
};

// The real file system, except that it refuses to delete the files named
// until their ownership has been taken (as an access list would), and that
// it can mark folders as reparse points or leave "." out of listings (as a
// drive's root does).
class GuardedFileSystem final : public FileSystem {
public:
    GuardedFileSystem(FileSystem& inner, const std::vector<std::string>& ownershipsTaken)
        : inner_(inner), ownershipsTaken_(ownershipsTaken) {}

    std::set<std::string> guarded;        // paths refused until owned
    std::set<std::string> reparsePoints;  // names listed as reparse points
    bool listsDotEntries = true;
    std::vector<std::string> deleteCalls;

    std::optional<std::vector<FoundFile>> Find(std::string_view pattern) override {
        auto found = inner_.Find(pattern);
        if (!found) return found;
        std::vector<FoundFile> out;
        for (FoundFile file : *found) {
            if (!listsDotEntries && (file.name == "." || file.name == "..")) continue;
            if (reparsePoints.count(file.name)) file.attributes |= 0x400;
            out.push_back(std::move(file));
        }
        return out;
    }
    std::optional<uint32_t> GetAttributes(std::string_view path) override {
        return inner_.GetAttributes(path);
    }
    bool SetAttributes(std::string_view path, uint32_t attributes) override {
        return inner_.SetAttributes(path, attributes);
    }
    bool CanOpenForRead(std::string_view path) override { return inner_.CanOpenForRead(path); }
    std::optional<std::string> ReadFile(std::string_view path, uint64_t maxBytes) override {
        return inner_.ReadFile(path, maxBytes);
    }
    bool WriteTextFile(std::string_view path, std::string_view text) override {
        return inner_.WriteTextFile(path, text);
    }
    bool RemoveFile(std::string_view path) override {
        deleteCalls.emplace_back(path);
        const std::string name(path);
        if (guarded.count(name) &&
            std::find(ownershipsTaken_.begin(), ownershipsTaken_.end(), name) == ownershipsTaken_.end())
            return false;
        return inner_.RemoveFile(path);
    }
    bool RemoveFolder(std::string_view path) override { return inner_.RemoveFolder(path); }
    bool DeleteAtRestart(std::string_view path) override { return inner_.DeleteAtRestart(path); }
    std::optional<std::string> ShortPathName(std::string_view path) override {
        return inner_.ShortPathName(path);
    }

private:
    FileSystem& inner_;
    const std::vector<std::string>& ownershipsTaken_;
};

// Security that logs the account each grant names; ownership is taken
// unless refused.
class RecordingFileSecurity final : public FileSecurity {
public:
    bool ownershipRefused = false;
    std::vector<std::string> owned;
    std::vector<std::pair<std::string, std::string>> grants;  // path, account

    bool TakeOwnership(std::string_view path) override {
        if (ownershipRefused) return false;
        owned.emplace_back(path);
        return true;
    }
    bool SetPrivilege(std::string_view, bool) override { return !ownershipRefused; }
    bool GrantFullAccess(std::string_view path, std::string_view account, uint32_t accessMask) override {
        if (accessMask != kGenericAll) return false;
        grants.emplace_back(std::string(path), std::string(account));
        return true;
    }
};

// The memory platform with the guarded file system and the recording
// security in place of the plain ones.
struct GuardedPlatform {
    MemoryPlatform memory;
    RecordingFileSecurity security;
    GuardedFileSystem fileSystem{memory.fileSystem, security.owned};
    Platform platform{memory.urlCache,  memory.urlHistory, memory.registry, fileSystem,
                      security,         memory.shell,      memory.prompts,  memory.clock,
                      memory.textCodec, memory.osVersion};
};

}  // namespace qm::test
