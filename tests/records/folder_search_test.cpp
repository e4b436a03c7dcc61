// The index file search over a tree that links back into itself: a
// junction or a folder link is listed as a folder that is also a reparse
// point, and the walk never enters it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "platform/posix/posix_file_system.h"
#include "records/index_file_location.h"

namespace qm {
namespace {

TEST(IndexFileSearch, NeverEntersALinkBackToItsParentAndVisitsEachFolderOnce) {
    std::string root = (std::filesystem::temp_directory_path() / "qm-search-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    std::filesystem::create_directories(root + "/Profile/a");
    std::ofstream(root + "/Profile/a/index.dat") << "x";
    std::filesystem::create_directory_symlink(root + "/Profile", root + "/Profile/a/back");

    PosixFileSystem fileSystem;
    const std::atomic<bool> keepSearching{true};
    std::vector<std::string> found;
    SearchFolder(fileSystem, root + "\\Profile", keepSearching,
                 [&](const std::string& path) { found.push_back(path); });
    EXPECT_THAT(found, ::testing::ElementsAre(root + "\\Profile\\a\\index.dat"));

    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

}  // namespace
}  // namespace qm
