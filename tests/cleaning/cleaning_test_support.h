// Builders for the cleaning tests: records for the memory stores, real
// temporary folders, and a file system wrapper that refuses or logs where
// the real one would simply succeed.
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

// The real file system, except that it answers for the files named as
// Windows would: refused until the user of the process owns the file and
// has been granted access to it (as an access list would), refused
// whatever happens, or in use by another program. It can also mark folders
// as reparse points or leave "." out of listings (as a drive's root does).
class GuardedFileSystem final : public FileSystem {
public:
    GuardedFileSystem(FileSystem& inner, const MemoryFileSecurity& security)
        : inner_(inner), security_(security) {}

    std::set<std::string> guarded;        // refused until taken over
    std::set<std::string> refused;        // refused whatever happens
    std::set<std::string> inUse;          // held open by another program
    std::set<std::string> reparsePoints;  // names listed as reparse points
    bool listsDotEntries = true;
    std::vector<std::string> deleteCalls;

    std::optional<std::vector<FoundFile>> Find(std::string_view pattern) override {
        auto found = inner_.Find(pattern);
        if (!found) return found;
        std::vector<FoundFile> out;
        for (FoundFile file : *found) {
            if (!listsDotEntries && (file.name == "." || file.name == "..")) continue;
            if (reparsePoints.count(file.name)) file.attributes |= file_attribute::kReparsePoint;
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
    FileRemoval RemoveFile(std::string_view path) override {
        deleteCalls.emplace_back(path);
        const std::string name(path);
        const MemoryFileSecurityState state = security_.Of(path);
        const bool takenOver =
            state.owner == kMemoryProcessUser && state.access.find(kMemoryProcessUser) != std::string::npos;
        if (inUse.count(name)) return FileRemoval::InUse;
        if (refused.count(name) || (guarded.count(name) && !takenOver)) return FileRemoval::Refused;
        return inner_.RemoveFile(path);
    }
    bool RemoveFolder(std::string_view path) override { return inner_.RemoveFolder(path); }
    bool DeleteAtRestart(std::string_view path) override { return inner_.DeleteAtRestart(path); }
    std::optional<std::string> ShortPathName(std::string_view path) override {
        return inner_.ShortPathName(path);
    }

private:
    FileSystem& inner_;
    const MemoryFileSecurity& security_;
};

// The memory platform with the guarded file system in place of the plain one.
struct GuardedPlatform {
    MemoryPlatform memory;
    GuardedFileSystem fileSystem{memory.fileSystem, memory.fileSecurity};
    Platform platform{memory.urlCache,     memory.urlHistory, memory.registry, fileSystem,
                      memory.fileSecurity, memory.shell,      memory.prompts,  memory.clock,
                      memory.textCodec,    memory.osVersion};
};

}  // namespace qm::test
