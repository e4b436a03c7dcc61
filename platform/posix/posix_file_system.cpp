// The real file system, answering as NTFS would: listings in the platform's
// order, attributes from the owner's write bit, and the platform's refusals
// (a read-only file cannot be deleted). Files are opened without blocking
// and only regular files count as files, so that a name that turns out to be
// a pipe or a device never stalls the band.
#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <limits>
#include <memory>
#include <utility>

#include "platform/registry.h"
#include "platform/text_codec.h"

namespace qm {
namespace {

// Where the platform keeps the operations it performs at the next start.
constexpr std::string_view kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kPendingOperationsValue = "PendingFileRenameOperations";
constexpr std::u16string_view kObjectPrefix = u"\\??\\";

// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifferenceSeconds = 11'644'473'600;
constexpr uint64_t kTicksPerSecond = 10'000'000;

char UpperAscii(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// NTFS orders names by their upper-case form ("A" < "_" < "b").
bool NameLess(const std::string& a, const std::string& b) {
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(UpperAscii(x)) < static_cast<unsigned char>(UpperAscii(y));
        });
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
            return static_cast<unsigned char>(UpperAscii(x)) < static_cast<unsigned char>(UpperAscii(y));
        });
    if (less || greater) return less;
    return a < b;  // names that differ only in case, possible here, in a fixed order
}

FileTime ToFileTime(const struct timespec& time) {
    if (time.tv_sec < -kEpochDifferenceSeconds) return FileTime{0};
    const auto seconds = static_cast<uint64_t>(time.tv_sec + kEpochDifferenceSeconds);
    if (seconds > (UINT64_MAX - kTicksPerSecond) / kTicksPerSecond) return FileTime{UINT64_MAX};
    return FileTime{seconds * kTicksPerSecond + static_cast<uint64_t>(time.tv_nsec) / 100};
}

uint32_t AttributesOf(const struct stat& info) {
    uint32_t attributes = S_ISDIR(info.st_mode) ? file_attribute::kDirectory : file_attribute::kArchive;
    if ((info.st_mode & S_IWUSR) == 0) attributes |= file_attribute::kReadOnly;
    return attributes;
}

// stat follows a link; a link whose target is gone is still a name in its
// folder, so it falls back to the link itself.
bool StatPath(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0 || ::lstat(path.c_str(), &info) == 0;
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Opens a regular file for reading, or gives an invalid descriptor.
FileDescriptor OpenRegularForRead(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return fd;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return FileDescriptor(-1);
    return fd;
}

// A regular file read with pread, so that one descriptor serves reads at
// any offset.
class PosixFileReader final : public FileReader {
public:
    PosixFileReader(FileDescriptor fd, uint64_t size) : fd_(std::move(fd)), size_(size) {}

    uint64_t Size() const override { return size_; }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        std::size_t done = 0;
        while (done < buffer.size()) {
            if (offset + done > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) break;
            const ssize_t got = ::pread(fd_.get(), buffer.data() + done, buffer.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0) {
                if (errno == EINTR) continue;
                return std::nullopt;
            }
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

private:
    FileDescriptor fd_;
    uint64_t size_;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The pairs already pending, each string with its NUL, as the system reads
// them at start: a source, then its target (empty for a deletion), until an
// empty source ends the list. A damaged list is mended rather than run
// together with the pair added after it: a source whose data ends right
// after its NUL is a deletion whose closing NULs are missing, and a name cut
// off without its NUL is dropped, since acting on part of a name could
// delete or replace a file nobody asked for.
std::u16string PendingPairs(std::u16string_view data) {
    std::u16string pairs;
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t sourceEnd = data.find(u'\0', pos);
        if (sourceEnd == std::u16string_view::npos || sourceEnd == pos) break;
        const std::u16string_view source = data.substr(pos, sourceEnd - pos);
        std::u16string_view target;
        pos = sourceEnd + 1;
        if (pos < data.size()) {
            const std::size_t targetEnd = data.find(u'\0', pos);
            if (targetEnd == std::u16string_view::npos) break;
            target = data.substr(pos, targetEnd - pos);
            pos = targetEnd + 1;
        }
        pairs.append(source).push_back(u'\0');
        pairs.append(target).push_back(u'\0');
    }
    return pairs;
}

// The local form of a path handed to the system. A NUL inside would make the
// system act on the part before it, another file than the one named, so such
// a path names nothing.
std::optional<std::string> SystemPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    return PosixFileSystem::LocalPath(path);
}

}  // namespace

std::string PosixFileSystem::LocalPath(std::string_view path) {
    std::string local(path);
    std::replace(local.begin(), local.end(), '\\', '/');
    return local;
}

std::optional<std::vector<FoundFile>> PosixFileSystem::Find(std::string_view pattern) {
    const auto localPattern = SystemPath(pattern);
    if (!localPattern) return std::nullopt;
    const std::string& local = *localPattern;
    const std::size_t slash = local.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : local.substr(0, slash);
    const std::string namePattern = slash == std::string::npos ? local : local.substr(slash + 1);
    if (namePattern.empty()) return std::nullopt;

    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) return std::nullopt;

    std::vector<FoundFile> dots;
    std::vector<FoundFile> found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (!MatchesWildcard(namePattern, name)) continue;
        // A link is listed as itself, never with the size or times of what
        // it points to.
        struct stat info;
        const std::string path = folder == "/" ? "/" + name : folder + "/" + name;
        if (::lstat(path.c_str(), &info) != 0) continue;  // gone since the folder was read
        FoundFile file;
        file.name = name;
        file.attributes = AttributesOf(info);
        // Windows marks a junction or symbolic link as a reparse point, and
        // one that leads to a folder as a folder too: a walk down the tree
        // has to tell it by the reparse bit.
        if (S_ISLNK(info.st_mode)) {
            struct stat target;
            if (::stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode))
                file.attributes = file_attribute::kDirectory;
            file.attributes |= file_attribute::kReparsePoint;
        }
        file.size = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
        file.lastWriteTime = ToFileTime(info.st_mtim);
        (name == "." || name == ".." ? dots : found).push_back(std::move(file));
    }
    std::sort(dots.begin(), dots.end(),
              [](const FoundFile& a, const FoundFile& b) { return a.name.size() < b.name.size(); });
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return NameLess(a.name, b.name); });
    dots.insert(dots.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    return dots;
}

std::optional<uint32_t> PosixFileSystem::GetAttributes(std::string_view path) {
    const auto local = SystemPath(path);
    struct stat info;
    if (!local || !StatPath(*local, info)) return std::nullopt;
    return AttributesOf(info);
}

bool PosixFileSystem::SetAttributes(std::string_view path, uint32_t attributes) {
    const auto local = SystemPath(path);
    struct stat info;
    if (!local || ::stat(local->c_str(), &info) != 0) return false;
    mode_t mode = info.st_mode & 07777;
    if (attributes & file_attribute::kReadOnly) {
        mode &= ~static_cast<mode_t>(S_IWUSR);
    } else {
        mode |= S_IWUSR;
    }
    return ::chmod(local->c_str(), mode) == 0;
}

bool PosixFileSystem::CanOpenForRead(std::string_view path) {
    const auto local = SystemPath(path);
    return local && OpenRegularForRead(*local).valid();
}

std::optional<std::string> PosixFileSystem::ReadFile(std::string_view path, uint64_t maxBytes) {
    const auto local = SystemPath(path);
    if (!local) return std::nullopt;
    FileDescriptor fd = OpenRegularForRead(*local);
    if (!fd.valid()) return std::nullopt;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) return std::nullopt;

    std::string bytes;
    // The size is a hint only: the file may grow or shrink while it is read.
    bytes.reserve(
        static_cast<std::size_t>(std::min<uint64_t>(maxBytes, static_cast<uint64_t>(info.st_size))));
    char buffer[64 * 1024];
    while (bytes.size() < maxBytes) {
        const auto want =
            static_cast<std::size_t>(std::min<uint64_t>(sizeof buffer, maxBytes - bytes.size()));
        const ssize_t got = ::read(fd.get(), buffer, want);
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::unique_ptr<FileReader> PosixFileSystem::OpenForRead(std::string_view path) {
    const auto local = SystemPath(path);
    if (!local) return nullptr;
    FileDescriptor fd = OpenRegularForRead(*local);
    struct stat info;
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0) return nullptr;
    return std::make_unique<PosixFileReader>(std::move(fd), static_cast<uint64_t>(info.st_size));
}

bool PosixFileSystem::WriteTextFile(std::string_view path, std::string_view text) {
    const auto local = SystemPath(path);
    if (!local) return false;
    // The platform refuses to replace a read-only file, even for a user who
    // could write it anyway.
    struct stat existing;
    if (::stat(local->c_str(), &existing) == 0 && (existing.st_mode & S_IWUSR) == 0) return false;

    std::string data;
    data.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') data.push_back('\r');
        data.push_back(c);
    }

    FileDescriptor fd(::open(local->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666));
    if (!fd.valid()) return false;
    struct stat info;
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t result = ::write(fd.get(), data.data() + written, data.size() - written);
        if (result < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(result);
    }
    return true;
}

FileRemoval PosixFileSystem::RemoveFile(std::string_view path) {
    const auto local = SystemPath(path);
    struct stat info;
    if (!local || ::lstat(local->c_str(), &info) != 0) return FileRemoval::Failed;
    // The platform refuses to delete a folder or a read-only file; so does this.
    if (S_ISDIR(info.st_mode)) return FileRemoval::Refused;
    if (!S_ISLNK(info.st_mode) && (info.st_mode & S_IWUSR) == 0) return FileRemoval::Refused;
    // Nothing here holds a file open against its deletion, and the host's
    // own refusals have no owner or access list to take over.
    return ::unlink(local->c_str()) == 0 ? FileRemoval::Removed : FileRemoval::Failed;
}

bool PosixFileSystem::RemoveFolder(std::string_view path) {
    const auto local = SystemPath(path);
    struct stat info;
    if (!local || ::lstat(local->c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    return ::rmdir(local->c_str()) == 0;
}

// As the platform records a delayed delete: the pair ("\??\" + path, "")
// appended to the multi-string, whose list ends with one more NUL. The list
// is kept in UTF-16, the path converted from the ANSI code page.
bool PosixFileSystem::DeleteAtRestart(std::string_view path) {
    if (!pendingOperations_ || !codec_) return false;
    // An empty path, or one with a NUL inside, would break the list apart.
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    auto key = pendingOperations_->Create(RegistryRoot::LocalMachine, kSessionManagerKey);
    if (!key) return false;

    std::u16string data;
    if (key->Read(kPendingOperationsValue, kUnlimitedBuffer)) {
        // A value of another type is not ours to overwrite.
        auto existing = key->ReadMultiStringUtf16(kPendingOperationsValue);
        if (!existing) return false;
        data = PendingPairs(*existing);
    }
    data.append(kObjectPrefix).append(codec_->FromAnsi(path)).push_back(u'\0');
    data.push_back(u'\0');  // no target: delete
    data.push_back(u'\0');  // end of the list
    return key->WriteMultiStringUtf16(kPendingOperationsValue, data);
}

std::optional<std::string> PosixFileSystem::ShortPathName(std::string_view path) {
    const auto local = SystemPath(path);
    struct stat info;
    if (!local || !StatPath(*local, info)) return std::nullopt;
    return std::string(path);
}

// Matching with "*" and "?", where "*" takes any run of characters: a greedy
// scan that, on a mismatch, lets the last "*" take one more character. It
// never backtracks further, so a hostile pattern costs at most
// pattern x name steps.
bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*") return true;
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace qm
