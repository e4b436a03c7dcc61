// The search dialog under Wine: searches over real temporary trees on the
// dialog's own thread, with its status line, its message, and OK or Cancel
// while a search is still under way.
#include <gtest/gtest.h>

#include <cstdio>

#include "records/win32/index_file_dialogs.h"
#include "resources/index_file_ids.h"
#include "tests/records/win32/index_dialog_driver.h"

namespace qm::test {
namespace {

constexpr char kNothingFound[] = "Selected folder does not contain index.dat files";
constexpr DWORD kSearchTimeoutMs = 10000;

class IndexFileSearchTest : public ::testing::Test {
protected:
    std::optional<std::string> Run() {
        return RunIndexFileSearch(module_, owner_.owner(), test_.platform,
                                  [this] { return fileSystem_.ForSearchThread(); });
    }

    static std::string Status(HWND dialog) {
        return WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_STATUS));
    }
    static bool WaitForSearchEnd(HWND dialog) {
        return PumpUntil([dialog] { return Status(dialog).empty(); }, kSearchTimeoutMs);
    }

    // A tree with one index file in each of `folders` folders.
    void MakeWideTree(std::string_view top, int folders) {
        for (int folder = 0; folder < folders; ++folder) {
            char name[32];
            std::snprintf(name, sizeof(name), "f%03d\\index.dat", folder);
            tree_.MakeFile(std::string(top) + "\\" + name);
        }
    }

    TempTree tree_;
    SearchFileSystem fileSystem_;    // what the searches list with
    SearchFileSystem platformFiles_;  // the dialog's platform, which they leave alone
    TestPlatform test_{platformFiles_};
    DialogDriver owner_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

TEST_F(IndexFileSearchTest, FindsIndexFilesDepthFirstShowingSearchingMeanwhileAndOkTakesTheSelectedRow) {
    tree_.MakeFile("Top\\a\\b\\INDEX.DAT");
    tree_.MakeFile("Top\\a\\index.dat");
    tree_.MakeFile("Top\\c\\index.dat.bak");
    tree_.MakeFile("Top\\c\\index_dat");
    tree_.MakeFile("Top\\d\\notes.txt");
    tree_.MakeFile("Top\\index.dat.old\\readme.txt");
    test_.shell.folders[SpecialFolder::Profile] = tree_.Path();
    test_.prompts.QueueFolder(tree_.Path("Top"));
    const std::vector<std::string> expected{
        tree_.Path("Top\\a\\b\\INDEX.DAT"), tree_.Path("Top\\a\\index.dat"),
        tree_.Path("Top\\c\\index.dat.bak"), tree_.Path("Top\\index.dat.old\\readme.txt")};

    owner_.Script({[&](HWND dialog) {
                       EXPECT_EQ(WindowText(dialog), "Search");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_BROWSE)), "Browse");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), "OK");
                       ASSERT_NE(GetDlgItem(dialog, IDC_QM_INDEX_FILE_STATUS), nullptr);
                       EXPECT_EQ(Status(dialog), "");
                       ASSERT_NE(DialogList(dialog), nullptr);
                       EXPECT_TRUE(ListRows(dialog).empty());

                       Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
                       // The search reports back through the dialog's own
                       // messages, none of which has been handled yet.
                       EXPECT_EQ(Status(dialog), "Searching...");
                       ASSERT_TRUE(WaitForSearchEnd(dialog));
                       EXPECT_EQ(ListRows(dialog), expected);
                       EXPECT_TRUE(DialogList(dialog)->model().SelectedRows().empty());
                       ClickRow(dialog, 1);
                   },
                   [](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(Run(), expected[1]);
    EXPECT_FALSE(owner_.ranOut());
    EXPECT_EQ(test_.prompts.browseTitles, std::vector<std::string>{"Please select a folder to search:"});
    EXPECT_EQ(test_.prompts.browseStarts, std::vector<std::string>{tree_.Path()});  // the user's profile
    EXPECT_TRUE(test_.prompts.messages.empty());
}

TEST_F(IndexFileSearchTest, AnEmptySearchWarnsOnlyWhileTheListIsEmptyAndLaterSearchesAppend) {
    tree_.MakeFolder("Empty\\Sub");
    tree_.MakeFile("Empty\\Sub\\index_dat");
    tree_.MakeFile("One\\index.dat");
    test_.prompts.QueueFolder(tree_.Path("Empty"));
    test_.prompts.QueueFolder(tree_.Path("One"));
    test_.prompts.QueueFolder(tree_.Path("Empty"));
    test_.prompts.QueueFolder(tree_.Path("Missing"));
    test_.prompts.QueueFolder(tree_.Path("One"));

    owner_.Script({[&](HWND dialog) {
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(WaitForSearchEnd(dialog));
        EXPECT_TRUE(ListRows(dialog).empty());
        EXPECT_EQ(test_.prompts.messages, std::vector<std::string>{kNothingFound});
        EXPECT_EQ(test_.prompts.icons, std::vector<MessageIcon>{MessageIcon::Warning});

        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(WaitForSearchEnd(dialog));
        EXPECT_EQ(ListRows(dialog), std::vector<std::string>{tree_.Path("One\\index.dat")});

        // Nothing found, and a folder that cannot be listed: the earlier
        // rows stay and keep the message away.
        for (int search = 0; search < 2; ++search) {
            Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
            ASSERT_TRUE(WaitForSearchEnd(dialog));
        }
        EXPECT_EQ(ListRows(dialog).size(), 1u);

        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(WaitForSearchEnd(dialog));
        EXPECT_EQ(ListRows(dialog), std::vector<std::string>(2, tree_.Path("One\\index.dat")));

        // A cancelled folder browser starts nothing.
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(Status(dialog), "");
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Run(), std::nullopt);
    EXPECT_EQ(test_.prompts.messages, std::vector<std::string>{kNothingFound});
    EXPECT_EQ(test_.prompts.browseTitles.size(), 6u);
}

TEST_F(IndexFileSearchTest, OkWhileSearchingStopsTheSearchBeforeTheDialogEndsAndBrowseWaits) {
    constexpr int kFolders = 60;
    MakeWideTree("Wide", kFolders);
    fileSystem_.SetDelay(25);  // each listing: a full search takes over 1.5 s
    test_.prompts.QueueFolder(tree_.Path("Wide"));
    test_.prompts.QueueFolder(tree_.Path("Wide"));

    owner_.Script({[&](HWND dialog) {
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(PumpUntil([dialog] { return ListRows(dialog).size() >= 2; }, kSearchTimeoutMs));
        EXPECT_EQ(Status(dialog), "Searching...");
        // Browse is ignored while a search runs: no folder browser.
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(test_.prompts.browseTitles.size(), 1u);
        ClickRow(dialog, 0);
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Run(), tree_.Path("Wide\\f000\\index.dat"));
    EXPECT_FALSE(owner_.ranOut());
    // The thread was waited for: no listing is under way, none follows.
    EXPECT_EQ(fileSystem_.listingsUnderWay(), 0);
    const int listings = fileSystem_.listings();
    EXPECT_LT(listings, kFolders + 1);
    Sleep(200);
    EXPECT_EQ(fileSystem_.listings(), listings);
    EXPECT_TRUE(test_.prompts.messages.empty());
}

TEST_F(IndexFileSearchTest, CancelGivesAStuckSearchOneSecondThenLetsItFinishAlone) {
    MakeWideTree("Stuck", 3);
    test_.prompts.QueueFolder(tree_.Path("Stuck"));
    fileSystem_.CloseGate();  // the first listing does not return until the gate opens
    ULONGLONG cancelMs = 0;

    owner_.Script({[&](HWND dialog) {
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(PumpUntil([this] { return fileSystem_.listingsUnderWay() == 1; }, kSearchTimeoutMs));
        const ULONGLONG start = GetTickCount64();
        Click(dialog, IDCANCEL);
        cancelMs = GetTickCount64() - start;
    }});
    EXPECT_EQ(Run(), std::nullopt);
    // The bound, and not the 10 s the listing is held up; hiding the dialog
    // adds up to 2 s under a display without a window manager.
    EXPECT_GE(cancelMs, kSearchStopWaitMs - 50);
    EXPECT_LT(cancelMs, kSearchStopWaitMs + 4000);
    EXPECT_EQ(fileSystem_.listingsUnderWay(), 1);

    // The search goes on alone: its listing returns, it sees the cleared
    // flag and ends without another listing, and without a dialog to tell.
    fileSystem_.OpenGate();
    EXPECT_TRUE(PumpUntil([this] { return fileSystem_.listingsUnderWay() == 0; }, kSearchTimeoutMs));
    Sleep(100);
    EXPECT_EQ(fileSystem_.listings(), 1);
    EXPECT_TRUE(test_.prompts.messages.empty());
    // It listed with a file system of its own, never the one the dialog
    // was lent, which may be gone by now.
    EXPECT_EQ(platformFiles_.listings(), 0);
}

}  // namespace
}  // namespace qm::test
