#include "settings/win32/cookie_details_dialog.h"

#include <fstream>

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

class CookieDetailsDialogTest : public SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "qm_cookie_details_test.txt";
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        SettingsDialogTest::TearDown();
    }
    void Write(const std::string& bytes) {
        std::ofstream out(path_, std::ios::binary);
        out << bytes;
    }
    std::string Shown(const std::string& path) {
        std::string text = "<not shown>";
        driver_.Script({[&](HWND dialog) {
            text = Text(dialog, IDC_QM_COOKIE_TEXT);
            const LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_QM_COOKIE_TEXT), GWL_STYLE);
            EXPECT_TRUE(style & ES_MULTILINE);
            EXPECT_TRUE(style & WS_VSCROLL);
            EXPECT_FALSE(style & ES_READONLY);
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
        }});
        ShowCookieDetailsDialog(module_, driver_.owner(), system_.fileSystem, path);
        EXPECT_FALSE(driver_.ranOut());
        return text;
    }
    std::string path_;
};

TEST_F(CookieDetailsDialogTest, ShowsEveryLineOfTheFileWithoutTheLastLineBreak) {
    Write("id\n42\nshop.example/\n1024\n\nsession\n7\nshop.example/\n0\n");
    EXPECT_EQ(Shown(path_), "id\r\n42\r\nshop.example/\r\n1024\r\n\r\nsession\r\n7\r\nshop.example/\r\n0");
}

TEST_F(CookieDetailsDialogTest, CarriageReturnsAreKeptAndALongFileIsShownWhole) {
    Write("a\r\nb\r\n");
    EXPECT_EQ(Shown(path_), "a\r\r\nb\r");
    std::string big;
    for (int line = 0; line < 8000; ++line) big += "line " + std::to_string(line) + "\n";
    Write(big);
    const std::string shown = Shown(path_);
    EXPECT_GT(shown.size(), 60000u);
    EXPECT_EQ(shown.substr(shown.size() - 9), "line 7999");
}

TEST_F(CookieDetailsDialogTest, MissingOrEmptyFileOpensAnEmptyBox) {
    EXPECT_EQ(Shown(path_ + ".gone"), "");
    Write("");
    EXPECT_EQ(Shown(path_), "");
    driver_.Script({[](HWND dialog) { Click(dialog, IDOK); }});
    ShowCookieDetailsDialog(module_, driver_.owner(), system_.fileSystem, path_);
    EXPECT_EQ(driver_.stepsRun(), 1);
    EXPECT_FALSE(driver_.ranOut());
}

}  // namespace
}  // namespace qm
