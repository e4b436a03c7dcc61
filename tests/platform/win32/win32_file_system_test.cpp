// The Windows file system answers the shared cases as the POSIX one does on
// Linux, on a real folder; then what only Windows has.
#include "platform/win32/win32_file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "tests/platform/file_system_cases.h"
#include "tests/platform/win32/win32_temp_folder.h"

namespace qm {
namespace {

struct Win32Setup {
    using Files = Win32FileSystem;
    using Folder = TempFolder;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FileSystemCases, Win32Setup);

// What only the Windows file system does: files held open, pipes and
// devices, short names, delayed deletions.
class Win32FileSystemTest : public FileSystemCases<Win32Setup> {};

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
    // It cannot be deleted meanwhile, and the deletion says why.
    EXPECT_EQ(files_.RemoveFile(Path("f")), FileRemoval::InUse);
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
