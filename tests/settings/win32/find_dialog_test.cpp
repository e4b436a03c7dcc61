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
    void Store(const FindOptions& options) {
        ASSERT_TRUE(WriteFindOptions(system_.registry, lowIntegrity_, options));
    }

    RecordingPrompts prompts_;
};

std::string Describe(const FindRequest& request) {
    return std::string(request.text.view()) + " whole=" + std::to_string(request.whole) +
           " case=" + std::to_string(request.matchCase) + " names=" + std::to_string(request.names) +
           " values=" + std::to_string(request.values) + " all=" + std::to_string(request.findAll);
}

TEST_F(FindDialogTest, WithoutStoredOptionsStartsEmptyAndCloseStillSaves) {
    driver_.Script({[](HWND dialog) {
        char caption[32] = {};
        GetWindowTextA(dialog, caption, sizeof(caption));
        EXPECT_STREQ(caption, "Find");
        for (int box : {IDC_QM_FIND_WHOLE, IDC_QM_FIND_CASE, IDC_QM_FIND_NAMES, IDC_QM_FIND_VALUES}) {
            EXPECT_FALSE(Checked(dialog, box)) << box;
        }
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_TEXT), "");
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_NEXT), "Find Next");
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_ALL), "Find All");
        EXPECT_EQ(Text(dialog, IDCANCEL), "Close");
        SetCheck(dialog, IDC_QM_FIND_CASE, true);
        SetText(dialog, IDC_QM_FIND_TEXT, "Cookie");
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }});
    Show();
    EXPECT_TRUE(driver_.findRequests().empty());
    EXPECT_EQ(StoredDword(setting::kWhole), 0u);
    EXPECT_EQ(StoredDword(setting::kCase), 1u);
    EXPECT_EQ(StoredDword(setting::kNames), 0u);
    EXPECT_EQ(StoredDword(setting::kValues), 0u);
    EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), "Cookie");
}

TEST_F(FindDialogTest, EachSearchSendsOneRequestAndStoresNothing) {
    FindOptions stored;
    stored.wholeWord = true;
    stored.searchValues = true;
    stored.lastSearch = "news";
    Store(stored);
    driver_.Script({[this](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_WHOLE));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_CASE));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_NAMES));
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_VALUES));
        EXPECT_EQ(Text(dialog, IDC_QM_FIND_TEXT), "news");

        Click(dialog, IDC_QM_FIND_NEXT);
        Click(dialog, IDC_QM_FIND_ALL);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);  // Enter
        SetCheck(dialog, IDC_QM_FIND_CASE, true);
        SetCheck(dialog, IDC_QM_FIND_NAMES, true);
        SetText(dialog, IDC_QM_FIND_TEXT, "Daily News");
        Click(dialog, IDC_QM_FIND_ALL);
        ASSERT_EQ(driver_.findRequests().size(), 4u);
        // The dialog is still open, and a search wrote nothing.
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(StoredDword(setting::kCase), 0u);
        EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), "news");
        Click(dialog, IDCANCEL);
    }});
    Show();
    ASSERT_EQ(driver_.findRequests().size(), 4u);
    EXPECT_EQ(Describe(driver_.findRequests()[0]), "news whole=1 case=0 names=0 values=1 all=0");
    EXPECT_EQ(Describe(driver_.findRequests()[1]), "news whole=1 case=0 names=0 values=1 all=1");
    EXPECT_EQ(Describe(driver_.findRequests()[2]), "news whole=1 case=0 names=0 values=1 all=0");
    EXPECT_EQ(Describe(driver_.findRequests()[3]), "Daily News whole=1 case=1 names=1 values=1 all=1");
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(StoredDword(setting::kCase), 1u);
    EXPECT_EQ(StoredDword(setting::kNames), 1u);
    EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), "Daily News");
}

TEST_F(FindDialogTest, NeitherColumnCheckedChecksNamesAndSearchesThem) {
    driver_.Script({[](HWND dialog) {
        SetText(dialog, IDC_QM_FIND_TEXT, "gif");
        Click(dialog, IDC_QM_FIND_ALL);
        EXPECT_TRUE(Checked(dialog, IDC_QM_FIND_NAMES));
        EXPECT_FALSE(Checked(dialog, IDC_QM_FIND_VALUES));
        Click(dialog, IDCANCEL);
    }});
    Show();
    ASSERT_EQ(driver_.findRequests().size(), 1u);
    EXPECT_EQ(Describe(driver_.findRequests()[0]), "gif whole=0 case=0 names=1 values=0 all=1");
    EXPECT_EQ(StoredDword(setting::kNames), 1u);
}

TEST_F(FindDialogTest, EmptyTextWarnsSendsNothingAndFocusesTheTextBox) {
    driver_.Script({[this](HWND dialog) {
        SetFocus(GetDlgItem(dialog, IDC_QM_FIND_ALL));
        Click(dialog, IDC_QM_FIND_NEXT);
        EXPECT_TRUE(driver_.findRequests().empty());
        ASSERT_EQ(prompts_.messages.size(), 1u);
        EXPECT_EQ(prompts_.messages[0], "Please enter text to search.");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_QM_FIND_TEXT));
        EXPECT_TRUE(IsWindowVisible(dialog));
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
    }});
    Show();
    EXPECT_TRUE(driver_.findRequests().empty());
}

TEST_F(FindDialogTest, LongTextIsCutInTheRequestButStoredWhole) {
    const std::string longText(150, 'x');
    driver_.Script({[&](HWND dialog) {
        SetText(dialog, IDC_QM_FIND_TEXT, longText + std::string(200, 'y'));
        Click(dialog, IDC_QM_FIND_NEXT);
        Click(dialog, IDCANCEL);
    }});
    Show();
    ASSERT_EQ(driver_.findRequests().size(), 1u);
    EXPECT_EQ(driver_.findRequests()[0].text.view(), std::string(99, 'x'));
    // The box gives at most 259 characters.
    EXPECT_EQ(Key()->ReadString(setting::kLastSearch, 260), longText + std::string(109, 'y'));
}

}  // namespace
}  // namespace qm
