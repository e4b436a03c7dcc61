// The cases every FileSystem passes alike, on a real scratch folder: the
// POSIX one natively and the Windows one under Wine. Paths are written as
// the platform writes them, with "\". A test program runs them with a setup
// type that names the file system and its scratch folder:
//
//   struct PosixSetup {
//       using Files = PosixFileSystem;
//       using Folder = PosixTempFolder;
//   };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemCases, PosixSetup);
//
// The folder is made empty for each test and removed afterwards; it offers
// valid(), Path(name), MakeFile(name, content), MakeFolder(name),
// Contents(name) and SetWriteTime(name, ticks) on the host's own calls, so
// that the file system under test is only ever asked, never relied on.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace qm {

template <typename Setup>
class FileSystemCases : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.valid()); }

    std::string Path(std::string_view name = {}) const { return folder_.Path(name); }

    static std::vector<std::string> Names(const std::vector<FoundFile>& found) {
        std::vector<std::string> names;
        for (const FoundFile& file : found) names.push_back(file.name);
        return names;
    }

    typename Setup::Folder folder_;
    typename Setup::Files files_;
};

TYPED_TEST_SUITE_P(FileSystemCases);

TYPED_TEST_P(FileSystemCases, FindListsDotsFirstThenNamesWithoutCase) {
    using ::testing::ElementsAre;
    this->folder_.MakeFile("b.txt");
    this->folder_.MakeFile("A.dat");
    this->folder_.MakeFile("_under");
    this->folder_.MakeFile("c.DAT");
    this->folder_.MakeFolder("Sub");
    auto& files = this->files_;

    auto all = files.Find(this->Path("*"));
    ASSERT_TRUE(all);
    EXPECT_THAT(this->Names(*all), ElementsAre(".", "..", "A.dat", "b.txt", "c.DAT", "Sub", "_under"));
    auto everything = files.Find(this->Path("*.*"));
    ASSERT_TRUE(everything);
    EXPECT_EQ(this->Names(*everything), this->Names(*all));

    auto dats = files.Find(this->Path("*.dat"));
    ASSERT_TRUE(dats);
    EXPECT_THAT(this->Names(*dats), ElementsAre("A.dat", "c.DAT"));

    auto one = files.Find(this->Path("a.DAT"));
    ASSERT_TRUE(one);
    EXPECT_THAT(this->Names(*one), ElementsAre("A.dat"));

    auto none = files.Find(this->Path("index.dat"));
    ASSERT_TRUE(none);
    EXPECT_THAT(*none, ::testing::IsEmpty());
}

TYPED_TEST_P(FileSystemCases, FindFailsWhenTheFolderCannotBeRead) {
    this->folder_.MakeFile("file");
    auto& files = this->files_;
    EXPECT_FALSE(files.Find(this->Path("missing\\*")));
    EXPECT_FALSE(files.Find(this->Path("missing\\index.dat")));
    EXPECT_FALSE(files.Find(this->Path("file\\*")));
    EXPECT_FALSE(files.Find(this->Path() + "\\"));
    EXPECT_FALSE(files.Find(""));
}

TYPED_TEST_P(FileSystemCases, FindReportsAttributesSizeAndTime) {
    using ::testing::ElementsAre;
    this->folder_.MakeFile("data.bin", "12345");
    this->folder_.MakeFile("locked.txt", "x");
    this->folder_.MakeFolder("Folder");
    auto& files = this->files_;
    ASSERT_TRUE(files.SetAttributes(this->Path("locked.txt"), file_attribute::kReadOnly));
    constexpr uint64_t kWritten = 126'444'736'000'000'005ull;  // 2001-09-09 01:46:40 UTC
    ASSERT_TRUE(this->folder_.SetWriteTime("data.bin", kWritten));

    auto found = files.Find(this->Path("*"));
    ASSERT_TRUE(found);
    ASSERT_THAT(this->Names(*found), ElementsAre(".", "..", "data.bin", "Folder", "locked.txt"));
    const FoundFile& dot = (*found)[0];
    const FoundFile& data = (*found)[2];
    const FoundFile& folder = (*found)[3];
    const FoundFile& locked = (*found)[4];
    EXPECT_TRUE(dot.isDirectory());
    EXPECT_EQ(data.attributes, file_attribute::kArchive);
    EXPECT_EQ(data.size, 5u);
    EXPECT_EQ(data.lastWriteTime, FileTime{kWritten});
    EXPECT_EQ(folder.attributes, file_attribute::kDirectory);
    EXPECT_EQ(folder.size, 0u);
    EXPECT_EQ(locked.attributes, file_attribute::kArchive | file_attribute::kReadOnly);
}

TYPED_TEST_P(FileSystemCases, AttributesAndReadOnlyToggle) {
    this->folder_.MakeFile("f.txt");
    this->folder_.MakeFolder("d");
    auto& files = this->files_;
    EXPECT_EQ(files.GetAttributes(this->Path("f.txt")), file_attribute::kArchive);
    EXPECT_EQ(files.GetAttributes(this->Path("d")), file_attribute::kDirectory);
    EXPECT_TRUE(files.IsDirectory(this->Path("d\\")));
    EXPECT_FALSE(files.GetAttributes(this->Path("missing")));
    EXPECT_FALSE(files.Exists(this->Path("missing")));

    ASSERT_TRUE(files.SetAttributes(this->Path("f.txt"), file_attribute::kReadOnly));
    EXPECT_EQ(files.GetAttributes(this->Path("f.txt")), file_attribute::kArchive | file_attribute::kReadOnly);
    ASSERT_TRUE(files.SetAttributes(this->Path("f.txt"), file_attribute::kNormal));
    // Windows reports a file with no other attribute as normal, Wine and
    // POSIX keep the archive bit: either way it is no longer read-only.
    const auto cleared = files.GetAttributes(this->Path("f.txt"));
    ASSERT_TRUE(cleared);
    EXPECT_TRUE(*cleared == file_attribute::kNormal || *cleared == file_attribute::kArchive) << *cleared;
    EXPECT_FALSE(files.SetAttributes(this->Path("missing"), file_attribute::kNormal));
}

TYPED_TEST_P(FileSystemCases, ReadFileTakesAtMostTheLimit) {
    this->folder_.MakeFile("f.bin", std::string("ab\0cd", 5));
    auto& files = this->files_;
    EXPECT_EQ(files.ReadFile(this->Path("f.bin"), 100), std::string("ab\0cd", 5));
    EXPECT_EQ(files.ReadFile(this->Path("f.bin"), 3), std::string("ab\0", 3));
    EXPECT_EQ(files.ReadFile(this->Path("f.bin"), 0), "");
    this->folder_.MakeFile("empty");
    EXPECT_EQ(files.ReadFile(this->Path("empty"), 10), "");

    const std::string big(200'000, 'z');
    this->folder_.MakeFile("big", big);
    EXPECT_EQ(files.ReadFile(this->Path("big"), UINT64_MAX), big);
    EXPECT_EQ(files.ReadFile(this->Path("big"), 150'000)->size(), 150'000u);

    EXPECT_FALSE(files.ReadFile(this->Path("missing"), 10));
    this->folder_.MakeFolder("d");
    EXPECT_FALSE(files.ReadFile(this->Path("d"), 10));
}

TYPED_TEST_P(FileSystemCases, WriteTextFileStoresLineFeedsAsCarriageReturnLineFeed) {
    auto& files = this->files_;
    ASSERT_TRUE(files.WriteTextFile(this->Path("out.htm"), "<html>\n<body>\r\n\n</html>"));
    EXPECT_EQ(this->folder_.Contents("out.htm"), "<html>\r\n<body>\r\r\n\r\n</html>");

    ASSERT_TRUE(files.WriteTextFile(this->Path("out.htm"), "short"));  // replaces, not appends
    EXPECT_EQ(this->folder_.Contents("out.htm"), "short");
    ASSERT_TRUE(files.WriteTextFile(this->Path("empty.txt"), ""));
    EXPECT_TRUE(files.Exists(this->Path("empty.txt")));

    EXPECT_FALSE(files.WriteTextFile(this->Path("missing\\out.htm"), "x"));
    this->folder_.MakeFolder("d");
    EXPECT_FALSE(files.WriteTextFile(this->Path("d"), "x"));
    ASSERT_TRUE(files.SetAttributes(this->Path("out.htm"), file_attribute::kReadOnly));
    EXPECT_FALSE(files.WriteTextFile(this->Path("out.htm"), "changed"));
    EXPECT_EQ(this->folder_.Contents("out.htm"), "short");
}

TYPED_TEST_P(FileSystemCases, RemoveFileRefusesFoldersAndReadOnlyFiles) {
    this->folder_.MakeFile("plain");
    this->folder_.MakeFile("locked");
    this->folder_.MakeFolder("d");
    auto& files = this->files_;
    ASSERT_TRUE(files.SetAttributes(this->Path("locked"), file_attribute::kReadOnly));

    EXPECT_EQ(files.RemoveFile(this->Path("plain")), FileRemoval::Removed);
    EXPECT_FALSE(files.Exists(this->Path("plain")));
    EXPECT_EQ(files.RemoveFile(this->Path("plain")), FileRemoval::Failed);
    EXPECT_EQ(files.RemoveFile(this->Path("d")), FileRemoval::Refused);
    EXPECT_TRUE(files.IsDirectory(this->Path("d")));
    EXPECT_EQ(files.RemoveFile(this->Path("locked")), FileRemoval::Refused);
    EXPECT_TRUE(files.Exists(this->Path("locked")));

    ASSERT_TRUE(files.SetAttributes(this->Path("locked"), file_attribute::kNormal));
    EXPECT_EQ(files.RemoveFile(this->Path("locked")), FileRemoval::Removed);
}

TYPED_TEST_P(FileSystemCases, PathWithANulInsideNamesNothing) {
    this->folder_.MakeFile("file", "x");
    auto& files = this->files_;
    const std::string hidden = this->Path("file") + std::string("\0.bak", 5);
    EXPECT_EQ(files.RemoveFile(hidden), FileRemoval::Failed);
    EXPECT_FALSE(files.Exists(hidden));
    EXPECT_FALSE(files.ReadFile(hidden, 10));
    EXPECT_FALSE(files.WriteTextFile(hidden, "y"));
    EXPECT_FALSE(files.SetAttributes(hidden, file_attribute::kReadOnly));
    EXPECT_FALSE(files.Find(this->Path("*") + std::string("\0", 1)));
    EXPECT_FALSE(files.DeleteAtRestart(hidden));
    EXPECT_FALSE(files.ShortPathName(hidden));
    EXPECT_EQ(this->folder_.Contents("file"), "x");
    EXPECT_EQ(files.GetAttributes(this->Path("file")), file_attribute::kArchive);
}

TYPED_TEST_P(FileSystemCases, RemoveFolderOnlyRemovesEmptyFolders) {
    this->folder_.MakeFolder("full");
    this->folder_.MakeFile("full\\f");
    this->folder_.MakeFolder("empty");
    this->folder_.MakeFile("file");
    auto& files = this->files_;
    EXPECT_FALSE(files.RemoveFolder(this->Path("full")));
    EXPECT_TRUE(files.Exists(this->Path("full\\f")));
    EXPECT_FALSE(files.RemoveFolder(this->Path("file")));
    EXPECT_TRUE(files.Exists(this->Path("file")));
    EXPECT_TRUE(files.RemoveFolder(this->Path("empty")));
    EXPECT_FALSE(files.Exists(this->Path("empty")));
    EXPECT_FALSE(files.RemoveFolder(this->Path("empty")));
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemCases, FindListsDotsFirstThenNamesWithoutCase,
                            FindFailsWhenTheFolderCannotBeRead, FindReportsAttributesSizeAndTime,
                            AttributesAndReadOnlyToggle, ReadFileTakesAtMostTheLimit,
                            WriteTextFileStoresLineFeedsAsCarriageReturnLineFeed,
                            RemoveFileRefusesFoldersAndReadOnlyFiles, PathWithANulInsideNamesNothing,
                            RemoveFolderOnlyRemovesEmptyFolders);

}  // namespace qm
