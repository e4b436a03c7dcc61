#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

#include "platform/win32/c_string.h"
#include "platform/win32/unique_handle.h"

// The port's operations share their names with the platform's macros.

namespace qm {
namespace {

struct FindCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFind = UniqueHandle<HANDLE, FindCloser>;

struct FileCloser {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using UniqueFile = UniqueHandle<HANDLE, FileCloser>;

constexpr DWORD kReadChunk = 64 * 1024;

char UpperAscii(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// NTFS orders names by their upper-case form ("A" < "_" < "b"); names that
// differ only in case (possible on a case-sensitive folder) in a fixed order.
bool NameLess(const std::string& a, const std::string& b) {
    const auto upperLess = [](char x, char y) {
        return static_cast<unsigned char>(UpperAscii(x)) < static_cast<unsigned char>(UpperAscii(y));
    };
    const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), upperLess);
    const bool greater = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), upperLess);
    if (less || greater) return less;
    return a < b;
}

FoundFile ToFoundFile(const WIN32_FIND_DATAA& data) {
    FoundFile file;
    // The name is the platform's, but it is read only as far as its buffer.
    file.name.assign(data.cFileName, strnlen(data.cFileName, sizeof data.cFileName));
    file.attributes = data.dwFileAttributes;
    file.size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? 0
                    : (uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow);
    file.lastWriteTime =
        FileTime{uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime};
    return file;
}

// The folder part of a pattern, with its last "\" (or "/"), or nothing when
// the pattern names only a file in the current folder.
std::string FolderOf(const std::string& pattern) {
    const std::size_t separator = pattern.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".\\") : pattern.substr(0, separator + 1);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens an existing file on a disk for reading, sharing it with every other
// user (the browser keeps its index files open). A folder does not open
// this way, and a device or pipe that does open is refused.
UniqueFile OpenDiskFileForRead(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return UniqueFile();
    UniqueFile file(CreateFileA(name->c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && GetFileType(file.get()) != FILE_TYPE_DISK) file.reset();
    return file;
}

// A file on a disk read at offsets: each read names its own offset, so no
// file position is kept between reads.
class Win32FileReader final : public FileReader {
public:
    Win32FileReader(UniqueFile file, uint64_t size) : file_(std::move(file)), size_(size) {}

    uint64_t Size() const override { return size_; }
    std::optional<std::size_t> ReadAt(uint64_t offset, std::span<char> buffer) override {
        std::size_t done = 0;
        while (done < buffer.size()) {
            const uint64_t at = offset + done;
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            const auto want = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, kReadLimit));
            DWORD got = 0;
            if (!::ReadFile(file_.get(), buffer.data() + done, want, &got, &position)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return std::nullopt;
            }
            if (got == 0) break;
            done += got;
        }
        return done;
    }

private:
    static constexpr std::size_t kReadLimit = 1u << 30;
    UniqueFile file_;
    uint64_t size_;
};

}  // namespace

std::optional<std::vector<FoundFile>> Win32FileSystem::Find(std::string_view pattern) {
    const auto text = ToCString(pattern);
    if (!text || text->empty()) return std::nullopt;
    const char last = text->back();
    if (last == '\\' || last == '/') return std::nullopt;  // a folder, but no names to match

    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA(text->c_str(), &data));
    if (!find) {
        // No match in a folder that exists is an empty listing; anything
        // else (no such folder, no access, not a folder) is a search that
        // could not start.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND && IsFolder(FolderOf(*text))) return std::vector<FoundFile>();
        return std::nullopt;
    }

    std::vector<FoundFile> dots;
    std::vector<FoundFile> found;
    do {
        FoundFile file = ToFoundFile(data);
        if (file.name.empty()) continue;
        (file.name == "." || file.name == ".." ? dots : found).push_back(std::move(file));
    } while (FindNextFileA(find.get(), &data));

    std::sort(dots.begin(), dots.end(),
              [](const FoundFile& a, const FoundFile& b) { return a.name.size() < b.name.size(); });
    std::sort(found.begin(), found.end(),
              [](const FoundFile& a, const FoundFile& b) { return NameLess(a.name, b.name); });
    dots.insert(dots.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    return dots;
}

std::optional<uint32_t> Win32FileSystem::GetAttributes(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return std::nullopt;
    const DWORD attributes = GetFileAttributesA(name->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

bool Win32FileSystem::SetAttributes(std::string_view path, uint32_t attributes) {
    const auto name = ToCString(path);
    return name && SetFileAttributesA(name->c_str(), attributes);
}

bool Win32FileSystem::CanOpenForRead(std::string_view path) {
    return OpenDiskFileForRead(path).valid();
}

std::optional<std::string> Win32FileSystem::ReadFile(std::string_view path, uint64_t maxBytes) {
    UniqueFile file = OpenDiskFileForRead(path);
    if (!file) return std::nullopt;

    std::string bytes;
    LARGE_INTEGER size;
    // The size is a hint only: the file may grow or shrink while it is read.
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        bytes.reserve(static_cast<std::size_t>(std::min<uint64_t>(
            {maxBytes, static_cast<uint64_t>(size.QuadPart), uint64_t{64} * 1024 * 1024})));
    }
    char buffer[kReadChunk];
    while (bytes.size() < maxBytes) {
        const auto want = static_cast<DWORD>(std::min<uint64_t>(kReadChunk, maxBytes - bytes.size()));
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, want, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return bytes;
}

std::unique_ptr<FileReader> Win32FileSystem::OpenForRead(std::string_view path) {
    UniqueFile file = OpenDiskFileForRead(path);
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return nullptr;
    return std::make_unique<Win32FileReader>(std::move(file), static_cast<uint64_t>(size.QuadPart));
}

bool Win32FileSystem::WriteTextFile(std::string_view path, std::string_view text) {
    const auto name = ToCString(path);
    if (!name) return false;
    std::string data;
    data.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') data.push_back('\r');
        data.push_back(c);
    }

    // The platform refuses to replace a read-only file; Wine lets a user
    // whom the host's permissions allow replace one all the same, so the
    // attribute is looked at first. CREATE_ALWAYS refuses a folder.
    const DWORD existing = GetFileAttributesA(name->c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) return false;
    UniqueFile file(CreateFileA(name->c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    std::size_t written = 0;
    while (written < data.size()) {
        const auto want = static_cast<DWORD>(std::min<std::size_t>(data.size() - written, 1 << 20));
        DWORD done = 0;
        if (!WriteFile(file.get(), data.data() + written, want, &done, nullptr) || done == 0) return false;
        written += done;
    }
    return true;
}

FileRemoval Win32FileSystem::RemoveFile(std::string_view path) {
    const auto name = ToCString(path);
    if (!name) return FileRemoval::Failed;
    if (DeleteFileA(name->c_str())) return FileRemoval::Removed;
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            return FileRemoval::Refused;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return FileRemoval::InUse;
        default:
            return FileRemoval::Failed;
    }
}

bool Win32FileSystem::RemoveFolder(std::string_view path) {
    const auto name = ToCString(path);
    return name && RemoveDirectoryA(name->c_str());
}

bool Win32FileSystem::DeleteAtRestart(std::string_view path) {
    const auto name = ToCString(path);
    if (!name || name->empty()) return false;
    return MoveFileExA(name->c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

std::optional<std::string> Win32FileSystem::ShortPathName(std::string_view path) {
    const auto name = ToCString(path);
    if (!name || name->empty()) return std::nullopt;
    // Asked for the size first; a path that changes in between is asked again.
    DWORD size = GetShortPathNameA(name->c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
        std::string shortName(size, '\0');
        const DWORD length = GetShortPathNameA(name->c_str(), shortName.data(), size);
        if (length == 0) return std::nullopt;
        if (length < size) {
            shortName.resize(length);
            return shortName;
        }
        size = length;
    }
    return std::nullopt;
}

}  // namespace qm
