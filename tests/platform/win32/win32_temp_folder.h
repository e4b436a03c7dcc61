// A fresh folder under the user's temporary folder for one test, removed
// with everything in it afterwards (read-only files included).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH] = {};
        const DWORD length = GetTempPathA(sizeof base, base);
        if (length == 0 || length >= sizeof base) return;
        static unsigned sequence = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = std::string(base) + "qm-test-" + std::to_string(GetCurrentProcessId()) +
                                    "-" + std::to_string(++sequence);
            if (CreateDirectoryA(candidate.c_str(), nullptr)) {
                path_ = candidate;
                return;
            }
        }
    }
    ~TempFolder() {
        if (!path_.empty()) RemoveTree(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !path_.empty(); }
    // The folder itself, or a name inside it.
    std::string Path(std::string_view name = {}) const {
        std::string path = path_;
        if (!name.empty()) path.append("\\").append(name);
        return path;
    }

    // Makes the file and the folders above it.
    void MakeFile(std::string_view name, std::string_view content = "") const {
        for (auto end = name.find('\\'); end != std::string_view::npos; end = name.find('\\', end + 1))
            MakeFolder(name.substr(0, end));
        HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(file);
    }
    void MakeFolder(std::string_view name) const { CreateDirectoryA(Path(name).c_str(), nullptr); }

    // The file's last write time, as FILETIME ticks.
    bool SetWriteTime(std::string_view name, uint64_t ticks) const {
        HANDLE file = CreateFileA(Path(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        const bool set = SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        return set;
    }

    // The file's bytes, also while another process still holds it open.
    std::string Contents(std::string_view name) const {
        std::string bytes;
        HANDLE file = CreateFileA(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return bytes;
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
        CloseHandle(file);
        return bytes;
    }

private:
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = folder + "\\" + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(folder.c_str());
    }

    std::string path_;
};

}  // namespace qm
