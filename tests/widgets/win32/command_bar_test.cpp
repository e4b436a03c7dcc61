// The command bar with menu 201 and the image strips of the test program's
// own resources: the buttons it builds, mouse and key messages and the menu
// loop reaching its model, real popups opening and commands reaching the
// parent, menu ownership, and what the bar and its menu items paint. Which
// key does what at which depth, and how items are laid out, are decided by
// the model and tested natively.
#include "widgets/win32/command_bar.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/win32/message_log.h"
#include "tests/widgets/win32/widget_window_test.h"

namespace qm {
namespace {

constexpr UINT kBarId = 59393;
constexpr DWORD kScriptTickMs = 120;
constexpr DWORD kScriptTimeoutMs = 8000;

CommandBarColors Colors() {
    return CommandBarColorsFor(ColorRef{static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE))},
                               ColorRef{static_cast<uint32_t>(GetSysColor(COLOR_HIGHLIGHT))});
}

// Steps run one per timer tick, also while a menu loop runs (it dispatches
// timer messages); the script ends when every step has run and the bar has
// no popup open or pending. At the timeout any open menu is ended, so a
// test can never hang.
class MenuScript {
public:
    explicit MenuScript(CommandBar& bar) : bar_(bar) {}

    void Add(std::function<void()> step) { steps_.push_back(std::move(step)); }

    // False when the script timed out.
    bool Run() {
        current_ = this;
        next_ = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, kScriptTickMs, &MenuScript::Tick);
        const DWORD start = GetTickCount();
        bool finished = false;
        while (GetTickCount() - start < kScriptTimeoutMs) {
            MSG message;
            if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
                continue;
            }
            if (next_ >= steps_.size() && bar_.model().openPopup() < 0 && bar_.openMenus().empty()) {
                finished = true;
                break;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        KillTimer(nullptr, timer);
        if (!finished) EndMenu();
        Pump();
        current_ = nullptr;
        return finished;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MenuScript* self = current_;
        if (!self || self->next_ >= self->steps_.size()) return;
        self->steps_[self->next_++]();
    }

    static inline MenuScript* current_ = nullptr;
    CommandBar& bar_;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

MENUITEMINFOA ItemInfo(HMENU menu, UINT position, char* text, UINT size) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_STRING;
    item.dwTypeData = text;
    item.cch = size;
    GetMenuItemInfoA(menu, position, TRUE, &item);
    return item;
}

// The bar in the shared parent, which logs its commands; an edit beside
// it holds the keyboard before menu mode.
class CommandBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestParent::Shared().SetHandler([this](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_COMMAND && lParam == 0) log_.Add(message, wParam, lParam);
            return std::optional<LRESULT>{};
        });
        const HINSTANCE module = GetModuleHandleA(nullptr);
        edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 200, 22, parent(),
                                nullptr, module, nullptr);
        ASSERT_TRUE(bar_.Create(module, parent(), RECT{0, 0, 400, 22}, 0, kBarId));
        ASSERT_TRUE(bar_.AttachMenu(module, IDR_QM_MAIN_MENU));
        bar_.SetImageMaskColor(RGB(255, 0, 255));
        ASSERT_TRUE(bar_.LoadImages(module, IDB_QM_TOOLBAR));
        bar_.SetCommandBarExtendedStyle(CommandBar::kAllExtendedStyles);
        SetFocus(edit_);
        Pump();
        log_.Clear();
    }
    void TearDown() override {
        bar_.Destroy();
        DestroyWindow(edit_);
        TestParent::Shared().SetHandler({});
        Pump();
    }

    static HWND parent() { return TestParent::Shared().window(); }
    // The centre of a button, as a mouse message carries it.
    LPARAM AtButton(int button) const {
        const RECT rect = bar_.ButtonRect(button);
        return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void Click(int button) {
        SendMessageA(bar_.window(), WM_LBUTTONDOWN, MK_LBUTTON, AtButton(button));
        SendMessageA(bar_.window(), WM_LBUTTONUP, 0, AtButton(button));
    }
    void PostKey(UINT key) {
        PostMessageA(bar_.window(), WM_KEYDOWN, key, 1);
        PostMessageA(bar_.window(), WM_KEYUP, key, 0xC0000001);
    }

    MessageLog log_;
    HWND edit_ = nullptr;
    CommandBar bar_;
};

TEST_F(CommandBarTest, OneTextButtonPerPopupAndTheImagesOfTheStrip) {
    ASSERT_EQ(bar_.model().buttonCount(), 5);
    const char* titles[] = {"File", "Clean", "Edit", "Settings", "Help"};
    LONG previousRight = 0;
    for (int button = 0; button < 5; ++button) {
        EXPECT_EQ(bar_.ButtonText(button), titles[button]);
        const RECT rect = bar_.ButtonRect(button);
        EXPECT_GE(rect.left, previousRight) << button;
        EXPECT_GT(rect.right - rect.left, 20) << button;
        previousRight = rect.right;
    }
    EXPECT_GE(bar_.IdealSize().cx, previousRight);
    EXPECT_EQ(bar_.imageSize().cx, 16);
    EXPECT_EQ(bar_.imageSize().cy, 16);
    EXPECT_EQ(ImageList_GetImageCount(bar_.images()), 23);

    // Missing resources fail without losing what was loaded.
    EXPECT_FALSE(bar_.LoadImages(GetModuleHandleA(nullptr), 9999));
    EXPECT_EQ(ImageList_GetImageCount(bar_.images()), 23);
    EXPECT_FALSE(bar_.AttachMenu(GetModuleHandleA(nullptr), 9999));
    EXPECT_EQ(bar_.model().buttonCount(), 5);
}

TEST_F(CommandBarTest, ClickOpensPopupAndChosenItemReachesParent) {
    Click(0);
    EXPECT_EQ(bar_.model().openPopup(), 0);
    size_t menusSeen = 0;
    bool ownerDrawnWhileOpen = false;
    MenuScript script(bar_);
    script.Add([&] {
        menusSeen = bar_.openMenus().size();
        char text[64] = {};
        ownerDrawnWhileOpen =
            (ItemInfo(GetSubMenu(bar_.menu(), 0), 0, text, sizeof(text)).fType & MFT_OWNERDRAW) != 0;
        PostKey(VK_DOWN);
        PostKey(VK_RETURN);
    });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(menusSeen, 1u);
    EXPECT_TRUE(ownerDrawnWhileOpen);
    EXPECT_TRUE(ExpectSequence(log_, {{WM_COMMAND, kExpectWParam | kExpectLParam, 0, -1, -1, 32768, 0}},
                               "Refresh chosen"));
    EXPECT_EQ(bar_.model().openPopup(), -1);
    EXPECT_FALSE(bar_.model().menuMode());

    // The items have their own type and text back once the menu is closed.
    char text[64] = {};
    const MENUITEMINFOA item = ItemInfo(GetSubMenu(bar_.menu(), 0), 0, text, sizeof(text));
    EXPECT_EQ(item.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(item.dwItemData, 0u);
    EXPECT_STREQ(text, "Refresh");
}

// The menu loop's keys and pointer reach the model, and what it asks for
// happens to the real menus: a submenu opens and closes, one popup closes
// and the next opens.
TEST_F(CommandBarTest, MenuLoopKeysAndPointerOpenSubmenusAndSwitchPopups) {
    Click(0);
    size_t menusInSubmenu = 0;
    size_t menusAfterLeft = 0;
    int afterSecondLeft = -1;
    int afterMove = -1;
    MenuScript script(bar_);
    // File: Refresh, -, Save History, Save Cookie List, Save Cache List, -, Advanced.
    script.Add([&] { PostKey(VK_UP); });  // wraps to Advanced
    script.Add([&] { PostKey(VK_RIGHT); });
    script.Add([&] {
        menusInSubmenu = bar_.openMenus().size();
        PostKey(VK_LEFT);  // closes only the submenu
    });
    script.Add([&] {
        menusAfterLeft = bar_.openMenus().size();
        PostKey(VK_LEFT);  // from the first popup to the last
    });
    script.Add([&] {
        afterSecondLeft = bar_.model().openPopup();
        PostMessageA(bar_.window(), WM_MOUSEMOVE, 0, AtButton(2));
    });
    script.Add([&] {
        afterMove = bar_.model().openPopup();
        PostKey(VK_ESCAPE);
    });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(menusInSubmenu, 2u);
    EXPECT_EQ(menusAfterLeft, 1u);
    EXPECT_EQ(afterSecondLeft, 4);
    EXPECT_EQ(afterMove, 2);
    EXPECT_EQ(log_.entries().size(), 0u) << log_.ToString();
}

TEST_F(CommandBarTest, KeyboardMenuModeTakesTheFocusOpensAndGivesItBack) {
    // F10 and a lone Alt reach the parent as the keyboard-menu command.
    EXPECT_EQ(SendMessageA(parent(), WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_TRUE(bar_.model().menuMode());
    EXPECT_EQ(GetFocus(), bar_.window());
    SendMessageA(bar_.window(), WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_EQ(bar_.model().hotButton(), 1);
    EXPECT_EQ(SendMessageA(bar_.window(), WM_CHAR, 'x', 1), 0);
    EXPECT_TRUE(bar_.model().menuMode());

    // Down opens the hot button's popup with its first item selected, so
    // Enter chooses "History...".
    SendMessageA(bar_.window(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(bar_.model().openPopup(), 1);
    MenuScript script(bar_);
    script.Add([&] { PostKey(VK_RETURN); });
    ASSERT_TRUE(script.Run());
    EXPECT_TRUE(ExpectSequence(log_, {{WM_COMMAND, kExpectWParam, 0, -1, -1, 32771, 0}}, "History..."));
    EXPECT_FALSE(bar_.model().menuMode());
    EXPECT_EQ(GetFocus(), edit_);
}

TEST(CommandBarInChildTest, DeactivatingTheTopLevelWindowLeavesMenuMode) {
    // As in the browser: the bar's parent is a child window (the band's
    // view), which never hears of activation; the top-level window does.
    const HWND top = TestParent::Shared().window();
    const HINSTANCE module = GetModuleHandleA(nullptr);
    const HWND view = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 100, top, nullptr,
                                      module, nullptr);
    ASSERT_TRUE(view);
    const struct {
        UINT message;
        WPARAM wParam;
    } kDeactivations[] = {{WM_ACTIVATE, WA_INACTIVE}, {WM_ACTIVATEAPP, FALSE}};
    for (const auto& deactivation : kDeactivations) {
        CommandBar bar;
        ASSERT_TRUE(bar.Create(module, view, RECT{0, 0, 400, 22}, 0, kBarId));
        ASSERT_TRUE(bar.AttachMenu(module, IDR_QM_MAIN_MENU));
        SendMessageA(view, WM_SYSCOMMAND, SC_KEYMENU, 0);
        SendMessageA(bar.window(), WM_KEYDOWN, VK_RIGHT, 1);
        ASSERT_EQ(bar.model().hotButton(), 1);
        SendMessageA(top, deactivation.message, deactivation.wParam, 0);
        EXPECT_FALSE(bar.model().menuMode()) << "message " << deactivation.message;
        EXPECT_EQ(bar.model().hotButton(), -1) << "message " << deactivation.message;
    }
    DestroyWindow(view);
}

TEST_F(CommandBarTest, AnswersTheGetBarMessageWithItselfAndTheProcess) {
    const UINT message = RegisterWindowMessageA("WTL_CmdBar_InternalGetBarMsg");
    DWORD process = 0;
    EXPECT_EQ(
        reinterpret_cast<HWND>(SendMessageA(bar_.window(), message, reinterpret_cast<WPARAM>(&process), 0)),
        bar_.window());
    EXPECT_EQ(process, GetCurrentProcessId());
    ShowWindow(bar_.window(), SW_HIDE);
    EXPECT_EQ(SendMessageA(bar_.window(), message, 0, 0), 0);
}

TEST(CommandBarMenuOwnership, SharedMenuOutlivesTheBarOwnMenuDoesNot) {
    const HWND parent = TestParent::Shared().window();
    HMENU shared = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_QM_MAIN_MENU));
    HMENU owned = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_QM_MAIN_MENU));
    {
        CommandBar sharing;
        ASSERT_TRUE(sharing.Create(GetModuleHandleA(nullptr), parent, RECT{0, 0, 300, 22}, 0, 1));
        sharing.SetCommandBarExtendedStyle(kCommandBarShareMenu, kCommandBarShareMenu);
        ASSERT_TRUE(sharing.AttachMenu(shared));
        CommandBar owning;
        ASSERT_TRUE(owning.Create(GetModuleHandleA(nullptr), parent, RECT{0, 30, 300, 52}, 0, 2));
        ASSERT_TRUE(owning.AttachMenu(owned));
        EXPECT_EQ(owning.model().buttonCount(), 5);
    }
    EXPECT_TRUE(IsMenu(shared));
    EXPECT_FALSE(IsMenu(owned));
    DestroyMenu(shared);
}

TEST_F(CommandBarTest, PaintsItsGradientAndTheFrameOfTheButtonUnderThePointer) {
    const CommandBarColors colors = Colors();
    const RECT button = bar_.ButtonRect(1);
    const Picture cold(bar_.window());
    EXPECT_EQ(cold.At(395, 0), ToColorref(colors.barTop));
    EXPECT_EQ(cold.At(395, 21), ToColorref(colors.barBottom));
    EXPECT_NE(cold.At(button.left + 3, button.top), ToColorref(colors.hotOuter));
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, AtButton(1));
    EXPECT_EQ(bar_.model().hotButton(), 1);
    const Picture hot(bar_.window());
    EXPECT_EQ(hot.At(button.left + 3, button.top), ToColorref(colors.hotOuter));
    EXPECT_EQ(hot.At(button.left + 3, button.top + 2), ToColorref(colors.hotGradientTop));
    EXPECT_GT(hot.Count(button, RGB(0, 0, 0)), 5);  // hot, not pressed: the text is black
    SendMessageA(bar_.window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar_.model().hotButton(), -1);
}

// The bar with a popup open, as the screen shows it: the popup's items in
// the flat look.
TEST_F(CommandBarTest, OpenPopupShowsTheFlatLookOnScreen) {
    Click(0);
    bool captured = false;
    COLORREF columnPixel = 0, backgroundPixel = 0;
    MenuScript script(bar_);
    script.Add([&] { PostKey(VK_DOWN); });
    script.Add([&] {
        if (bar_.openMenus().empty()) return;
        RECT menuRect{};
        GetWindowRect(bar_.openMenus().front(), &menuRect);
        Picture screen(menuRect.right, menuRect.bottom);
        HDC display = GetDC(nullptr);
        BitBlt(screen.dc(), 0, 0, menuRect.right, menuRect.bottom, display, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, display);
        captured = true;
        // The "Save History..." row: image column at the left, item
        // background towards the right.
        const int y = menuRect.top + 3 + 22 + GetSystemMetrics(SM_CYMENU) / 2 + 11;
        columnPixel = screen.At(menuRect.left + 5, y);
        backgroundPixel = screen.At(menuRect.right - 8, y);
        PostKey(VK_ESCAPE);
    });
    ASSERT_TRUE(script.Run());
    ASSERT_TRUE(captured);
    EXPECT_EQ(columnPixel, ToColorref(Colors().imageColumn));
    EXPECT_EQ(backgroundPixel, ToColorref(Colors().itemBackground));
}

// ---- context menus drawn by the bar ----

class ContextMenuDrawingTest : public CommandBarTest {
protected:
    void SetUp() override {
        CommandBarTest::SetUp();
        images_ = ImageList_LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_QM_MENU_IMAGES), 16, 0,
                                       RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
        ASSERT_TRUE(images_);
        bar_.SetContextMenuImages(images_);
        menu_ = CreatePopupMenu();
        AppendMenuA(menu_, MF_STRING, 32788, "Open URL");
        AppendMenuA(menu_, MF_STRING | MF_GRAYED, 32775, "Copy URL");
        AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu_, MF_STRING, 32791, "Delete Selected Items\tDel");
    }
    void TearDown() override {
        bar_.HandleContextMenuMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0, nullptr);
        DestroyMenu(menu_);
        ImageList_Destroy(images_);
        CommandBarTest::TearDown();
    }

    ULONG_PTR DataOf(UINT position) const {
        char text[64] = {};
        return ItemInfo(menu_, position, text, sizeof(text)).dwItemData;
    }

    void Draw(Picture& picture, UINT position, UINT state) {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemState = state;
        draw.hDC = picture.dc();
        draw.rcItem = RECT{0, 0, 220, 24};
        draw.itemData = DataOf(position);
        LRESULT result = 0;
        ASSERT_TRUE(bar_.HandleContextMenuMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), &result));
        EXPECT_EQ(result, TRUE);
    }

    HIMAGELIST images_ = nullptr;
    HMENU menu_ = nullptr;
};

TEST_F(ContextMenuDrawingTest, InitMenuPopupMakesItemsOwnerDrawnAndCloseRestoresThem) {
    // The window menu is left alone.
    EXPECT_FALSE(bar_.HandleContextMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_),
                                               MAKELPARAM(0, 1), nullptr));
    EXPECT_EQ(DataOf(0), 0u);

    LRESULT result = 1;
    ASSERT_TRUE(bar_.HandleContextMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_), 0, &result));
    EXPECT_EQ(result, 0);
    for (UINT position = 0; position < 4; ++position) {
        char text[64] = {};
        EXPECT_TRUE(ItemInfo(menu_, position, text, sizeof(text)).fType & MFT_OWNERDRAW) << position;
        EXPECT_NE(DataOf(position), 0u) << position;
    }
    // Other messages and items the bar did not make are not its own.
    EXPECT_FALSE(bar_.HandleContextMenuMessage(WM_COMMAND, 1, 0, nullptr));
    MEASUREITEMSTRUCT foreign = {};
    foreign.CtlType = ODT_MENU;
    foreign.itemData = 0x1234;
    EXPECT_FALSE(
        bar_.HandleContextMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign), nullptr));
    DRAWITEMSTRUCT button = {};
    button.CtlType = ODT_BUTTON;
    button.itemData = DataOf(0);
    EXPECT_FALSE(bar_.HandleContextMenuMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&button), nullptr));

    bar_.HandleContextMenuMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0, nullptr);
    char text[64] = {};
    MENUITEMINFOA item = ItemInfo(menu_, 3, text, sizeof(text));
    EXPECT_EQ(item.fType & MFT_OWNERDRAW, 0u);
    EXPECT_STREQ(text, "Delete Selected Items\tDel");
    item = ItemInfo(menu_, 2, text, sizeof(text));
    EXPECT_TRUE(item.fType & MFT_SEPARATOR);
    EXPECT_EQ(item.fType & MFT_OWNERDRAW, 0u);
}

TEST_F(ContextMenuDrawingTest, ItemsDrawTheirImageTextAndState) {
    bar_.HandleContextMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_), 0, nullptr);
    const CommandBarColors colors = Colors();
    const COLORREF column = ToColorref(colors.imageColumn);
    const RECT imageArea{3, 4, 19, 20};
    {  // An item with an image: the coloured image over the column.
        Picture picture(220, 24);
        Draw(picture, 0, 0);
        EXPECT_EQ(picture.At(1, 1), column);
        EXPECT_EQ(picture.At(200, 1), ToColorref(colors.itemBackground));
        EXPECT_GT(256 - picture.Count(imageArea, column), 20);
    }
    {  // Text and accelerator in the menu text colour.
        Picture picture(220, 24);
        Draw(picture, 3, 0);
        EXPECT_GT(picture.Count(RECT{30, 0, 150, 24}, GetSysColor(COLOR_MENUTEXT)), 10);
        EXPECT_GT(picture.Count(RECT{170, 0, 208, 24}, GetSysColor(COLOR_MENUTEXT)), 3);
    }
    {  // Grayed: only the one-colour shadow, never the coloured image.
        Picture picture(220, 24);
        Draw(picture, 1, ODS_GRAYED);
        const int shadow = picture.Count(imageArea, ToColorref(colors.grayedImageShadow));
        EXPECT_GT(shadow, 20);
        EXPECT_EQ(shadow + picture.Count(imageArea, column), 256);
    }
    {  // Selected: the hot frame over the whole item, the image raised.
        Picture picture(220, 24);
        Draw(picture, 0, ODS_SELECTED);
        EXPECT_EQ(picture.At(100, 0), ToColorref(colors.hotOuter));
        EXPECT_EQ(picture.At(100, 23), ToColorref(colors.hotOuter));
        EXPECT_GT(picture.Count(RECT{4, 5, 20, 21}, ToColorref(colors.selectedImageShadow)), 3);
    }
}

}  // namespace
}  // namespace qm
