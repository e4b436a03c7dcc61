#include "settings/win32/cookie_details_dialog.h"

#include <fstream>

#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

// The file read from disk reaches a scrolling, editable box whole, past
// the 32,000 characters an edit box takes unless told otherwise. How the
// file's lines become the text is decided and tested natively.
TEST_F(SettingsDialogTest, CookieDetailsShowALongFileWhole) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qm_cookie_details_test.txt";
    std::string file, expected;
    for (int line = 0; line < 8000; ++line) {
        file += "line " + std::to_string(line) + "\n";
        expected += (line ? "\r\n" : "") + ("line " + std::to_string(line));
    }
    std::ofstream(path, std::ios::binary) << file;

    std::string shown;
    driver_.Script({[&](HWND dialog) {
        shown = Text(dialog, IDC_QM_COOKIE_TEXT);
        const LONG style = GetWindowLongA(GetDlgItem(dialog, IDC_QM_COOKIE_TEXT), GWL_STYLE);
        EXPECT_TRUE(style & ES_MULTILINE);
        EXPECT_TRUE(style & WS_VSCROLL);
        EXPECT_FALSE(style & ES_READONLY);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Escape
    }});
    ShowCookieDetailsDialog(module_, driver_.owner(), system_.fileSystem, path);
    DeleteFileA(path.c_str());
    EXPECT_FALSE(driver_.ranOut());
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_TRUE(shown == expected) << "the text differs";
}

}  // namespace
}  // namespace qm
