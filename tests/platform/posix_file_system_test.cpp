#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/memory/memory_platform.h"
#include "tests/platform/file_system_cases.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kPending = "PendingFileRenameOperations";

// A fresh folder under /tmp for one test, removed afterwards with
// everything in it. Paths handed to the file system use "\" as the platform
// writes them: "/tmp/x\name".
class PosixTempFolder {
public:
    PosixTempFolder() {
        char folder[] = "/tmp/qm-posix-fs-XXXXXX";
        if (::mkdtemp(folder) != nullptr) root_ = folder;
    }
    ~PosixTempFolder() {
        if (root_.empty()) return;
        // Give back write permission that a test took away, then remove all.
        std::error_code error;
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(root_, error);
    }
    PosixTempFolder(const PosixTempFolder&) = delete;
    PosixTempFolder& operator=(const PosixTempFolder&) = delete;

    bool valid() const { return !root_.empty(); }
    std::string Path(std::string_view name = {}) const {
        std::string path = root_;
        if (!name.empty()) path.append("\\").append(name);
        return path;
    }
    std::string Local(std::string_view name) const { return PosixFileSystem::LocalPath(Path(name)); }

    void MakeFile(std::string_view name, std::string_view content = "") const {
        std::ofstream out(Local(name), std::ios::binary);
        out << content;
    }
    void MakeFolder(std::string_view name) const { std::filesystem::create_directories(Local(name)); }
    std::string Contents(std::string_view name) const {
        std::ifstream in(Local(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The file's last write time, as FILETIME ticks.
    bool SetWriteTime(std::string_view name, uint64_t ticks) const {
        const uint64_t sinceUnixEpoch = ticks - 116'444'736'000'000'000ull;
        struct timespec times[2] = {{0, UTIME_OMIT},
                                    {static_cast<time_t>(sinceUnixEpoch / 10'000'000),
                                     static_cast<long>(sinceUnixEpoch % 10'000'000 * 100)}};
        return ::utimensat(AT_FDCWD, Local(name).c_str(), times, 0) == 0;
    }

private:
    std::string root_;
};

struct PosixSetup {
    using Files = PosixFileSystem;
    using Folder = PosixTempFolder;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemCases, PosixSetup);

// What only the POSIX file system does: paths, links, pipes and modes.
class PosixFileSystemTest : public FileSystemCases<PosixSetup> {
protected:
    std::string Local(std::string_view name) const { return folder_.Local(name); }
    void MakeFile(std::string_view name, std::string_view content = "") const {
        folder_.MakeFile(name, content);
    }
    void MakeFolder(std::string_view name) const { folder_.MakeFolder(name); }
    std::string Contents(std::string_view name) const { return folder_.Contents(name); }
};

TEST_F(PosixFileSystemTest, LocalPathTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(PosixFileSystem::LocalPath("\\tmp\\a b\\c.dat"), "/tmp/a b/c.dat");
    EXPECT_EQ(PosixFileSystem::LocalPath("/already/local"), "/already/local");
}

TEST_F(PosixFileSystemTest, FindListsLinksAsReparsePointsAndALinkToAFolderAsAFolderToo) {
    MakeFolder("Real");
    ASSERT_EQ(::symlink(Local("Real").c_str(), Local("link").c_str()), 0);
    ASSERT_EQ(::symlink(Local("gone").c_str(), Local("dangling").c_str()), 0);
    auto found = files_.Find(Path("*"));
    ASSERT_TRUE(found);
    ASSERT_THAT(Names(*found), ElementsAre(".", "..", "dangling", "link", "Real"));
    // As NTFS lists a junction: both bits.
    EXPECT_EQ((*found)[2].attributes, file_attribute::kArchive | file_attribute::kReparsePoint);
    EXPECT_EQ((*found)[3].attributes, file_attribute::kDirectory | file_attribute::kReparsePoint);
    EXPECT_EQ((*found)[4].attributes, file_attribute::kDirectory);
    // Named directly, the link leads to its folder.
    EXPECT_TRUE(files_.IsDirectory(Path("link")));
    EXPECT_TRUE(files_.Exists(Path("dangling")));
}

TEST_F(PosixFileSystemTest, ReadOnlyIsTheOwnersWriteBitAndOtherAttributesAreIgnored) {
    MakeFile("f.txt");
    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kReadOnly | file_attribute::kHidden));
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive | file_attribute::kReadOnly);
    struct stat info;
    ASSERT_EQ(::stat(Local("f.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IWUSR, 0u);
    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kNormal));
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive);
}

TEST_F(PosixFileSystemTest, OnlyRegularFilesOpenForRead) {
    MakeFile("f");
    MakeFolder("d");
    ASSERT_EQ(::mkfifo(Local("pipe").c_str(), 0600), 0);
    EXPECT_TRUE(files_.CanOpenForRead(Path("f")));
    EXPECT_FALSE(files_.CanOpenForRead(Path("d")));
    EXPECT_FALSE(files_.CanOpenForRead(Path("missing")));
    // A pipe with no writer would block a plain open; it is refused at once.
    EXPECT_FALSE(files_.CanOpenForRead(Path("pipe")));
    EXPECT_FALSE(files_.ReadFile(Path("pipe"), 10));
    EXPECT_FALSE(files_.WriteTextFile(Path("pipe"), "x"));
}

TEST_F(PosixFileSystemTest, DeletingALinkLeavesItsTarget) {
    MakeFolder("Real");
    MakeFile("Real\\keep.txt", "x");
    ASSERT_EQ(::symlink(Local("Real").c_str(), Local("link").c_str()), 0);
    EXPECT_FALSE(files_.RemoveFolder(Path("link")));
    EXPECT_EQ(files_.RemoveFile(Path("link")), FileRemoval::Removed);
    EXPECT_EQ(Contents("Real\\keep.txt"), "x");
}

TEST_F(PosixFileSystemTest, ShortPathNameIsThePathItselfWhenItExists) {
    MakeFile("Long File Name.dat");
    EXPECT_EQ(files_.ShortPathName(Path("Long File Name.dat")), Path("Long File Name.dat"));
    EXPECT_EQ(files_.ShortPathName(Path()), Path());
    EXPECT_FALSE(files_.ShortPathName(Path("missing")));
}

TEST_F(PosixFileSystemTest, DeleteAtRestartNeedsARegistry) {
    EXPECT_FALSE(files_.DeleteAtRestart(Path("x")));
}

TEST(PosixDeleteAtRestartTest, AppendsPairsAsTheSystemRecordsThem) {
    MemoryRegistry registry;
    MemoryTextCodec codec;
    PosixFileSystem files(&registry, &codec);
    ASSERT_TRUE(files.DeleteAtRestart("C:\\a\\index.dat"));
    ASSERT_TRUE(files.DeleteAtRestart("C:\\b.dat"));

    auto key = registry.Open(RegistryRoot::LocalMachine, kSessionManager);
    ASSERT_TRUE(key);
    auto value = key->Read(kPending, kUnlimitedBuffer);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, RegistryType::MultiString);
    EXPECT_EQ(value->data, std::string("\\??\\C:\\a\\index.dat\0\0\\??\\C:\\b.dat\0\0\0", 35));
}

TEST(PosixDeleteAtRestartTest, KeepsOtherProgramsOperations) {
    MemoryRegistry registry;
    auto key = registry.Create(RegistryRoot::LocalMachine, kSessionManager);
    ASSERT_TRUE(key);
    const std::string rename("\\??\\C:\\old.sys\0!\\??\\C:\\new.sys\0\0", 32);
    ASSERT_TRUE(key->Write(kPending, RegistryValue{RegistryType::MultiString, rename}));
    ASSERT_TRUE(key->WriteDword("Other", 9));

    MemoryTextCodec codec;
    PosixFileSystem files(&registry, &codec);
    ASSERT_TRUE(files.DeleteAtRestart("C:\\x"));
    auto value = key->Read(kPending, kUnlimitedBuffer);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, rename.substr(0, rename.size() - 1) + std::string("\\??\\C:\\x\0\0\0", 11));
    EXPECT_EQ(key->ReadDword("Other"), 9u);
}

TEST(PosixDeleteAtRestartTest, RepairsADamagedListInsteadOfRunningIntoIt) {
    struct Case {
        std::string existing;
        std::string expected;
    };
    const std::string added("\\??\\C:\\x\0\0\0", 11);
    const std::string a("\\??\\C:\\a\0\0", 10);
    const Case cases[] = {
        {std::string(), added},
        {std::string(1, '\0'), added},                                 // an empty list
        {a, a + added},                                                // the closing NUL missing
        {std::string("\\??\\C:\\a\0", 9), a + added},                  // both closing NULs missing
        {a + std::string("\0junk", 5), a + added},                     // text after the end
        {std::string("\\??\\C:\\ab", 9), added},                       // a source cut off
        {a + std::string("\\??\\C:\\b\0\\??\\C:\\n", 17), a + added},  // a target cut off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.existing));
        MemoryRegistry registry;
        auto key = registry.Create(RegistryRoot::LocalMachine, kSessionManager);
        ASSERT_TRUE(key);
        if (!c.existing.empty()) {
            ASSERT_TRUE(key->Write(kPending, RegistryValue{RegistryType::MultiString, c.existing}));
        }
        MemoryTextCodec codec;
        PosixFileSystem files(&registry, &codec);
        ASSERT_TRUE(files.DeleteAtRestart("C:\\x"));
        auto value = key->Read(kPending, kUnlimitedBuffer);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->data, c.expected);
    }
}

TEST(PosixDeleteAtRestartTest, RefusesWhatWouldBreakTheList) {
    MemoryRegistry registry;
    MemoryTextCodec codec;
    PosixFileSystem files(&registry, &codec);
    EXPECT_FALSE(files.DeleteAtRestart(""));
    EXPECT_FALSE(files.DeleteAtRestart(std::string_view("C:\\a\0b", 6)));
    EXPECT_FALSE(registry.Open(RegistryRoot::LocalMachine, kSessionManager));

    // A value of another type belongs to someone else and stays as it is.
    auto key = registry.Create(RegistryRoot::LocalMachine, kSessionManager);
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteString(kPending, "not a list"));
    EXPECT_FALSE(files.DeleteAtRestart("C:\\x"));
    EXPECT_EQ(key->ReadString(kPending, 260), "not a list");

    MemoryRegistry lockedRegistry;
    lockedRegistry.SetCreateFails(true);
    PosixFileSystem lockedFiles(&lockedRegistry, &codec);
    EXPECT_FALSE(lockedFiles.DeleteAtRestart("C:\\x"));
}

TEST(MatchesWildcardTest, StarAndQuestionMarkIgnoringCase) {
    EXPECT_TRUE(MatchesWildcard("*", ""));
    EXPECT_TRUE(MatchesWildcard("*", "anything.at.all"));
    EXPECT_TRUE(MatchesWildcard("*.*", "noextension"));
    EXPECT_TRUE(MatchesWildcard("*.*", ".."));
    EXPECT_TRUE(MatchesWildcard("*.dat", "INDEX.DAT"));
    EXPECT_TRUE(MatchesWildcard("*.dat", ".dat"));
    EXPECT_FALSE(MatchesWildcard("*.dat", "index.dat.bak"));
    EXPECT_FALSE(MatchesWildcard("*.dat", "."));
    EXPECT_TRUE(MatchesWildcard("index.dat", "Index.Dat"));
    EXPECT_FALSE(MatchesWildcard("index.dat", "index.da"));
    EXPECT_FALSE(MatchesWildcard("index.da", "index.dat"));
    EXPECT_TRUE(MatchesWildcard("i?dex.*", "iNdex.htm"));
    EXPECT_FALSE(MatchesWildcard("?", ""));
    EXPECT_FALSE(MatchesWildcard("??", "a"));
    EXPECT_TRUE(MatchesWildcard("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(MatchesWildcard("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(MatchesWildcard("**x", "abx"));
    EXPECT_FALSE(MatchesWildcard("", "a"));
    EXPECT_TRUE(MatchesWildcard("", ""));
}

TEST(MatchesWildcardTest, ManyStarsDoNotBacktrackWithoutEnd) {
    const std::string name(5000, 'a');
    std::string pattern;
    for (int i = 0; i < 2000; ++i) pattern += "*a";
    pattern += "b";
    EXPECT_FALSE(MatchesWildcard(pattern, name));
    EXPECT_TRUE(MatchesWildcard(pattern.substr(0, pattern.size() - 1), name));
}

}  // namespace
}  // namespace qm
