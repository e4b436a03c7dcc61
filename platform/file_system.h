// Port: the file system, in the platform's terms: paths are ANSI text with
// "\" between the parts, and a folder listing is a pattern search that
// returns "." and ".." first, as NTFS lists a folder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace qm {

namespace file_attribute {
inline constexpr uint32_t kReadOnly = 0x01;
inline constexpr uint32_t kHidden = 0x02;
inline constexpr uint32_t kSystem = 0x04;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
inline constexpr uint32_t kNormal = 0x80;
// A junction or symbolic link: its contents live somewhere else.
inline constexpr uint32_t kReparsePoint = 0x400;
}  // namespace file_attribute

// How a file deletion ended. The reasons a deletion fails call for
// different answers: a file the user is refused may be taken over, a file
// that another program holds open may not.
enum class FileRemoval {
    Removed,
    Refused,  // access denied: by the file's access list, or it is read-only or a folder
    InUse,    // another program has the file open and does not share its deletion
    Failed,   // anything else: no such file, a name the platform rejects
};

struct FoundFile {
    std::string name;  // the name alone, without its folder
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTime lastWriteTime;

    bool isDirectory() const { return (attributes & file_attribute::kDirectory) != 0; }
};

// A file open for reading piece by piece, for files too large to be held
// whole. The file stays open as long as the reader lives.
class FileReader {
public:
    virtual ~FileReader() = default;

    // The file's size when it was opened. The file may change while it is
    // open: a read past its new end gives fewer bytes.
    virtual uint64_t Size() const = 0;
    // Reads the bytes from offset on into buffer: as many as fit, fewer only
    // where the file ends, none from its end on; nothing when the read fails.
    virtual std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) = 0;
};

// A file's bytes read whole, handed out in pieces: what a file system
// without reads at offsets opens.
class BytesFileReader final : public FileReader {
public:
    explicit BytesFileReader(std::string bytes) : bytes_(std::move(bytes)) {}

    uint64_t Size() const override { return bytes_.size(); }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t count = std::min(buffer.size(), bytes_.size() - static_cast<std::size_t>(offset));
        if (count > 0) std::memcpy(buffer.data(), bytes_.data() + offset, count);
        return count;
    }

private:
    std::string bytes_;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The entries of a folder that match the last part of the pattern
    // ("C:\x\*", "C:\x\*.*", "C:\x\index.dat"; "*" and "?" as wildcards,
    // letters compared without case). Nothing when the search cannot start.
    virtual std::optional<std::vector<FoundFile>> Find(std::string_view pattern) = 0;
    virtual std::optional<uint32_t> GetAttributes(std::string_view path) = 0;
    virtual bool SetAttributes(std::string_view path, uint32_t attributes) = 0;
    // True when the file exists and can be opened for reading.
    virtual bool CanOpenForRead(std::string_view path) = 0;
    // The file's bytes, at most maxBytes of them; nothing when unreadable.
    virtual std::optional<std::string> ReadFile(std::string_view path, uint64_t maxBytes) = 0;
    // The file opened for reading in pieces; nothing when it cannot be opened
    // for reading. By default the file is read whole and served from memory;
    // the real file systems read from the open file.
    virtual std::unique_ptr<FileReader> OpenForRead(std::string_view path) {
        std::optional<std::string> bytes = ReadFile(path, std::numeric_limits<uint64_t>::max());
        if (!bytes) return nullptr;
        return std::make_unique<BytesFileReader>(std::move(*bytes));
    }
    // Writes text in text mode: every "\n" is stored as "\r\n".
    virtual bool WriteTextFile(std::string_view path, std::string_view text) = 0;
    // Deletes a file; refused for a folder.
    virtual FileRemoval RemoveFile(std::string_view path) = 0;
    // Removes an empty folder.
    virtual bool RemoveFolder(std::string_view path) = 0;
    // Asks for the file to be deleted at the next restart.
    virtual bool DeleteAtRestart(std::string_view path) = 0;
    // The short (8.3) form of an existing path, or the path itself where the
    // file system has no short names.
    virtual std::optional<std::string> ShortPathName(std::string_view path) = 0;

    bool Exists(std::string_view path) { return GetAttributes(path).has_value(); }
    bool IsDirectory(std::string_view path) {
        auto attributes = GetAttributes(path);
        return attributes && (*attributes & file_attribute::kDirectory) != 0;
    }
};

// Joins a folder and a name with one "\".
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace qm
