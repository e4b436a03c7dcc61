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

namespace qm {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr std::string_view kPending = "PendingFileRenameOperations";

// A fresh folder under /tmp for each test, removed afterwards. Paths handed
// to the file system use "\" as the platform writes them.
class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/qm-posix-fs-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        root_ = folder;
    }

    void TearDown() override {
        if (root_.empty()) return;
        // Give back write permission that a test took away, then remove all.
        std::error_code error;
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(root_, error);
    }

    // The platform form of a path inside the folder: "/tmp/x\name".
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

    static std::vector<std::string> Names(const std::vector<FoundFile>& found) {
        std::vector<std::string> names;
        for (const FoundFile& file : found) names.push_back(file.name);
        return names;
    }

    std::string root_;
    PosixFileSystem files_;
};

TEST_F(PosixFileSystemTest, LocalPathTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(PosixFileSystem::LocalPath("\\tmp\\a b\\c.dat"), "/tmp/a b/c.dat");
    EXPECT_EQ(PosixFileSystem::LocalPath("/already/local"), "/already/local");
}

TEST_F(PosixFileSystemTest, FindListsDotsFirstThenNamesWithoutCase) {
    MakeFile("b.txt");
    MakeFile("A.dat");
    MakeFile("_under");
    MakeFile("c.DAT");
    MakeFolder("Sub");

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

TEST_F(PosixFileSystemTest, FindFailsWhenTheFolderCannotBeRead) {
    MakeFile("file");
    EXPECT_FALSE(files_.Find(Path("missing\\*")));
    EXPECT_FALSE(files_.Find(Path("file\\*")));
    EXPECT_FALSE(files_.Find(Path() + "\\"));
}

TEST_F(PosixFileSystemTest, FindReportsAttributesSizeAndTime) {
    MakeFile("data.bin", "12345");
    MakeFile("locked.txt", "x");
    MakeFolder("Folder");
    ASSERT_TRUE(files_.SetAttributes(Path("locked.txt"), file_attribute::kReadOnly));
    struct timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 500}};  // 2001-09-09 01:46:40 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, Local("data.bin").c_str(), times, 0), 0);

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

TEST_F(PosixFileSystemTest, FindListsLinksAsThemselvesNotAsFolders) {
    MakeFolder("Real");
    ASSERT_EQ(::symlink(Local("Real").c_str(), Local("link").c_str()), 0);
    ASSERT_EQ(::symlink(Local("gone").c_str(), Local("dangling").c_str()), 0);
    auto found = files_.Find(Path("*"));
    ASSERT_TRUE(found);
    ASSERT_THAT(Names(*found), ElementsAre(".", "..", "dangling", "link", "Real"));
    EXPECT_FALSE((*found)[2].isDirectory());
    EXPECT_FALSE((*found)[3].isDirectory());
    EXPECT_TRUE((*found)[2].attributes & file_attribute::kReparsePoint);
    EXPECT_TRUE((*found)[3].attributes & file_attribute::kReparsePoint);
    EXPECT_TRUE((*found)[4].isDirectory());
    EXPECT_FALSE((*found)[4].attributes & file_attribute::kReparsePoint);
    // Named directly, the link leads to its folder.
    EXPECT_TRUE(files_.IsDirectory(Path("link")));
    EXPECT_TRUE(files_.Exists(Path("dangling")));
}

TEST_F(PosixFileSystemTest, AttributesAndReadOnlyToggle) {
    MakeFile("f.txt");
    MakeFolder("d");
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive);
    EXPECT_EQ(files_.GetAttributes(Path("d")), file_attribute::kDirectory);
    EXPECT_TRUE(files_.IsDirectory(Path("d\\")));
    EXPECT_FALSE(files_.GetAttributes(Path("missing")));
    EXPECT_FALSE(files_.Exists(Path("missing")));

    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kReadOnly | file_attribute::kHidden));
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive | file_attribute::kReadOnly);
    struct stat info;
    ASSERT_EQ(::stat(Local("f.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & S_IWUSR, 0u);

    ASSERT_TRUE(files_.SetAttributes(Path("f.txt"), file_attribute::kNormal));
    EXPECT_EQ(files_.GetAttributes(Path("f.txt")), file_attribute::kArchive);
    EXPECT_FALSE(files_.SetAttributes(Path("missing"), file_attribute::kNormal));
}

TEST_F(PosixFileSystemTest, ReadFileTakesAtMostTheLimit) {
    MakeFile("f.bin", std::string("ab\0cd", 5));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 100), std::string("ab\0cd", 5));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 3), std::string("ab\0", 3));
    EXPECT_EQ(files_.ReadFile(Path("f.bin"), 0), "");
    MakeFile("empty");
    EXPECT_EQ(files_.ReadFile(Path("empty"), 10), "");

    const std::string big(200'000, 'z');
    MakeFile("big", big);
    EXPECT_EQ(files_.ReadFile(Path("big"), UINT64_MAX), big);
    EXPECT_EQ(files_.ReadFile(Path("big"), 150'000)->size(), 150'000u);

    EXPECT_FALSE(files_.ReadFile(Path("missing"), 10));
    MakeFolder("d");
    EXPECT_FALSE(files_.ReadFile(Path("d"), 10));
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

TEST_F(PosixFileSystemTest, WriteTextFileStoresLineFeedsAsCarriageReturnLineFeed) {
    ASSERT_TRUE(files_.WriteTextFile(Path("out.htm"), "<html>\n<body>\r\n\n</html>"));
    EXPECT_EQ(Contents("out.htm"), "<html>\r\n<body>\r\r\n\r\n</html>");

    ASSERT_TRUE(files_.WriteTextFile(Path("out.htm"), "short"));  // replaces, not appends
    EXPECT_EQ(Contents("out.htm"), "short");
    ASSERT_TRUE(files_.WriteTextFile(Path("empty.txt"), ""));
    EXPECT_TRUE(files_.Exists(Path("empty.txt")));

    EXPECT_FALSE(files_.WriteTextFile(Path("missing\\out.htm"), "x"));
    MakeFolder("d");
    EXPECT_FALSE(files_.WriteTextFile(Path("d"), "x"));
    ASSERT_TRUE(files_.SetAttributes(Path("out.htm"), file_attribute::kReadOnly));
    EXPECT_FALSE(files_.WriteTextFile(Path("out.htm"), "changed"));
    EXPECT_EQ(Contents("out.htm"), "short");
}

TEST_F(PosixFileSystemTest, DeleteFileRefusesFoldersAndReadOnlyFiles) {
    MakeFile("plain");
    MakeFile("locked");
    MakeFolder("d");
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

TEST_F(PosixFileSystemTest, PathWithANulInsideNamesNothing) {
    MakeFile("file", "x");
    const std::string hidden = Path("file") + std::string("\0.bak", 5);
    EXPECT_FALSE(files_.RemoveFile(hidden));
    EXPECT_FALSE(files_.Exists(hidden));
    EXPECT_FALSE(files_.ReadFile(hidden, 10));
    EXPECT_FALSE(files_.WriteTextFile(hidden, "y"));
    EXPECT_FALSE(files_.SetAttributes(hidden, file_attribute::kReadOnly));
    EXPECT_FALSE(files_.Find(Path("*") + std::string("\0", 1)));
    EXPECT_EQ(Contents("file"), "x");
    EXPECT_EQ(files_.GetAttributes(Path("file")), file_attribute::kArchive);
}

TEST_F(PosixFileSystemTest, DeletingALinkLeavesItsTarget) {
    MakeFolder("Real");
    MakeFile("Real\\keep.txt", "x");
    ASSERT_EQ(::symlink(Local("Real").c_str(), Local("link").c_str()), 0);
    EXPECT_FALSE(files_.RemoveFolder(Path("link")));
    EXPECT_TRUE(files_.RemoveFile(Path("link")));
    EXPECT_EQ(Contents("Real\\keep.txt"), "x");
}

TEST_F(PosixFileSystemTest, RemoveDirectoryOnlyRemovesEmptyFolders) {
    MakeFolder("full");
    MakeFile("full\\f");
    MakeFolder("empty");
    MakeFile("file");
    EXPECT_FALSE(files_.RemoveFolder(Path("full")));
    EXPECT_TRUE(files_.Exists(Path("full\\f")));
    EXPECT_FALSE(files_.RemoveFolder(Path("file")));
    EXPECT_TRUE(files_.Exists(Path("file")));
    EXPECT_TRUE(files_.RemoveFolder(Path("empty")));
    EXPECT_FALSE(files_.Exists(Path("empty")));
    EXPECT_FALSE(files_.RemoveFolder(Path("empty")));
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
    PosixFileSystem files(&registry);
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

    PosixFileSystem files(&registry);
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
        PosixFileSystem files(&registry);
        ASSERT_TRUE(files.DeleteAtRestart("C:\\x"));
        auto value = key->Read(kPending, kUnlimitedBuffer);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->data, c.expected);
    }
}

TEST(PosixDeleteAtRestartTest, RefusesWhatWouldBreakTheList) {
    MemoryRegistry registry;
    PosixFileSystem files(&registry);
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
    PosixFileSystem lockedFiles(&lockedRegistry);
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
