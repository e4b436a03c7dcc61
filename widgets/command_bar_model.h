// The menu command bar (`CommandBar`) without its window: which top-level
// button is hot, which popup is open, the keyboard menu mode, the colours
// of its flat look, where the parts of an owner-drawn menu item go, and
// which toolbar image belongs to a command.
//
// The window (a toolbar superclass) tracks the popups with the system and
// turns what happens into the calls below; each call answers what the
// window has to do next, so the rules of Alt, F10, arrows and Esc are
// decided here and tested without a window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "widgets/colors.h"
#include "widgets/pixel_rect.h"

namespace qm {

inline constexpr std::string_view kCommandBarClass = "WTL_CommandBarXP";
inline constexpr std::string_view kCommandBarAutoPopupMessage = "WTL_CmdBar_InternalAutoPopupMsg";
inline constexpr std::string_view kCommandBarGetBarMessage = "WTL_CmdBar_InternalGetBarMsg";
inline constexpr std::string_view kPopupMenuClass = "#32768";

// Extended styles.
inline constexpr uint32_t kCommandBarTransparent = 1;
inline constexpr uint32_t kCommandBarShareMenu = 2;
inline constexpr uint32_t kCommandBarAltFocusMode = 4;
inline constexpr uint32_t kCommandBarTrackAlways = 8;

inline constexpr ColorRef kCommandBarMaskColor = Rgb(255, 0, 255);

// The command of each image of the toolbar strip, in strip order. Two of
// them (32789, 32787) belong to no menu item and are never shown.
inline constexpr std::array<uint32_t, 23> kCommandBarImageCommands = {
    32768, 32779, 32780, 32804, 32777, 32807, 32802, 32778, 32803, 32771, 32781, 32783,
    32786, 32784, 32785, 32806, 32805, 32776, 32772, 32789, 32787, 40013, 32769};

// The strip image for a command, -1 for a command without one.
int CommandImageIndex(uint32_t command);

// A toolbar resource: the size of its images and the command of each
// image, in strip order (separators, which have no image, left out).
struct ToolbarResource {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<uint32_t> commands;
};

// Reads a toolbar resource in either of its two layouts: the Microsoft
// resource compiler's (16-bit version 1, width, height, count, then one
// 16-bit command per item) or GNU windres's (32-bit width, height, count,
// then one 32-bit command per item). Nothing for data that fits neither,
// for sizes of 0 or above 256, or for a count the data does not hold.
std::optional<ToolbarResource> ParseToolbarResource(std::span<const uint8_t> data);

// One command and the image drawn beside its menu item.
struct MenuImage {
    uint32_t command = 0;
    int image = -1;
};

// The images of the context menus' strip (seven of them: open, copy,
// delete, add to favorites, details, open file, properties) for the items
// of the lists' context menus. "Delete Selected Items" (32791) has none.
inline constexpr std::array<MenuImage, 14> kContextMenuImages = {{
    {32788, 0},
    {32792, 0},
    {32797, 0},  // Open URL
    {32775, 1},
    {32793, 1},
    {32798, 1},  // Copy URL
    {32773, 2},
    {32794, 2},
    {32799, 2},  // Delete URL, Cookie, Entry
    {32782, 3},  // Add to Favorites
    {32795, 4},  // View Details
    {32800, 5},  // Open File
    {32796, 6},
    {32801, 6},  // Properties
}};

// The image of `command` in `images` (the first entry that names it), -1
// when none does or the entry's image is outside [0, imageCount).
int MenuImageIndex(std::span<const MenuImage> images, uint32_t command, int imageCount);

// ---- behaviour ----

// Key codes as the key messages carry them.
inline constexpr int kBarKeyReturn = 0x0D;
inline constexpr int kBarKeyMenu = 0x12;  // Alt
inline constexpr int kBarKeyEscape = 0x1B;
inline constexpr int kBarKeySpace = 0x20;
inline constexpr int kBarKeyLeft = 0x25;
inline constexpr int kBarKeyUp = 0x26;
inline constexpr int kBarKeyRight = 0x27;
inline constexpr int kBarKeyDown = 0x28;
inline constexpr int kBarKeyF10 = 0x79;

// What the window does after a call.
struct BarAction {
    enum Kind {
        None,          // nothing changed
        Redraw,        // the hot button or the underlines changed
        OpenPopup,     // (close any open popup and) open the popup of `button`
        ClosePopup,    // close the open popup
        PassToSystem,  // let the system have the key
    };
    Kind kind = None;
    int button = -1;

    friend constexpr bool operator==(const BarAction&, const BarAction&) = default;
};

// How an open popup ended.
enum class PopupEnd {
    CommandChosen,  // an item was chosen: its command goes to the parent
    Escape,         // Esc in the popup: back to menu mode on its button
    Dismissed,      // a click elsewhere, or the popup lost the focus
    Switching,      // the bar closed it to open another one
};

class CommandBarModel {
public:
    // One button per top-level popup of the attached menu.
    void SetButtonCount(int count);
    int buttonCount() const { return buttonCount_; }
    int hotButton() const { return hot_; }
    int openPopup() const { return open_; }
    bool menuMode() const { return menuMode_; }
    bool accessKeysShown() const { return menuMode_; }

    // The button `step` places from `button`, wrapping at both ends.
    int Neighbour(int button, int step) const;

    // The pointer is over a button (-1: over none). While a popup is open,
    // another button's popup replaces it.
    BarAction MouseOver(int button);
    // A click on a button opens its popup; on the open one's, closes it.
    BarAction ButtonPressed(int button);

    // Alt pressed and released alone, or F10: enters menu mode with the
    // first button hot; a second time leaves it.
    BarAction MenuKey();
    // A key while in menu mode and no popup is open. Left and Right move
    // the hot button (wrapping); Down, Up and Enter open its popup; Esc and
    // Alt leave; other characters are swallowed, except a space.
    BarAction KeyInMenuMode(int key);
    // Left or Right while a popup is open (also when the system asks for
    // the next menu): the neighbouring popup, wrapping.
    BarAction KeyInPopup(int key);
    // A popup is about to be tracked: nothing has ended it yet.
    void PopupTracking() { escaped_ = false; }
    // A key inside the menu loop of the open popup, with `menuDepth` popup
    // menus open (1: the bar's own) and `selectedHasSubmenu` for the item
    // the menu has selected. Esc in a submenu, and Left there, only close
    // the submenu, and Right on an item with a submenu opens it: the menu's
    // own keys (PassToSystem). Esc in the bar's popup is the menu's too,
    // and is remembered: the popup then ends as PopupEnd::Escape. Left and
    // Right otherwise switch popups as KeyInPopup does; the window eats the
    // key only when the answer is OpenPopup.
    BarAction KeyInMenuLoop(int key, int menuDepth, bool selectedHasSubmenu);
    // How the tracked popup ended, from the command the menu loop returned
    // (0: none) and the popup the bar closed it for (-1: none): a command
    // wins; a switch counts only to the popup still wanted; then Esc.
    PopupEnd HowPopupEnded(uint32_t command, int switchingTo) const;
    // The popup that was open has closed.
    BarAction PopupClosed(PopupEnd how);
    // The parent lost activation: menu mode ends and no button stays hot.
    BarAction ParentDeactivated();

private:
    BarAction Leave();

    int buttonCount_ = 0;
    int hot_ = -1;
    int open_ = -1;
    bool menuMode_ = false;
    bool escaped_ = false;  // Esc in the tracked popup
};

// ---- look ----

struct CommandBarColors {
    ColorRef barTop;     // lighten(button face, 1.1)
    ColorRef barBottom;  // darken(button face, 0.9)
    ColorRef hotOuter;   // rounded frame of a hot button or selected item
    ColorRef hotFill;    // adjust(button face, 75, 0)
    ColorRef hotInner;
    ColorRef hotGradientTop;
    ColorRef hotGradientBottom;
    ColorRef imageColumn;          // adjust(button face, 20, 0)
    ColorRef itemBackground;       // adjust(button face, 75, 0)
    ColorRef separator;            // adjust(button face, -18, 0); also grayed text
    ColorRef checkedGrayed;        // adjust(button face, 73, 0)
    ColorRef checkedSelected;      // adjust(highlight, 50, -50)
    ColorRef checkedNormal;        // adjust(highlight, 70, -57)
    ColorRef checkFrame;           // highlight
    ColorRef selectedImageShadow;  // adjust(highlight, 50, -66)
    ColorRef grayedImageShadow;    // adjust(button face, -27, 0)
};

CommandBarColors CommandBarColorsFor(ColorRef buttonFace, ColorRef highlight);

// A top-level button's text: black while hot, pressed (its popup open) or
// not, and a fixed near-black otherwise. The hot button's face is a pale
// gradient whatever the system's colours, so the system's highlight text
// (white by default) would not show on it.
ColorRef CommandBarButtonTextColor(bool hot);

inline constexpr int kCommandBarHotCorner = 5;
inline constexpr int kCommandBarHotInnerCorner = 2;
// The fixed gap of a menu item's width, enough to keep the accelerator
// text apart from the item text.
inline constexpr int kMenuItemGap = 16;

struct MenuItemMetrics {
    int imageWidth = 16;
    int fontHeight = 0;      // the menu font
    int buttonHeight = 0;    // the bar's buttons
    int menuBarHeight = 0;   // the system's
    int checkMarkWidth = 0;  // the system's, which it adds to every item
};

struct MenuItemSize {
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const MenuItemSize&, const MenuItemSize&) = default;
};

// The size reported for an item whose text (measured on one line, in the
// bold font for the default item) is textWidth wide.
MenuItemSize MeasureMenuItem(const MenuItemMetrics& metrics, bool separator, int textWidth);

struct MenuItemLayout {
    PixelRect imageColumn;     // as wide as the image plus 6
    int textLeft = 0;          // the text before a tab, left-aligned here
    int acceleratorRight = 0;  // the text after a tab, right-aligned here
    int separatorY = 0;
    int separatorLeft = 0;
    int separatorRight = 0;
    // Image positions (top-left corners).
    int imageX = 0, imageY = 0;                // plain
    int raisedImageX = 0, raisedImageY = 0;    // selected: the image...
    int raisedShadowX = 0, raisedShadowY = 0;  // ...above its shadow
    int grayedShadowX = 0, grayedShadowY = 0;  // grayed: only a shadow
};

MenuItemLayout LayoutMenuItem(const PixelRect& item, int imageWidth);

// An item's state as the menu draws it.
struct MenuItemState {
    bool separator = false;
    bool selected = false;
    bool grayed = false;
    bool checked = false;
};

// What an item gets drawn with, besides its text.
struct MenuItemDrawing {
    bool hotFrame = false;             // selected (a separator never is)
    std::optional<ColorRef> checkBox;  // checked: a framed box in this fill
    bool checkMark = false;            // checked without an image: the system's mark
    // The image (`image` of the item's strip, -1 for none): grayed, only a
    // one-colour shadow; selected and not checked, raised above its
    // shadow; otherwise plain.
    std::optional<PixelPoint> shadow;
    ColorRef shadowColor{};
    std::optional<PixelPoint> image;

    friend constexpr bool operator==(const MenuItemDrawing&, const MenuItemDrawing&) = default;
};

MenuItemDrawing DrawMenuItem(const MenuItemLayout& layout, const CommandBarColors& colors,
                             MenuItemState state, int image);

// An item's text before and after its tab character.
std::pair<std::string_view, std::string_view> SplitMenuText(std::string_view text);

}  // namespace qm
