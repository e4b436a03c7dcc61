// A real folder for one test, removed with everything in it at the end.
// Paths handed to the ports are in the platform's form: the folder's own
// path, then "\" between the parts below it (the POSIX file system takes
// "\" as "/").
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace qm::test {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm-index-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
        root_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The local path of a relative path written with "\".
    std::filesystem::path Local(std::string_view relative) const {
        std::string local(relative);
        for (char& c : local)
            if (c == '\\') c = '/';
        return local.empty() ? root_ : root_ / local;
    }

    // The platform path: the root, then "\" + relative.
    std::string Path(std::string_view relative = {}) const {
        return relative.empty() ? root_.string() : root_.string() + "\\" + std::string(relative);
    }

    void MakeFolder(std::string_view relative) const { std::filesystem::create_directories(Local(relative)); }

    void MakeFile(std::string_view relative, std::string_view content = "index") const {
        const std::filesystem::path path = Local(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path root_;
};

}  // namespace qm::test
