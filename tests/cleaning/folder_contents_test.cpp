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
    EXPECT_TRUE(memory.fileSecurity.calls().empty());
}

TEST(DeleteFolderFiles, RemovesAnEmptiedFolderOnlyWhenAsked) {
    MemoryPlatform memory;
    TempFolder temp;
    const std::string kept = temp.MakeFolder("kept");
    temp.MakeFile("kept\\a.txt");
    const std::string removed = temp.MakeFolder("removed");
    temp.MakeFile("removed\\a.txt");
    MakeReadOnly(removed);  // a read-only folder is made writable first

    const std::string full = temp.MakeFolder("full");
    temp.MakeFolder("full\\sub");
    MakeReadOnly(full);

    DeleteFolderFiles(memory, kept, false);
    DeleteFolderFiles(memory, removed, true);
    DeleteFolderFiles(memory, full, true);
    // A folder that stays keeps its read-only attribute.
    EXPECT_EQ(memory.fileSystem.GetAttributes(full), file_attribute::kDirectory | file_attribute::kReadOnly);
    EXPECT_TRUE(TempFolder::Exists(kept));
    EXPECT_FALSE(TempFolder::Exists(temp / "kept\\a.txt"));
    EXPECT_FALSE(TempFolder::Exists(removed));

    DeleteFolderFiles(memory, temp / "missing", true);  // no folder: nothing happens
    EXPECT_FALSE(TempFolder::Exists(temp / "missing"));
}

TEST(DeleteFolderFiles, OnlyARefusedFileIsTakenOverAndAFileThatStaysGetsBackWhatItHad) {
    const MemoryFileSecurityState foreign{"S-1-5-21-2000", "D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;ID;FR;;;WD)"};
    enum class Answer { Deletes, InUse, RefusedUntilTakenOver, RefusedForGood };
    struct Case {
        const char* name;
        Answer answer;
        bool securityUnreadable;
        bool deleted;
        std::vector<std::string> calls;  // without the path
        MemoryFileSecurityState after;   // of a file that stays
    };
    const Case cases[] = {
        {"plain file", Answer::Deletes, false, true, {}, {}},
        // The cookie store's open index file: its owner and access list stay.
        {"file in use", Answer::InUse, false, false, {}, foreign},
        {"refused file", Answer::RefusedUntilTakenOver, false, true, {"save", "take", "grant"}, {}},
        {"file refused after the takeover",
         Answer::RefusedForGood,
         false,
         false,
         {"save", "take", "grant", "restore"},
         foreign},
        // What cannot be put back is not taken.
        {"file whose security cannot be read", Answer::RefusedForGood, true, false, {"save"}, foreign},
    };
    for (const Case& c : cases) {
        GuardedPlatform guarded;
        TempFolder temp;
        const std::string folder = temp.MakeFolder("f");
        const std::string file = temp.MakeFile("f\\index.dat");
        MakeReadOnly(file);
        guarded.memory.fileSecurity.Set(file, foreign);
        guarded.memory.fileSecurity.SetFails(c.securityUnreadable);
        if (c.answer == Answer::InUse) guarded.fileSystem.inUse.insert(file);
        if (c.answer == Answer::RefusedUntilTakenOver) guarded.fileSystem.guarded.insert(file);
        if (c.answer == Answer::RefusedForGood) guarded.fileSystem.refused.insert(file);

        DeleteFolderFiles(guarded.platform, folder, false);
        EXPECT_EQ(TempFolder::Exists(file), !c.deleted) << c.name;
        std::vector<std::string> calls;
        for (const std::string& call : guarded.memory.fileSecurity.calls())
            calls.push_back(call.substr(0, call.find(' ')));
        EXPECT_EQ(calls, c.calls) << c.name;
        if (c.deleted) continue;
        EXPECT_EQ(guarded.memory.fileSecurity.Of(file), c.after) << c.name;
        EXPECT_EQ(guarded.fileSystem.GetAttributes(file),
                  file_attribute::kArchive | file_attribute::kReadOnly)
            << c.name;
    }
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
