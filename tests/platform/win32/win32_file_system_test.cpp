// The Windows file system answers as the POSIX one does on Linux: the same
// cases, the same expectations, on a real folder.
#include "platform/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "tests/platform/win32/win32_temp_folder.h"

// The port's operations share their names with the platform's macros.

namespace qm {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.valid()); }

    std::string Path(std::string_view name = {}) const { return folder_.Path(name); }

    static std::vector<std::string> Names(const std::vector<FoundFile>& found) {
        std::vector<std::string> names;
        for (const FoundFile& file : found) names.push_back(file.name);
        return names;
    }

    TempFolder folder_;
    Win32FileSystem files_;
};

TEST_F(Win32FileSystemTest, FindListsDotsFirstThenNamesWithoutCase) {
    folder_.MakeFile("b.txt");
    folder_.MakeFile("A.dat");
    folder_.MakeFile("_under");
    folder_.MakeFile("c.DAT");
    folder_.MakeFolder("Sub");

    auto all = files_.Find(Path("*"));
    ASSERT_TRUE(all);
    EXPECT_THAT(Names(*all), ElementsAre(".", "..", "A.dat", "b.txt", "c.DAT", "Sub", "_under"));
    auto everything = files_.Find(Path("*.*"));
    ASSERT_TRUE(everything);
    EXPECT_EQ(Names(*everything), Names(*all));

    auto dats = files_.Find(Path("*.dat"));
    ASSERT_TRUE(dats);
    EXPECT_THAT(Names(*dats), ElementsAre("A.dat", "c.DAT"));

    auto one = files_.Find(Path("a.DAT"));
    ASSERT_TRUE(one);
    EXPECT_THAT(Names(*one), ElementsAre("A.dat"));

    auto none = files_.Find(Path("index.dat"));
    ASSERT_TRUE(none);
    EXPECT_THAT(*none, IsEmpty());
}

TEST_F(Win32FileSystemTest, FindFailsWhenTheFolderCannotBeRead) {
    folder_.MakeFile("file");
    EXPECT_FALSE(files_.Find(Path("missing\\*")));
    EXPECT_FALSE(files_.Find(Path("missing\\index.dat")));
    EXPECT_FALSE(files_.Find(Path("file\\*")));
    EXPECT_FALSE(files_.Find(Path() + "\\"));
    EXPECT_FALSE(files_.Find(""));
}

TEST_F(Win32FileSystemTest, FindReportsAttributesSizeAndTime) {
    folder_.MakeFile("data.bin", "12345");
    folder_.MakeFile("locked.txt", "x");
    folder_.MakeFolder("Folder");
    ASSERT_TRUE(files_.SetAttributes(Path("locked.txt"), file_attribute::kReadOnly));
    {
        HANDLE file = CreateFileA(Path("data.bin").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const uint64_t ticks = 126'444'736'000'000'005ull;  // 2001-09-09 01:46:40 UTC
        FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
        CloseHandle(file);
    }

    auto found = files_.Find(Path("*"));
    ASSERT_TRUE(found);
    ASSERT_THAT(Names(*found), ElementsAre(".", "..", "data.bin", "Folder", "locked.txt"));
    const FoundFile& dot = (*found)[0];
    const FoundFile& data = (*found)[2];
    const FoundFile& folder = (*found)[3];
    const FoundFile& locked = (*found)[4];
    EXPECT_TRUE(dot.isDirectory());
    EXPECT_EQ(data.attributes, file_attribute::kArchive);
    EXPECT_EQ(data.size, 5u);
    EXPECT_EQ(data.lastWriteTime, FileTime{126'444'736'000'000'005ull});
    EXPECT_EQ(folder.attributes, file_attribute::kDirectory);
    EXPECT_EQ(folder.size, 0u);
    EXPECT_EQ(locked.attributes, file_attribute::kArchive | file_attribute::kReadOnly);
}

TEST_F(Win32FileSystemTest, AttributesAndReadOnlyToggle) {
    folder_.MakeFile("f.txt");
    folder_.MakeFolder("d");
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive);
    EXPECT_EQ(files_.GetAttributes(Path("d")), file_attribute::kDirectory);
    EXPECT_TRUE(files_.IsDirectory(Path("d\\")));
    EXPECT_FALSE(files_.GetAttributes(Path("missing")));
    EXPECT_FALSE(files_.Exists(Path("missing")));

    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kReadOnly));
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive | file_attribute::kReadOnly);
    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kNormal));
    // Windows reports a file with no other attribute as normal, Wine keeps
    // the archive bit: either way it is no longer read-only.
    const auto cleared = files_.GetAttributes(Path("f.txt"));
    ASSERT_TRUE(cleared);
    EXPECT_TRUE(*cleared == file_attribute::kNormal || *cleared == file_attribute::kArchive) << *cleared;
    EXPECT_FALSE(files_.SetAttributes(Path("missing"), file_attribute::kNormal));
}

TEST_F(Win32FileSystemTest, ReadFileTakesAtMostTheLimit) {
    folder_.MakeFile("f.bin", std::string("ab\0cd", 5));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 100), std::string("ab\0cd", 5));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 3), std::string("ab\0", 3));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 0), "");
    folder_.MakeFile("empty");
    EXPECT_EQ(files_.ReadFile(Path("empty"), 10), "");

    const std::string big(200'000, 'z');
    folder_.MakeFile("big", big);
    EXPECT_EQ(files_.ReadFile(Path("big"), UINT64_MAX), big);
    EXPECT_EQ(files_.ReadFile(Path("big"), 150'000)->size(), 150'000u);

    EXPECT_FALSE(files_.ReadFile(Path("missing"), 10));
    folder_.MakeFolder("d");
    EXPECT_FALSE(files_.ReadFile(Path("d"), 10));
}

TEST_F(Win32FileSystemTest, OnlyFilesOnDiskOpenForRead) {
    folder_.MakeFile("f");
    folder_.MakeFolder("d");
    EXPECT_TRUE(files_.CanOpenForRead(Path("f")));
    EXPECT_FALSE(files_.CanOpenForRead(Path("d")));
    EXPECT_FALSE(files_.CanOpenForRead(Path("missing")));

    // A file the browser holds open for writing is still readable.
    HANDLE held =
        CreateFileA(Path("f").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(files_.CanOpenForRead(Path("f")));
    CloseHandle(held);

    // Names of devices and pipes open, but are not files.
    const std::string pipeName = "\\\\.\\pipe\\qm-test-" + std::to_string(GetCurrentProcessId());
    HANDLE pipe =
        CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 2, 64, 64, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(files_.CanOpenForRead(pipeName));
    EXPECT_FALSE(files_.ReadFile(pipeName, 10));
    EXPECT_FALSE(files_.WriteTextFile(pipeName, "x"));
    CloseHandle(pipe);
    EXPECT_FALSE(files_.CanOpenForRead("NUL"));
    EXPECT_FALSE(files_.ReadFile("NUL", 10));
}

TEST_F(Win32FileSystemTest, WriteTextFileStoresLineFeedsAsCarriageReturnLineFeed) {
    ASSERT_TRUE(files_.WriteTextFile(Path("out.htm"), "<html>\n<body>\r\n\n</html>"));
    EXPECT_EQ(folder_.Contents("out.htm"), "<html>\r\n<body>\r\r\n\r\n</html>");

    ASSERT_TRUE(files_.WriteTextFile(Path("out.htm"), "short"));  // replaces, not appends
    EXPECT_EQ(folder_.Contents("out.htm"), "short");
    ASSERT_TRUE(files_.WriteTextFile(Path("empty.txt"), ""));
    EXPECT_TRUE(files_.Exists(Path("empty.txt")));

    EXPECT_FALSE(files_.WriteTextFile(Path("missing\\out.htm"), "x"));
    folder_.MakeFolder("d");
    EXPECT_FALSE(files_.WriteTextFile(Path("d"), "x"));
    ASSERT_TRUE(files_.SetAttributes(Path("out.htm"), file_attribute::kReadOnly));
    EXPECT_FALSE(files_.WriteTextFile(Path("out.htm"), "changed"));
    EXPECT_EQ(folder_.Contents("out.htm"), "short");
}

TEST_F(Win32FileSystemTest, DeleteFileRefusesFoldersAndReadOnlyFiles) {
    folder_.MakeFile("plain");
    folder_.MakeFile("locked");
    folder_.MakeFolder("d");
    ASSERT_TRUE(files_.SetAttributes(Path("locked"), file_attribute::kReadOnly));

    EXPECT_TRUE(files_.RemoveFile(Path("plain")));
    EXPECT_FALSE(files_.Exists(Path("plain")));
    EXPECT_FALSE(files_.RemoveFile(Path("plain")));
    EXPECT_FALSE(files_.RemoveFile(Path("d")));
    EXPECT_TRUE(files_.IsDirectory(Path("d")));
    EXPECT_FALSE(files_.RemoveFile(Path("locked")));
    EXPECT_TRUE(files_.Exists(Path("locked")));

    ASSERT_TRUE(files_.SetAttributes(Path("locked"), file_attribute::kNormal));
    EXPECT_TRUE(files_.RemoveFile(Path("locked")));
}

TEST_F(Win32FileSystemTest, PathWithANulInsideNamesNothing) {
    folder_.MakeFile("file", "x");
    const std::string hidden = Path("file") + std::string("\0.bak", 5);
    EXPECT_FALSE(files_.RemoveFile(hidden));
    EXPECT_FALSE(files_.Exists(hidden));
    EXPECT_FALSE(files_.ReadFile(hidden, 10));
    EXPECT_FALSE(files_.WriteTextFile(hidden, "y"));
    EXPECT_FALSE(files_.SetAttributes(hidden, file_attribute::kReadOnly));
    EXPECT_FALSE(files_.Find(Path("*") + std::string("\0", 1)));
    EXPECT_FALSE(files_.DeleteAtRestart(hidden));
    EXPECT_FALSE(files_.ShortPathName(hidden));
    EXPECT_EQ(folder_.Contents("file"), "x");
    EXPECT_EQ(files_.GetAttributes(Path("file")), file_attribute::kArchive);
}

TEST_F(Win32FileSystemTest, RemoveDirectoryOnlyRemovesEmptyFolders) {
    folder_.MakeFolder("full");
    folder_.MakeFile("full\\f");
    folder_.MakeFolder("empty");
    folder_.MakeFile("file");
    EXPECT_FALSE(files_.RemoveFolder(Path("full")));
    EXPECT_TRUE(files_.Exists(Path("full\\f")));
    EXPECT_FALSE(files_.RemoveFolder(Path("file")));
    EXPECT_TRUE(files_.Exists(Path("file")));
    EXPECT_TRUE(files_.RemoveFolder(Path("empty")));
    EXPECT_FALSE(files_.Exists(Path("empty")));
    EXPECT_FALSE(files_.RemoveFolder(Path("empty")));
}

TEST_F(Win32FileSystemTest, ShortPathNameNamesTheSameFileInEightDotThreeForm) {
    folder_.MakeFolder("A Long Folder Name");
    folder_.MakeFile("A Long Folder Name\\Long File Name.dat", "content");
    const std::string longPath = Path("A Long Folder Name\\Long File Name.dat");
    const auto shortPath = files_.ShortPathName(longPath);
    ASSERT_TRUE(shortPath);
    EXPECT_EQ(files_.ReadFile(*shortPath, 100), "content");
    // Where the volume keeps short names, the last part has become one.
    if (*shortPath != longPath) {
        const std::string last = shortPath->substr(shortPath->rfind('\\') + 1);
        EXPECT_LE(last.size(), 12u) << *shortPath;
        EXPECT_EQ(last.find(' '), std::string::npos) << *shortPath;
    }
    // A name that is short already stays as it is.
    folder_.MakeFile("SHORT.DAT");
    const auto unchanged = files_.ShortPathName(Path("SHORT.DAT"));
    ASSERT_TRUE(unchanged);
    EXPECT_EQ(unchanged->substr(unchanged->rfind('\\')), "\\SHORT.DAT");

    EXPECT_FALSE(files_.ShortPathName(Path("missing")));
    EXPECT_FALSE(files_.ShortPathName(""));
}

// Delayed deletions are recorded by the system in the local machine's
// session manager key. The test puts the value back as it found it, so that
// the prefix's next start deletes nothing.
class Win32DeleteAtRestartTest : public Win32FileSystemTest {
protected:
    static constexpr std::string_view kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    static constexpr std::string_view kPending = "PendingFileRenameOperations";

    void SetUp() override {
        Win32FileSystemTest::SetUp();
        key_ = registry_.Open(RegistryRoot::LocalMachine, kSessionManager);
        ASSERT_TRUE(key_) << "the session manager key cannot be opened for writing";
        original_ = key_->Read(kPending, kUnlimitedBuffer);
    }
    void TearDown() override {
        if (!key_) return;
        if (original_) {
            key_->Write(kPending, *original_);
        } else {
            key_->DeleteValue(kPending);
        }
    }

    std::string Pending() {
        auto value = key_->Read(kPending, kUnlimitedBuffer);
        if (!value) return std::string();
        EXPECT_EQ(value->type, RegistryType::MultiString);
        return value->data;
    }

    Win32Registry registry_;
    std::unique_ptr<RegistryKey> key_;
    std::optional<RegistryValue> original_;
};

TEST_F(Win32DeleteAtRestartTest, RecordsADeletionPairAfterOtherProgramsOperations) {
    const std::string other("\\??\\C:\\old.sys\0!\\??\\C:\\new.sys\0\0", 32);
    ASSERT_TRUE(key_->Write(kPending, RegistryValue{RegistryType::MultiString, other}));

    folder_.MakeFile("index.dat", "x");
    ASSERT_TRUE(files_.DeleteAtRestart(Path("index.dat")));
    const std::string pending = Pending();
    const std::string pair = "\\??\\" + Path("index.dat") + std::string("\0\0", 2);
    EXPECT_EQ(pending.substr(0, other.size() - 1), other.substr(0, other.size() - 1));
    EXPECT_NE(pending.find(pair), std::string::npos) << testing::PrintToString(pending);
    // Nothing happens to the file before the restart.
    EXPECT_EQ(folder_.Contents("index.dat"), "x");
}

TEST_F(Win32DeleteAtRestartTest, SchedulesAFileThatDoesNotExist) {
    // The Cookies index file is scheduled without looking for it first.
    key_->DeleteValue(kPending);
    ASSERT_TRUE(files_.DeleteAtRestart(Path("index.dat")));
    EXPECT_NE(Pending().find("\\??\\" + Path("index.dat") + std::string("\0\0", 2)), std::string::npos);
    EXPECT_FALSE(files_.DeleteAtRestart(""));
}

}  // namespace
}  // namespace qm
