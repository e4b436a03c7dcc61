#include "records/index_file_location.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "platform/memory/memory_platform.h"
#include "tests/records/index/temp_folder.h"

namespace qm {
namespace {

using ::testing::_;
using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A user's folders below a temporary root, named as the platform names
// them: Users\me\History, Users\me\Cookies, Users\me\Cache.
class IndexFileLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        memory_.shell.SetSpecialFolder(SpecialFolder::History, Path("Users\\me\\History"));
        memory_.shell.SetSpecialFolder(SpecialFolder::Cookies, Path("Users\\me\\Cookies"));
        memory_.shell.SetSpecialFolder(SpecialFolder::InternetCache, Path("Users\\me\\Cache"));
        folder_.MakeFolder("Users\\me\\History");
        folder_.MakeFolder("Users\\me\\Cookies");
        folder_.MakeFolder("Users\\me\\Cache");
    }

    std::string Path(std::string_view relative) const { return folder_.Path(relative); }
    std::vector<std::string> Rows(RecordKind kind) {
        return IndexFileChooserRows(kind, memory_.shell, memory_.fileSystem);
    }
    std::optional<std::string> Browse(RecordKind kind, std::optional<std::string> chosen,
                                      const std::vector<std::string>& rows = {}) {
        memory_.prompts.QueueFolder(std::move(chosen));
        return BrowseForIndexFile(kind, memory_.shell, memory_.fileSystem, memory_.prompts, rows);
    }

    test::TempFolder folder_;
    MemoryPlatform memory_;
};

TEST_F(IndexFileLocationTest, HistoryTakesTheFirstCandidateThenTheIndexFilesBesideIt) {
    folder_.MakeFile("Users\\me\\History\\History.IE5\\index.dat");
    folder_.MakeFile("Users\\me\\History\\History.IE4\\index.dat");  // a later candidate
    folder_.MakeFile("Users\\me\\History\\History.IE5\\MSHist012019\\index.dat");
    folder_.MakeFile("Users\\me\\History\\History.IE5\\b-week\\index.dat");
    folder_.MakeFolder("Users\\me\\History\\History.IE5\\Empty");
    folder_.MakeFolder("Users\\me\\History\\History.IE5\\Folder\\index.dat");  // cannot be opened
    folder_.MakeFile("Users\\me\\History\\History.IE5\\desktop.ini");

    const std::string ie5 = Path("Users\\me\\History\\History.IE5\\");
    EXPECT_THAT(Rows(RecordKind::History),
                ElementsAre(ie5 + "index.dat", ie5 + "b-week\\index.dat", ie5 + "MSHist012019\\index.dat"));
}

TEST_F(IndexFileLocationTest, HistoryWithoutACandidateScansTheParentOfItsFolder) {
    folder_.MakeFile("Users\\index.dat");  // found through ".."
    folder_.MakeFile("Users\\me\\Other\\index.dat");
    folder_.MakeFile("Users\\me\\History\\Deeper\\index.dat");  // not a candidate, not beside

    const std::string me = Path("Users\\me\\");
    EXPECT_THAT(Rows(RecordKind::History), ElementsAre(me + "..\\index.dat", me + "Other\\index.dat"));
}

TEST_F(IndexFileLocationTest, CandidatesAreTriedInOrder) {
    folder_.MakeFile("Users\\me\\History\\History.IE3\\index.dat");
    folder_.MakeFile("Users\\me\\History\\History.IE6\\index.dat");
    EXPECT_EQ(FirstExistingCandidate(memory_.fileSystem, RecordKind::History, Path("Users\\me\\History")),
              Path("Users\\me\\History\\History.IE6\\index.dat"));
    folder_.MakeFile("Users\\me\\History\\index.dat");
    EXPECT_EQ(FirstExistingCandidate(memory_.fileSystem, RecordKind::History, Path("Users\\me\\History")),
              Path("Users\\me\\History\\index.dat"));

    folder_.MakeFile("Users\\me\\Cache\\Content.IE4\\index.dat");
    folder_.MakeFile("Users\\me\\Cache\\Content.IE5\\index.dat");
    EXPECT_THAT(Rows(RecordKind::Cache), ElementsAre(Path("Users\\me\\Cache\\Content.IE5\\index.dat")));
}

TEST_F(IndexFileLocationTest, CookiesAndCacheListOnlyTheirOwnFileAndNothingWithoutTheirFolder) {
    MemoryPlatform bare;
    EXPECT_THAT(IndexFileChooserRows(RecordKind::History, bare.shell, bare.fileSystem), IsEmpty());
    EXPECT_THAT(Rows(RecordKind::Cookies), IsEmpty());
    EXPECT_THAT(Rows(RecordKind::Cache), IsEmpty());
    folder_.MakeFile("Users\\me\\Cookies\\index.dat");
    folder_.MakeFile("Users\\me\\Cookies\\Low\\index.dat");
    EXPECT_THAT(Rows(RecordKind::Cookies), ElementsAre(Path("Users\\me\\Cookies\\index.dat")));
}

TEST_F(IndexFileLocationTest, CookieBrowseFallsBackToTheCookiesSubfolderAndAddsAPathOnce) {
    folder_.MakeFile("Backup\\Cookies\\index.dat");
    const std::string expected = Path("Backup\\Cookies\\index.dat");
    EXPECT_EQ(Browse(RecordKind::Cookies, Path("Backup")), expected);
    EXPECT_EQ(Browse(RecordKind::Cookies, Path("Backup"), {expected}), std::nullopt);
    // The comparison is exact: another spelling of the same file is a new row.
    EXPECT_EQ(Browse(RecordKind::Cookies, Path("Backup"), {Path("backup\\Cookies\\index.dat")}), expected);

    folder_.MakeFile("Backup\\index.dat");
    EXPECT_EQ(Browse(RecordKind::Cookies, Path("Backup"), {expected}), Path("Backup\\index.dat"));
    EXPECT_EQ(Browse(RecordKind::Cookies, Path("Nowhere")), std::nullopt);
    EXPECT_THAT(memory_.prompts.messages(), IsEmpty());
    EXPECT_THAT(memory_.prompts.folderTitles(), Contains("Please select Cookies folder:"));
}

TEST_F(IndexFileLocationTest, HistoryAndCacheBrowseNeedAFileThatCanBeOpened) {
    folder_.MakeFolder("Old\\Empty");
    EXPECT_EQ(Browse(RecordKind::Cache, Path("Old\\Empty")), std::nullopt);

    folder_.MakeFile("Old\\Profile\\History.IE5\\index.dat");
    folder_.MakeFile("Old\\Profile\\Content.IE5\\index.dat");
    EXPECT_EQ(Browse(RecordKind::History, Path("Old\\Profile")),
              Path("Old\\Profile\\History.IE5\\index.dat"));
    EXPECT_EQ(Browse(RecordKind::Cache, Path("Old\\Profile")), Path("Old\\Profile\\Content.IE5\\index.dat"));

    // A candidate that exists as a folder is taken, and then cannot be opened.
    folder_.MakeFolder("Odd\\index.dat");
    folder_.MakeFile("Odd\\History.IE5\\index.dat");
    EXPECT_EQ(Browse(RecordKind::History, Path("Odd")), std::nullopt);

    EXPECT_EQ(Browse(RecordKind::History, std::nullopt), std::nullopt);  // the user cancelled
    EXPECT_THAT(memory_.prompts.folderTitles(),
                ElementsAre("Please select a folder where the Browser Cache files are located:", _, _, _,
                            "Please select a folder where the History files are located:"));
}

TEST_F(IndexFileLocationTest, BrowseWithoutTheDefaultFolderSaysSoAndGoesOn) {
    MemoryPlatform bare;
    folder_.MakeFile("Found\\index.dat");
    const std::vector<std::string> noRows;
    for (RecordKind kind : {RecordKind::History, RecordKind::Cookies, RecordKind::Cache}) {
        bare.prompts.QueueFolder(Path("Found"));
        EXPECT_EQ(BrowseForIndexFile(kind, bare.shell, bare.fileSystem, bare.prompts, noRows),
                  Path("Found\\index.dat"));
    }
    EXPECT_THAT(bare.prompts.messages(),
                ElementsAre("Default History folder is not found.", "Default Cookie folder is not found.",
                            "Default Temporary Internet Files folder is not found."));
    EXPECT_THAT(bare.prompts.messageIcons(), Each(MessageIcon::None));
    EXPECT_TRUE(IndexFileChooserBrowseRequest(RecordKind::History, bare.shell).initialFolder.empty());
    EXPECT_EQ(IndexFileChooserBrowseRequest(RecordKind::History, memory_.shell).initialFolder,
              Path("Users\\me\\History"));
}

TEST(IndexFileChooser, KindTextsCaptionAndPaths) {
    EXPECT_EQ(IndexFileKindFromText("HISTORY"), RecordKind::History);
    EXPECT_EQ(IndexFileKindFromText("COOKIE"), RecordKind::Cookies);
    EXPECT_EQ(IndexFileKindFromText("CACHE"), RecordKind::Cache);
    EXPECT_EQ(IndexFileKindFromText("history"), std::nullopt);
    EXPECT_EQ(IndexFileKindFromText("COOKIES"), std::nullopt);
    EXPECT_EQ(IndexFileKindText(RecordKind::Cookies), "COOKIE");
    EXPECT_EQ(IndexFileChooserCaption(RecordKind::Cookies), "Select Cookies index.dat file");
    // A folder ending in its separator does not get a second one.
    EXPECT_EQ(AppendToFolder("D:\\", "\\index.dat"), "D:\\index.dat");
    EXPECT_EQ(AppendToFolder("D:\\Old", "\\index.dat"), "D:\\Old\\index.dat");
    EXPECT_EQ(AppendToFolder("", "\\index.dat"), "\\index.dat");
    EXPECT_EQ(IndexFileColumnWidth(300, 17), 281);
    EXPECT_EQ(IndexFileColumnWidth(10, 17), 0);
}

// ---- The search ----

TEST(IndexFilePath, AnyPathHoldingIndexDatInAnyCase) {
    for (std::string_view path : {"C:\\x\\index.dat", "C:\\x\\INDEX.DAT", "C:\\x\\index.dat.bak",
                                  "C:\\index.dat.old\\readme.txt", "C:\\x\\oldIndex.DAtx"})
        EXPECT_TRUE(IsIndexFilePath(path)) << path;
    for (std::string_view path : {"C:\\x\\index_dat", "C:\\x\\index.da", ""})
        EXPECT_FALSE(IsIndexFilePath(path)) << path;
}

class IndexFileSearchTest : public ::testing::Test {
protected:
    std::vector<std::string> Search(std::string_view folder, std::atomic<bool>& keepSearching) {
        std::vector<std::string> found;
        SearchFolder(memory_.fileSystem, folder, keepSearching,
                     [&](const std::string& path) { found.push_back(path); });
        return found;
    }
    std::vector<std::string> Search(std::string_view folder) {
        std::atomic<bool> keepSearching{true};
        return Search(folder, keepSearching);
    }

    test::TempFolder folder_;
    MemoryPlatform memory_;
};

TEST_F(IndexFileSearchTest, WalksDepthFirstInListingOrder) {
    folder_.MakeFile("a\\index.dat");
    folder_.MakeFile("a\\deep\\er\\INDEX.DAT");
    folder_.MakeFile("a\\z.txt");
    folder_.MakeFile("B\\index.dat.bak");
    folder_.MakeFile("B\\index_dat");
    folder_.MakeFile("index.dat.old\\notes.txt");  // below a folder named like an index file
    folder_.MakeFile("index.dat");
    folder_.MakeFolder("index.dat2");  // a folder is never reported itself

    const std::string root = folder_.Path();
    EXPECT_THAT(Search(root), ElementsAre(root + "\\a\\deep\\er\\INDEX.DAT", root + "\\a\\index.dat",
                                          root + "\\B\\index.dat.bak", root + "\\index.dat",
                                          root + "\\index.dat.old\\notes.txt"));
    EXPECT_THAT(Search(folder_.Path("missing")), IsEmpty());
    // The folder may end in its separator.
    EXPECT_THAT(Search(root + "\\a\\deep\\"), ElementsAre(root + "\\a\\deep\\er\\INDEX.DAT"));
}

// A junction or a folder link is listed as a folder that is also a reparse
// point, and the walk never enters it.
TEST_F(IndexFileSearchTest, NeverEntersALinkBackToItsParent) {
    folder_.MakeFile("Profile\\a\\index.dat");
    std::filesystem::create_directory_symlink(folder_.Local("Profile"), folder_.Local("Profile\\a\\back"));
    EXPECT_THAT(Search(folder_.Path("Profile")), ElementsAre(folder_.Path("Profile\\a\\index.dat")));
}

TEST_F(IndexFileSearchTest, PassesOverPathsLongerThan259Characters) {
    const std::string root = folder_.Path();
    // Names that bring full paths to exactly 259 and 260 characters.
    const std::string fits = std::string(259 - root.size() - 1 - 10, 'f') + "\\index.dat";
    const std::string tooLong = std::string(260 - root.size() - 1 - 10, 'g') + "\\index.dat";
    ASSERT_EQ((root + "\\" + fits).size(), 259u);
    ASSERT_EQ((root + "\\" + tooLong).size(), 260u);
    folder_.MakeFile(fits);
    folder_.MakeFile(tooLong);
    EXPECT_THAT(Search(root), ElementsAre(root + "\\" + fits));
}

TEST_F(IndexFileSearchTest, StopsAtTheNextEntryOnceTheFlagIsCleared) {
    folder_.MakeFile("a\\index.dat");
    folder_.MakeFile("a\\sub\\index.dat");
    folder_.MakeFile("b\\index.dat");
    folder_.MakeFile("index.dat");

    std::atomic<bool> keepSearching{false};
    EXPECT_THAT(Search(folder_.Path(), keepSearching), IsEmpty());

    // Cleared while the walk is deep inside a\: nothing more is reported,
    // neither in a\ nor in the folders above it.
    keepSearching = true;
    std::vector<std::string> found;
    SearchFolder(memory_.fileSystem, folder_.Path(), keepSearching, [&](const std::string& path) {
        found.push_back(path);
        keepSearching = false;
    });
    EXPECT_THAT(found, ElementsAre(folder_.Path("a\\index.dat")));
}

TEST(IndexFileSearchDialog, EndMessageOnlyForAnEmptyListAndBrowseFromTheProfile) {
    EXPECT_EQ(SearchEndMessage(0), "Selected folder does not contain index.dat files");
    // Rows of an earlier search count: then nothing is said.
    EXPECT_EQ(SearchEndMessage(3), std::nullopt);

    MemoryShell shell;
    shell.SetSpecialFolder(SpecialFolder::Profile, "C:\\Users\\me");
    const FolderBrowseRequest request = IndexFileSearchBrowseRequest(shell);
    EXPECT_EQ(request.initialFolder, "C:\\Users\\me");
    EXPECT_EQ(request.title, "Please select a folder to search:");
    EXPECT_FALSE(request.message.has_value());
}

}  // namespace
}  // namespace qm
