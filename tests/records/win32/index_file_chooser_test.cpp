// The chooser of a kind's default index files under Wine: opened over a test
// owner on real folders, driven with messages.
#include <gtest/gtest.h>

#include "records/win32/index_file_dialogs.h"
#include "resources/index_file_ids.h"
#include "tests/records/win32/index_dialog_driver.h"

namespace qm::test {
namespace {

class IndexFileChooserTest : public ::testing::Test {
protected:
    std::optional<std::string> Run(RecordKind kind) {
        return RunIndexFileChooser(module_, owner_.owner(), test_.platform, kind);
    }

    TempTree tree_;
    Win32FileSystem fileSystem_;
    TestPlatform test_{fileSystem_};
    DialogDriver owner_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

TEST_F(IndexFileChooserTest, HistoryListsTheFirstCandidateThenTheIndexFilesBesideItAndOkTakesTheSelectedRow) {
    tree_.MakeFile("History\\History.IE5\\index.dat");
    tree_.MakeFile("History\\History.IE5\\MSHist01\\index.dat");
    tree_.MakeFile("History\\History.IE5\\MSHist02\\index.dat");
    tree_.MakeFolder("History\\History.IE5\\Empty");
    tree_.MakeFile("History\\History.IE4\\index.dat");  // a later candidate: not taken
    test_.shell.folders[SpecialFolder::History] = tree_.Path("History");
    const std::vector<std::string> expected{tree_.Path("History\\History.IE5\\index.dat"),
                                            tree_.Path("History\\History.IE5\\MSHist01\\index.dat"),
                                            tree_.Path("History\\History.IE5\\MSHist02\\index.dat")};

    owner_.Script({[&](HWND dialog) {
                       EXPECT_EQ(WindowText(dialog), "Select History index.dat file");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_BROWSE)), "Browse");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), "OK");
                       EXPECT_EQ(GetDlgItem(dialog, IDC_QM_INDEX_FILE_STATUS), nullptr);
                       ListCtrl* list = DialogList(dialog);
                       ASSERT_NE(list, nullptr) << "the placeholder is still there";
                       EXPECT_TRUE(IsWindowVisible(list->window()));
                       EXPECT_EQ(FindWindowExA(dialog, nullptr, "ListBox", nullptr), nullptr);
                       ASSERT_EQ(list->model().ColumnCount(), 1);
                       const ListColumn* column = list->model().GetColumn(0);
                       ASSERT_NE(column, nullptr);
                       EXPECT_EQ(column->title, "File");
                       EXPECT_EQ(column->format, 0);
                       // The list took the placeholder's place and size; its
                       // column is as wide as the placeholder's client area
                       // less a scroll bar and 2 pixels.
                       const RECT placeholder = PlaceholderArea(module_, IDD_QM_INDEX_FILE_CHOOSER);
                       RECT area{};
                       GetWindowRect(list->window(), &area);
                       MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
                       EXPECT_EQ(area.left, placeholder.left);
                       EXPECT_EQ(area.top, placeholder.top);
                       EXPECT_EQ(area.right, placeholder.right);
                       EXPECT_EQ(area.bottom, placeholder.bottom);
                       EXPECT_EQ(column->width, PlaceholderClientWidth(module_, IDD_QM_INDEX_FILE_CHOOSER) -
                                                    GetSystemMetrics(SM_CXVSCROLL) - 2);
                       EXPECT_GT(column->width, 0);
                       EXPECT_EQ(ListRows(dialog), expected);
                       EXPECT_EQ(list->model().SelectedRows(), std::vector<int>{0});
                       ClickRow(dialog, 2);
                       EXPECT_EQ(list->model().SelectedRows(), std::vector<int>{2});
                   },
                   [](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(Run(RecordKind::History), expected[2]);
    EXPECT_FALSE(owner_.ranOut());
    EXPECT_TRUE(test_.prompts.messages.empty());
}

TEST_F(IndexFileChooserTest, HistoryWithoutCandidatesScansTheFolderAboveTheHistoryFolder) {
    tree_.MakeFolder("Profile\\History");
    tree_.MakeFile("Profile\\Other\\index.dat");
    tree_.MakeFile("Profile\\History.old\\index.dat");
    tree_.MakeFile("Profile\\Locked\\index.dat\\inner");  // a folder named index.dat: not a file
    test_.shell.folders[SpecialFolder::History] = tree_.Path("Profile\\History");

    owner_.Script({[&](HWND dialog) {
        EXPECT_EQ(ListRows(dialog), (std::vector<std::string>{tree_.Path("Profile\\History.old\\index.dat"),
                                                              tree_.Path("Profile\\Other\\index.dat")}));
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(Run(RecordKind::History), tree_.Path("Profile\\History.old\\index.dat"));
}

TEST_F(IndexFileChooserTest, CookiesBrowseTakesTheCookiesSubfolderOnceAndKeepsTheSelection) {
    // No Cookies special folder: the list starts empty, and Browse says so
    // before it opens the folder browser from nowhere.
    tree_.MakeFile("Chosen\\Cookies\\index.dat");
    tree_.MakeFile("Direct\\index.dat");
    tree_.MakeFile("Direct\\Cookies\\index.dat");
    test_.prompts.QueueFolder(tree_.Path("Chosen"));
    test_.prompts.QueueFolder(tree_.Path("Chosen"));
    test_.prompts.QueueFolder(tree_.Path("Direct"));
    test_.prompts.QueueFolder(tree_.Path("Nothing"));
    test_.prompts.QueueFolder(std::nullopt);

    owner_.Script({[&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Select Cookies index.dat file");
        EXPECT_TRUE(ListRows(dialog).empty());
        for (int press = 0; press < 5; ++press) Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(ListRows(dialog), (std::vector<std::string>{tree_.Path("Chosen\\Cookies\\index.dat"),
                                                              tree_.Path("Direct\\index.dat")}));
        ASSERT_NE(DialogList(dialog), nullptr);
        EXPECT_TRUE(DialogList(dialog)->model().SelectedRows().empty());
        Click(dialog, IDOK);
    }});
    // OK without a selected row chooses an empty path, which is still an OK.
    EXPECT_EQ(Run(RecordKind::Cookies), std::string());
    EXPECT_EQ(test_.prompts.messages, std::vector<std::string>(5, "Default Cookie folder is not found."));
    EXPECT_EQ(test_.prompts.icons, std::vector<MessageIcon>(5, MessageIcon::None));
    EXPECT_EQ(test_.prompts.browseTitles, std::vector<std::string>(5, "Please select Cookies folder:"));
    // Without a Cookies folder the browser opens at its top.
    EXPECT_EQ(test_.prompts.browseStarts, std::vector<std::string>(5, ""));
}

TEST_F(IndexFileChooserTest, CacheListsTheFirstCandidateAndBrowseOnAFolderWithoutOneAddsNothing) {
    tree_.MakeFile("Cache\\Content.IE5\\index.dat");
    tree_.MakeFile("Cache\\Content.IE3\\index.dat");
    tree_.MakeFile("Cache\\Content.IE5\\A1B2\\index.dat");  // the Cache chooser does not scan
    tree_.MakeFile("Elsewhere\\Content.IE4\\index.dat");
    tree_.MakeFolder("Bare");
    test_.shell.folders[SpecialFolder::InternetCache] = tree_.Path("Cache");
    test_.prompts.QueueFolder(tree_.Path("Bare"));
    test_.prompts.QueueFolder(tree_.Path("Elsewhere"));

    owner_.Script({[&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Select Cache index.dat file");
        EXPECT_EQ(ListRows(dialog), std::vector<std::string>{tree_.Path("Cache\\Content.IE5\\index.dat")});
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(ListRows(dialog).size(), 1u);
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(ListRows(dialog),
                  (std::vector<std::string>{tree_.Path("Cache\\Content.IE5\\index.dat"),
                                            tree_.Path("Elsewhere\\Content.IE4\\index.dat")}));
        SendMessageA(dialog, WM_CLOSE, 0, 0);  // the close box
    }});
    EXPECT_EQ(Run(RecordKind::Cache), std::nullopt);
    EXPECT_TRUE(test_.prompts.messages.empty());
    EXPECT_EQ(
        test_.prompts.browseTitles,
        std::vector<std::string>(2, "Please select a folder where the Browser Cache files are located:"));
    EXPECT_EQ(test_.prompts.browseStarts, std::vector<std::string>(2, tree_.Path("Cache")));
}

TEST_F(IndexFileChooserTest, UnknownHistoryFolderListsNothingAndEscapeCancels) {
    owner_.Script({[&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Select History index.dat file");
        EXPECT_TRUE(ListRows(dialog).empty());
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);  // the browser is cancelled
        EXPECT_TRUE(ListRows(dialog).empty());
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Run(RecordKind::History), std::nullopt);
    EXPECT_EQ(test_.prompts.messages, std::vector<std::string>{"Default History folder is not found."});
    EXPECT_EQ(test_.prompts.browseTitles,
              std::vector<std::string>{"Please select a folder where the History files are located:"});
}

TEST_F(IndexFileChooserTest, UnknownCacheFolderBrowseShowsItsOwnMessage) {
    owner_.Script({[&](HWND dialog) {
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        Click(dialog, IDCANCEL);
    }});
    EXPECT_EQ(Run(RecordKind::Cache), std::nullopt);
    EXPECT_EQ(test_.prompts.messages,
              std::vector<std::string>{"Default Temporary Internet Files folder is not found."});
}

}  // namespace
}  // namespace qm::test
