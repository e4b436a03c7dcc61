#include "widgets/hyperlink_model.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

TEST(HyperLink, AnchorColorTextIsRedGreenBlue) {
    EXPECT_EQ(ParseAnchorColor("0,0,128"), Rgb(0, 0, 128));
    EXPECT_EQ(ParseAnchorColor("255, 128 ,7"), Rgb(255, 128, 7));
    EXPECT_FALSE(ParseAnchorColor(""));
    EXPECT_FALSE(ParseAnchorColor("0,0"));
    EXPECT_FALSE(ParseAnchorColor("0,,128"));
    EXPECT_FALSE(ParseAnchorColor("0,0,128,5"));
    EXPECT_FALSE(ParseAnchorColor("256,0,0"));
    EXPECT_FALSE(ParseAnchorColor("-1,0,0"));
    EXPECT_FALSE(ParseAnchorColor("a,b,c"));
    EXPECT_FALSE(ParseAnchorColor("0x10,0,0"));
}

TEST(HyperLink, BrowserLinkColourComesFromTheSettingsKey) {
    MemoryRegistry registry;
    EXPECT_EQ(ReadBrowserLinkColors(registry).link, kDefaultLinkColor);  // no key

    auto key = registry.Create(RegistryRoot::CurrentUser, kBrowserSettingsKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(ReadBrowserLinkColors(registry).link, Rgb(0, 0, 255));  // no value
    key->WriteString("Anchor Color", "0,0,128");
    key->WriteString("Anchor Color Visited", "128,0,128");
    const BrowserLinkColors colors = ReadBrowserLinkColors(registry);
    EXPECT_EQ(colors.link, Rgb(0, 0, 128));
    EXPECT_EQ(colors.visited, Rgb(128, 0, 128));

    key->WriteString("Anchor Color", "dark blue");
    EXPECT_EQ(ReadBrowserLinkColors(registry).link, kDefaultLinkColor);
    // Well formed, but with its NUL longer than the 12-byte buffer: not read at all.
    key->WriteString("Anchor Color", "0,0,128     ");
    EXPECT_EQ(ReadBrowserLinkColors(registry).link, kDefaultLinkColor);
}

TEST(HyperLink, TextRectangleIsWhereTheLabelIsDrawn) {
    EXPECT_EQ(LinkTextRect(200, 20, 80, 14, TextAlignment::Left), (PixelRect{0, 3, 80, 17}));
    EXPECT_EQ(LinkTextRect(200, 20, 80, 14, TextAlignment::Center), (PixelRect{60, 3, 140, 17}));
    EXPECT_EQ(LinkTextRect(200, 20, 80, 14, TextAlignment::Right), (PixelRect{120, 3, 200, 17}));
    // A label wider or taller than the control is cut to it.
    EXPECT_EQ(LinkTextRect(50, 10, 80, 14, TextAlignment::Center), (PixelRect{0, 0, 50, 10}));
}

class HyperLinkTest : public ::testing::Test {
protected:
    HyperLinkTest() {
        link.SetTarget("https://quillmere.example/");
        link.SetTextRect(PixelRect{0, 3, 80, 17});
    }
    HyperLinkModel link;
    MemoryShell shell;
};

TEST_F(HyperLinkTest, ReleaseInsideTheTextOpensTheTarget) {
    EXPECT_TRUE(link.LeftButtonDown(10, 10));
    EXPECT_TRUE(link.LeftButtonUp(20, 8, shell));
    EXPECT_EQ(shell.opened(), (std::vector<std::string>{"https://quillmere.example/"}));
    EXPECT_FALSE(link.captured());
}

TEST_F(HyperLinkTest, ReleaseOutsideOrPressOutsideOpensNothing) {
    link.LeftButtonDown(10, 10);
    EXPECT_FALSE(link.LeftButtonUp(120, 10, shell));  // dragged off the text
    EXPECT_FALSE(link.LeftButtonDown(150, 10));       // the static's empty space
    EXPECT_FALSE(link.LeftButtonUp(10, 10, shell));   // no press of ours before it
    EXPECT_TRUE(shell.opened().empty());
}

TEST_F(HyperLinkTest, EnterAndSpaceOpenTheTarget) {
    EXPECT_TRUE(link.Char('\r', shell));
    EXPECT_TRUE(link.Char(' ', shell));
    EXPECT_FALSE(link.Char('x', shell));
    EXPECT_EQ(shell.opened().size(), 2u);
    HyperLinkModel empty;
    EXPECT_FALSE(empty.Char('\r', shell));  // nothing to open
    EXPECT_EQ(shell.opened().size(), 2u);
}

TEST_F(HyperLinkTest, UnderlinedOnlyWhileThePointerRestsOnIt) {
    EXPECT_TRUE(link.MouseMove(5, 5));   // asks for hover and leave notices
    EXPECT_FALSE(link.MouseMove(6, 5));  // once
    EXPECT_FALSE(link.hovered());
    EXPECT_TRUE(link.Hover());
    EXPECT_TRUE(link.hovered());
    EXPECT_FALSE(link.Hover());
    EXPECT_TRUE(link.Leave());
    EXPECT_FALSE(link.hovered());
    EXPECT_TRUE(link.MouseMove(5, 5));  // tracking again after the leave
}

TEST_F(HyperLinkTest, HandCursorOnlyOverTheTextOfALinkWithATarget) {
    EXPECT_TRUE(link.ShowsHandAt(40, 10));
    EXPECT_FALSE(link.ShowsHandAt(150, 10));
    EXPECT_FALSE(link.ShowsHandAt(40, 18));
    link.SetTarget("");
    EXPECT_FALSE(link.ShowsHandAt(40, 10));
}

TEST_F(HyperLinkTest, ShowsTheTargetWithoutALabel) {
    EXPECT_EQ(link.ShownText(), "https://quillmere.example/");
    link.SetLabel("Quillmere home page");
    EXPECT_EQ(link.ShownText(), "Quillmere home page");
}

}  // namespace
}  // namespace qm
