// The chooser of a kind's default index files under Wine: opened over a test
// owner on real folders, driven with messages. Which rows it lists and what
// Browse adds is decided in records/index_file_location.h and tested there.
#include <gtest/gtest.h>

#include "records/win32/index_file_dialogs.h"
#include "resources/index_file_ids.h"
#include "tests/records/win32/index_dialog_driver.h"

namespace qm::test {
namespace {

class IndexFileChooserTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tree_.valid()); }

    std::optional<std::string> Run(RecordKind kind) {
        return RunIndexFileChooser(module_, owner_.owner(), test_.platform, kind);
    }

    TempFolder tree_;
    Win32FileSystem fileSystem_;
    TestPlatform test_{fileSystem_};
    DialogDriver owner_;
    HINSTANCE module_ = GetModuleHandleA(nullptr);
};

TEST_F(IndexFileChooserTest, ListsTheFilesOnDiskInThePlaceholderAndOkTakesTheClickedRow) {
    tree_.MakeFile("History\\History.IE5\\index.dat");
    tree_.MakeFile("History\\History.IE5\\MSHist01\\index.dat");
    test_.shell.folders[SpecialFolder::History] = tree_.Path("History");
    const std::vector<std::string> expected{tree_.Path("History\\History.IE5\\index.dat"),
                                            tree_.Path("History\\History.IE5\\MSHist01\\index.dat")};

    owner_.Script({[&](HWND dialog) {
                       EXPECT_EQ(WindowText(dialog), "Select History index.dat file");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_QM_INDEX_FILE_BROWSE)), "Browse");
                       EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), "OK");
                       EXPECT_EQ(GetDlgItem(dialog, IDC_QM_INDEX_FILE_STATUS), nullptr);
                       ListCtrl* list = DialogList(dialog);
                       ASSERT_NE(list, nullptr) << "the placeholder is still there";
                       EXPECT_TRUE(IsWindowVisible(list->window()));
                       const ListColumn* column = list->model().GetColumn(0);
                       ASSERT_NE(column, nullptr);
                       EXPECT_EQ(column->title, "File");
                       // The list took the placeholder's place and size.
                       const RECT placeholder = PlaceholderArea(module_, IDD_QM_INDEX_FILE_CHOOSER);
                       RECT area{};
                       GetWindowRect(list->window(), &area);
                       MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
                       EXPECT_TRUE(EqualRect(&area, &placeholder));
                       EXPECT_EQ(ListRows(dialog), expected);
                       EXPECT_EQ(list->model().SelectedRows(), std::vector<int>{0});
                       ClickRow(dialog, 1);
                       EXPECT_EQ(list->model().SelectedRows(), std::vector<int>{1});
                   },
                   [](HWND dialog) { Click(dialog, IDOK); }});
    EXPECT_EQ(Run(RecordKind::History), expected[1]);
    EXPECT_FALSE(owner_.ranOut());
    EXPECT_TRUE(test_.prompts.messages.empty());
}

TEST_F(IndexFileChooserTest, BrowseWithoutTheDefaultFolderSaysSoAddsTheChosenFileAndTheCloseBoxCancels) {
    tree_.MakeFile("Chosen\\Cookies\\index.dat");
    test_.prompts.QueueFolder(tree_.Path("Chosen"));

    owner_.Script({[&](HWND dialog) {
        EXPECT_TRUE(ListRows(dialog).empty());
        Click(dialog, IDC_QM_INDEX_FILE_BROWSE);
        EXPECT_EQ(ListRows(dialog), std::vector<std::string>{tree_.Path("Chosen\\Cookies\\index.dat")});
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(Run(RecordKind::Cookies), std::nullopt);
    EXPECT_EQ(test_.prompts.messages, std::vector<std::string>{"Default Cookie folder is not found."});
    EXPECT_EQ(test_.prompts.browseTitles, std::vector<std::string>{"Please select Cookies folder:"});
}

}  // namespace
}  // namespace qm::test
