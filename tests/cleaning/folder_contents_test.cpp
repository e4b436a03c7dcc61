#include "cleaning/folder_contents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "cleaning/cleanup.h"
#include "tests/cleaning/cleaning_test_support.h"

namespace qm {
namespace {

using test::GuardedPlatform;
using test::TempFolder;

void MakeReadOnly(const std::string& path) {
    ::chmod(PosixFileSystem::LocalPath(path).c_str(), 0444);
}

TEST(DeleteFolderFiles, DeletesReadOnlyFilesAndLeavesSubfoldersWithTheirFolder) {
    MemoryPlatform memory;
    TempFolder temp;
    const std::string folder = temp.MakeFolder("store");
    const std::string readOnly = temp.MakeFile("store\\locked.dat");
    MakeReadOnly(readOnly);
    temp.MakeFile("store\\plain.txt");
    const std::string nested = temp.MakeFile("store\\sub\\inner.txt");

    DeleteFolderFiles(memory, folder, /*removeFolder=*/true);
    EXPECT_FALSE(TempFolder::Exists(readOnly));
    EXPECT_FALSE(TempFolder::Exists(temp / "store\\plain.txt"));
    EXPECT_TRUE(TempFolder::Exists(nested));
    EXPECT_TRUE(TempFolder::Exists(folder));
    // Files that delete plainly need no change of owner or access.
    EXPECT_TRUE(memory.fileSecurity.ownershipsTaken().empty());
    EXPECT_TRUE(memory.fileSecurity.accessGranted().empty());
}

TEST(DeleteFolderFiles, RemovesAnEmptiedFolderOnlyWhenAsked) {
    MemoryPlatform memory;
    TempFolder temp;
    const std::string kept = temp.MakeFolder("kept");
    temp.MakeFile("kept\\a.txt");
    const std::string removed = temp.MakeFolder("removed");
    temp.MakeFile("removed\\a.txt");
    MakeReadOnly(removed);  // a read-only folder is made writable first

    DeleteFolderFiles(memory, kept, false);
    DeleteFolderFiles(memory, removed, true);
    EXPECT_TRUE(TempFolder::Exists(kept));
    EXPECT_FALSE(TempFolder::Exists(temp / "kept\\a.txt"));
    EXPECT_FALSE(TempFolder::Exists(removed));

    DeleteFolderFiles(memory, temp / "missing", true);  // no folder: nothing happens
    EXPECT_FALSE(TempFolder::Exists(temp / "missing"));
}

TEST(DeleteFolderFiles, ARefusedFileIsTakenOverForTheCurrentUserOnly) {
    GuardedPlatform guarded;
    guarded.memory.shell.SetEnvironment("USERNAME", "ann");
    guarded.memory.shell.SetEnvironment("USERDOMAIN", "OFFICE");
    TempFolder temp;
    const std::string folder = temp.MakeFolder("cookies");
    const std::string foreign = temp.MakeFile("cookies\\foreign.txt");
    temp.MakeFile("cookies\\own.txt");
    guarded.fileSystem.guarded.insert(foreign);

    DeleteFolderFiles(guarded.platform, folder, false);
    EXPECT_FALSE(TempFolder::Exists(foreign));
    EXPECT_FALSE(TempFolder::Exists(temp / "cookies\\own.txt"));
    EXPECT_EQ(guarded.security.owned, std::vector<std::string>{foreign});
    ASSERT_EQ(guarded.security.grants.size(), 1u);
    EXPECT_EQ(guarded.security.grants[0], std::make_pair(foreign, std::string("OFFICE\\ann")));
}

TEST(DeleteFolderFiles, AFileThatCannotBeTakenOverStaysAndTheOthersGo) {
    GuardedPlatform guarded;
    guarded.security.ownershipRefused = true;  // and no user name known: no grant either
    TempFolder temp;
    const std::string folder = temp.MakeFolder("f");
    const std::string foreign = temp.MakeFile("f\\a-foreign.txt");
    temp.MakeFile("f\\b.txt");
    guarded.fileSystem.guarded.insert(foreign);

    DeleteFolderFiles(guarded.platform, folder, true);
    EXPECT_TRUE(TempFolder::Exists(foreign));
    EXPECT_FALSE(TempFolder::Exists(temp / "f\\b.txt"));
    EXPECT_TRUE(guarded.security.grants.empty());
    EXPECT_TRUE(TempFolder::Exists(folder));  // not empty, so not removed
}

TEST(DeleteFolderFiles, ListingWithoutDotEntriesSparesNoFile) {
    GuardedPlatform guarded;
    guarded.fileSystem.listsDotEntries = false;  // as a drive's root lists itself
    TempFolder temp;
    const std::string folder = temp.MakeFolder("root");
    temp.MakeFile("root\\first.txt");
    temp.MakeFile("root\\second.txt");
    DeleteFolderFiles(guarded.platform, folder, true);
    EXPECT_FALSE(TempFolder::Exists(folder));
}

TEST(DeleteFolderFiles, NamesAndLinksNeverLeadOutOfTheFolder) {
    MemoryPlatform memory;
    TempFolder temp;
    const std::string folder = temp.MakeFolder("f");
    const std::string victim = temp.MakeFile("victim.txt");
    const std::string target = temp.MakeFile("outside\\target.txt");
    // On this file system a name may hold a backslash, which the platform
    // path would take as a step up and out.
    std::ofstream(PosixFileSystem::LocalPath(folder) + "/..\\victim.txt") << "x";
    std::filesystem::create_symlink(PosixFileSystem::LocalPath(target),
                                    PosixFileSystem::LocalPath(folder) + "/link.txt");

    DeleteFolderFiles(memory, folder, false);
    EXPECT_TRUE(TempFolder::Exists(victim));
    EXPECT_TRUE(TempFolder::Exists(target));
    EXPECT_FALSE(std::filesystem::is_symlink(PosixFileSystem::LocalPath(folder) + "/link.txt"));
}

TEST(ClearStoreFolders, TakeTheFirstStoreThatExistsAndPassOverLinkedSubfolders) {
    GuardedPlatform guarded;
    TempFolder home;
    guarded.memory.shell.SetSpecialFolder(SpecialFolder::History, home / "History");
    const std::string index = home.MakeFile("History\\History.IE5\\index.dat");
    const std::string topIndex = home.MakeFile("History\\index.dat");
    home.MakeFile("History\\History.IE5\\MSHist01\\index.dat");
    const std::string junctionFile = home.MakeFile("History\\History.IE5\\Junction\\elsewhere.dat");
    guarded.fileSystem.reparsePoints.insert("Junction");
    guarded.fileSystem.listsDotEntries = false;
    // A real link to a folder elsewhere, listed as a link, not as a folder.
    const std::string outside = home.MakeFile("Documents\\letter.doc");
    std::filesystem::create_directory_symlink(
        PosixFileSystem::LocalPath(home / "Documents"),
        PosixFileSystem::LocalPath(home / "History\\History.IE5\\Docs"));

    ClearHistoryFolders(guarded.platform);
    EXPECT_FALSE(TempFolder::Exists(home / "History\\History.IE5\\MSHist01"));
    EXPECT_TRUE(TempFolder::Exists(index));
    EXPECT_TRUE(TempFolder::Exists(topIndex));
    EXPECT_TRUE(TempFolder::Exists(junctionFile));
    EXPECT_TRUE(TempFolder::Exists(outside));

    // Without any store folder nothing is touched.
    guarded.memory.shell.SetSpecialFolder(SpecialFolder::InternetCache, home / "History");
    guarded.fileSystem.deleteCalls.clear();
    ClearCacheFolders(guarded.platform);
    EXPECT_TRUE(guarded.fileSystem.deleteCalls.empty());
}

}  // namespace
}  // namespace qm
