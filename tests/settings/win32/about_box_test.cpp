#include "band/win32/about_box.h"

#include "band/about.h"
#include "resources/settings_ids.h"
#include "tests/settings/win32/settings_dialog_fixture.h"

namespace qm {
namespace {

class AboutBoxTest : public SettingsDialogTest {
protected:
    OpenRecordingShell shell_{system_.shell};
};

bool HasChildWithText(HWND dialog, std::string_view text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (WindowText(child) == text) return true;
    return false;
}

TEST_F(AboutBoxTest, ShowsTheProductInBoldTheNoticeTheBannerAndBothLinks) {
    driver_.Script({[this](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "About Quillmere Bar");
        EXPECT_EQ(Text(dialog, IDC_QM_ABOUT_PRODUCT), "Quillmere Bar  v.2.1 (15.0207)");
        EXPECT_TRUE(HasChildWithText(dialog, about::kNoticeLine));
        EXPECT_TRUE(HasChildWithText(dialog, "Home site:"));
        EXPECT_TRUE(HasChildWithText(dialog, "Support:"));
        EXPECT_EQ(Text(dialog, IDC_QM_ABOUT_HOME), "https://quillmere.example/");
        EXPECT_EQ(Text(dialog, IDC_QM_ABOUT_SUPPORT), "support@quillmere.example");

        const auto font =
            reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDC_QM_ABOUT_PRODUCT, WM_GETFONT, 0, 0));
        LOGFONTA description{};
        ASSERT_EQ(GetObjectA(font, sizeof(description), &description), static_cast<int>(sizeof(description)));
        EXPECT_EQ(description.lfWeight, FW_BOLD);
        const auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        EXPECT_NE(font, dialogFont);

        // The static takes the 400 by 80 banner's own size when it loads it;
        // the box then stretches that to its width (how it rounds is tested
        // natively).
        RECT box{};
        RECT picture{};
        GetWindowRect(dialog, &box);
        GetWindowRect(GetDlgItem(dialog, IDC_QM_ABOUT_BANNER), &picture);
        EXPECT_EQ(picture.right - picture.left, box.right - box.left);
        EXPECT_NEAR(picture.bottom - picture.top, (box.right - box.left) * 80 / 400, 1);
        POINT origin{picture.left, picture.top};
        ScreenToClient(dialog, &origin);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(origin.y, 0);

        // The two texts are links now: Enter on each opens its target.
        SendDlgItemMessageA(dialog, IDC_QM_ABOUT_HOME, WM_CHAR, VK_RETURN, 0);
        SendDlgItemMessageA(dialog, IDC_QM_ABOUT_SUPPORT, WM_CHAR, VK_SPACE, 0);
        Click(dialog, IDOK);
    }});
    EXPECT_EQ(ShowAboutBox(module_, driver_.owner(), shell_), IDOK);
    EXPECT_FALSE(driver_.ranOut());
    EXPECT_EQ(shell_.opened,
              (std::vector<std::string>{"https://quillmere.example/",
                                        "mailto:support@quillmere.example?subject=Message%20from%"
                                        "20Quillmere%20application"}));
}

// The close box and Escape each end the box, which frees the font it made.
TEST_F(AboutBoxTest, EscapeAndTheCloseBoxCloseItAndEachBoxFreesItsOwnFont) {
    for (const auto& [message, wParam] : {std::pair<UINT, WPARAM>{WM_CLOSE, 0}, {WM_COMMAND, IDCANCEL}}) {
        SCOPED_TRACE(message);
        HFONT font = nullptr;
        driver_.Script({[&](HWND dialog) {
            font =
                reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDC_QM_ABOUT_PRODUCT, WM_GETFONT, 0, 0));
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
            SendMessageA(dialog, message, wParam, 0);
        }});
        EXPECT_EQ(ShowAboutBox(module_, driver_.owner(), shell_), IDCANCEL);
        ASSERT_TRUE(font);
        EXPECT_EQ(GetObjectType(font), 0u);
    }
    EXPECT_TRUE(shell_.opened.empty());
}

}  // namespace
}  // namespace qm
