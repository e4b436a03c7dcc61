// The search dialog under Wine: searches real temporary trees on a thread of
// its own, with its status line, its message, and OK or Cancel while a
// search is still under way. What a search finds, in which order, and when
// the message is due is decided in records/index_file_location.h and tested
// there.
#include <gtest/gtest.h>

#include <cstdio>

#include "records/win32/index_file_dialogs.h"
#include "resources/index_file_ids.h"
#include "tests/records/win32/index_dialog_driver.h"

namespace qm::test {
namespace {

constexpr DWORD kSearchTimeoutMs = 10000;

class IndexFileSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tree_.valid()); }

    std::optional<std::string> Run() {
        return RunIndexFileSearch(module_, owner_.owner(), test_.platform,
                                  [this] { return fileSystem_.ForSearchThread(); });
    }

    static std::string Status(HWND dialog) {
        return WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_STATUS));
    }

    // A tree with one index file in each of `folders` folders.
    void MakeWideTree(std::string_view top, int folders) {
        for (int folder = 0; folder < folders; ++folder) {
            char name[32];
            std::snprintf(name, sizeof(name), "f%03d\\index.dat", folder);
            tree_.MakeFile(std::string(top) + "\\" + name);
        }
    }

    TempFolder tree_;
    SearchFileSystem fileSystem_;     // what the searches list with
    SearchFileSystem platformFiles_;  // the dialog's platform, which they leave alone
    TestPlatform test_{platformFiles_};
    DialogDriver owner_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

TEST_F(IndexFileSearchTest, SearchesAppendTheirRowsOnlyAnEmptyListWarnsAndOkTakesTheClickedRow) {
    tree_.MakeFile("Top\\a\\b\\INDEX.DAT");
    tree_.MakeFile("Top\\a\\index.dat");
    tree_.MakeFile("Top\\c\\index_dat");
    tree_.MakeFolder("Empty");
    test_.shell.folders[SpecialFolder::Profile] = tree_.Path();
    const std::vector<std::string> top{tree_.Path("Top\\a\\b\\INDEX.DAT"), tree_.Path("Top\\a\\index.dat")};
    std::vector<std::string> twice = top;
    twice.insert(twice.end(), top.begin(), top.end());
    const struct {
        const char* folder;
        std::vector<std::string> rows;
        std::size_t messages;
    } searches[] = {
        {"Empty", {}, 1},
        {"Top", top, 1},
        {"Empty", top, 1},  // the earlier rows stay and keep the message away
        {"Top", twice, 1},
    };
    for (const auto& search : searches) test_.prompts.QueueFolder(tree_.Path(search.folder));

    owner_.Script({[&](HWND dialog) {
                       EXPECT_EQ(WindowText(dialog), "Search");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_BROWSE)), "Browse");
                       EXPECT_EQ(Status(dialog), "");
                       for (std::size_t row = 0; row < std::size(searches); ++row) {
                           Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
                           // The search reports back through the dialog's
                           // own messages, none of which has been handled yet.
                           EXPECT_EQ(Status(dialog), "Searching...") << "search " << row;
                           ASSERT_TRUE(PumpUntil([dialog] { return Status(dialog).empty(); }, kSearchTimeoutMs))
                               << "search " << row;
                           EXPECT_EQ(ListRows(dialog), searches[row].rows) << "search " << row;
                           EXPECT_EQ(test_.prompts.messages.size(), searches[row].messages) << "search " << row;
                       }
                       // A cancelled folder browser starts nothing.
                       Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
                       EXPECT_EQ(Status(dialog), "");
                       ClickRow(dialog, 1);
                   },
                   [](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(Run(), top[1]);
    EXPECT_FALSE(owner_.ranOut());
    EXPECT_EQ(test_.prompts.messages, std::vector<std::string>{"Selected folder does not contain index.dat files"});
    EXPECT_EQ(test_.prompts.icons, std::vector<MessageIcon>{MessageIcon::Warning});
    EXPECT_EQ(test_.prompts.browseTitles.size(), std::size(searches) + 1);
    EXPECT_EQ(test_.prompts.browseStarts.front(), tree_.Path());  // the user's profile
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
    // The thread was waited for: no listing is under way, and it stopped
    // before the end of the tree.
    EXPECT_EQ(fileSystem_.listingsUnderWay(), 0);
    EXPECT_LT(fileSystem_.listings(), kFolders + 1);
    EXPECT_TRUE(test_.prompts.messages.empty());
}

TEST_F(IndexFileSearchTest, CancelLetsAStuckSearchGoAndItFinishesAlone) {
    MakeWideTree("Stuck", 3);
    test_.prompts.QueueFolder(tree_.Path("Stuck"));
    fileSystem_.CloseGate();  // the first listing does not return until the gate opens

    owner_.Script({[&](HWND dialog) {
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        ASSERT_TRUE(PumpUntil([this] { return fileSystem_.listingsUnderWay() == 1; }, kSearchTimeoutMs));
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Run(), std::nullopt);
    // The dialog ended while its search was still held up.
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
