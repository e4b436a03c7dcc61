// Builders shared by the report and user tool tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace qm::test {

// The moment of a calendar date at noon UTC.
inline FileTime Date(uint16_t year, uint16_t month, uint16_t day) {
    SystemTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = 12;
    return ToFileTime(time).value();
}

// A real folder for one test, removed with everything in it at the end.
// Paths handed to the ports use "\" below the folder's own path.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm-reports-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
        root_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(std::string_view relative = {}) const {
        return relative.empty() ? root_.string() : root_.string() + "\\" + std::string(relative);
    }
    std::filesystem::path Local(std::string_view relative) const {
        std::string local(relative);
        for (char& c : local)
            if (c == '\\') c = '/';
        return root_ / local;
    }
    void MakeFile(std::string_view relative, std::string_view content) const {
        const std::filesystem::path path = Local(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    void MakeFolder(std::string_view relative) const { std::filesystem::create_directories(Local(relative)); }
    std::string Read(std::string_view relative) const {
        std::ifstream in(Local(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(std::string_view relative) const { return std::filesystem::exists(Local(relative)); }

private:
    std::filesystem::path root_;
};

}  // namespace qm::test
