#include "settings/win32/find_dialog.h"

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

class FindDialogTest : public SettingsDialogTest {
protected:
    void Show() {
        ShowFindDialog(module_, driver_.owner(), driver_.owner(), system_.registry, lowIntegrity_, prompts_);
        EXPECT_FALSE(driver_.ranOut());
    }

    RecordingPrompts prompts_;
};

// The stored boxes are shown; Find Next, Find All and Enter each send one
// request and store nothing; the close box stores the boxes and as much
// text as the box gives (the request's cut is decided natively).
TEST_F(FindDialogTest, SearchesSendOneRequestEachAndClosingStoresTheBoxes) {
    FindOptions stored;
    stored.wholeWord = true;
    stored.searchValues = true;
    stored.lastSearch = "news";
    ASSERT_TRUE(WriteFindOptions(system_.registry, lowIntegrity_, stored));
    const std::string longText = std::string(150, 'x') + std::string(200, 'y');
    driver_.Script({[&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Find");
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_NEXT), "Find Next");
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_ALL), "Find All");
        EXPECT_EQ(Text(dialog, IDCANCEL), "Close");
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_WHOLE));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_CASE));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_NAMES));
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_VALUES));
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_TEXT), "news");

        SetCheck(dialog, IDC_QM_FIND_CASE, true);
        SetText(dialog, IDC_QM_FIND_TEXT, longText);
        Click(dialog, IDC_QM_FIND_NEXT);
        Click(dialog, IDC_QM_FIND_ALL);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(StoredDword(setting::kCase), 0u);
        EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), "news");
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }});
    Show();
    const std::vector<FindRequest>& requests = driver_.findRequests();
    ASSERT_EQ(requests.size(), 3u);
    for (std::size_t at = 0; at < requests.size(); ++at) {
        EXPECT_EQ(requests[at].findAll, at == 1 ? 1 : 0) << "request " << at;
        EXPECT_EQ(requests[at].matchCase, 1) << "request " << at;
        EXPECT_EQ(requests[at].text.view(), std::string(99, 'x')) << "request " << at;
    }
    EXPECT_EQ(StoredDword(setting::kWhole), 1u);
    EXPECT_EQ(StoredDword(setting::kCase), 1u);
    EXPECT_EQ(StoredDword(setting::kNames), 0u);
    EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), longText.substr(0, 259));
}

// What the press decides reaches the window: an empty text puts the focus
// in the text box, and a search of neither column checks Names.
TEST_F(FindDialogTest, EmptyTextFocusesTheTextBoxAndNeitherColumnChecksNames) {
    driver_.Script({[this](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDC_QM_FIND_ALL));
        Click(dialog, IDC_QM_FIND_NEXT);
        EXPECT_TRUE(driver_.findRequests().empty());
        EXPECT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_QM_FIND_TEXT));

        SetText(dialog, IDC_QM_FIND_TEXT, "gif");
        Click(dialog, IDC_QM_FIND_ALL);
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_NAMES));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_VALUES));
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
    }});
    Show();
    ASSERT_EQ(driver_.findRequests().size(), 1u);
    EXPECT_EQ(driver_.findRequests()[0].names, 1);
}

}  // namespace
}  // namespace qm
