// The command bar in a test parent, with menu 201 and the image strips of
// the test program's own resources: buttons and images, hot tracking,
// popups opened and closed by mouse and keyboard, commands reaching the
// parent, menu mode, the owner drawing of popup and context-menu items,
// and the look of the bar and an open popup.
#include "widgets/win32/command_bar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/win32/message_log.h"

namespace qm {
namespace {

constexpr UINT kBarId = 59393;
constexpr DWORD kScriptTickMs = 120;
constexpr DWORD kScriptTimeoutMs = 8000;

COLORREF ToColorref(ColorRef color) {
    return static_cast<COLORREF>(color.value);
}
ColorRef SystemColor(int index) {
    return ColorRef{static_cast<uint32_t>(GetSysColor(index))};
}
CommandBarColors Colors() {
    return CommandBarColorsFor(SystemColor(COLOR_BTNFACE), SystemColor(COLOR_HIGHLIGHT));
}

// The parent: logs WM_COMMAND; an edit child holds the keyboard before
// menu mode.
struct BarParent {
    MessageLog log;
    HWND window = nullptr;
    HWND edit = nullptr;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BarParent*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND && lParam == 0) self->log.Add(message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }

    BarParent() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &BarParent::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "QmCommandBarTestParent";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, "QmCommandBarTestParent", "bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                 520, 320, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 200, 22, window,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~BarParent() { DestroyWindow(window); }
};

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Steps run one per timer tick, also while a menu loop is running (the
// menu loop dispatches timer messages); the script ends when every step has
// run and the bar has no popup open or pending. A watchdog ends any menu
// still open at the timeout, so a test can never hang.
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
        const size_t step = self->next_++;
        self->steps_[step]();
    }

    static inline MenuScript* current_ = nullptr;
    CommandBar& bar_;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
};

LPARAM PointParam(POINT point) {
    return MAKELPARAM(point.x, point.y);
}

POINT Centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A 32-bit memory canvas to paint into and read back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // How many pixels of the rectangle have the colour.
    int Count(const RECT& rect, COLORREF color) const {
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == color ? 1 : 0;
        }
        return count;
    }
    // Writes the canvas as a 24-bit BMP file.
    bool Save(const std::string& path) const {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        const int stride = (width_ * 3 + 3) & ~3;
        std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height_);
        if (!GetDIBits(dc_, bitmap_, 0, height_, pixels.data(), &info, DIB_RGB_COLORS)) return false;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) return false;
        const bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                             std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                             std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
        return std::fclose(out) == 0 && written;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

class CommandBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent_.window);
        const HINSTANCE module = GetModuleHandleA(nullptr);
        ASSERT_TRUE(bar_.Create(module, parent_.window, RECT{0, 0, 400, 22}, 0, kBarId));
        ASSERT_TRUE(bar_.AttachMenu(module, IDR_QM_MAIN_MENU));
        bar_.SetImageMaskColor(RGB(255, 0, 255));
        ASSERT_TRUE(bar_.LoadImages(module, IDB_QM_TOOLBAR));
        bar_.SetCommandBarExtendedStyle(CommandBar::kAllExtendedStyles);
        SetForegroundWindow(parent_.window);
        SetFocus(parent_.edit);
        Pump();
        parent_.log.Clear();
    }

    POINT ButtonCentre(int button) const { return Centre(bar_.ButtonRect(button)); }

    void Click(int button) {
        SendMessageA(bar_.window(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(ButtonCentre(button)));
        SendMessageA(bar_.window(), WM_LBUTTONUP, 0, PointParam(ButtonCentre(button)));
    }

    void PostKey(UINT key) {
        PostMessageA(bar_.window(), WM_KEYDOWN, key, 1);
        PostMessageA(bar_.window(), WM_KEYUP, key, 0xC0000001);
    }

    HMENU Popup(int button) const { return GetSubMenu(bar_.menu(), button); }

    BarParent parent_;
    CommandBar bar_;
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
    EXPECT_EQ(bar_.ButtonText(5), "");
    EXPECT_GE(bar_.IdealSize().cx, previousRight);

    EXPECT_EQ(bar_.imageSize().cx, 16);
    EXPECT_EQ(bar_.imageSize().cy, 16);
    ASSERT_TRUE(bar_.images());
    EXPECT_EQ(ImageList_GetImageCount(bar_.images()), 23);
    // The strip's own resource names each image's command.
    for (int image = 0; image < 23; ++image) {
        EXPECT_EQ(bar_.ImageIndexOf(kCommandBarImageCommands[static_cast<size_t>(image)]), image) << image;
    }
    EXPECT_EQ(bar_.ImageIndexOf(32791), -1);  // Delete Selected Items has none
}

TEST_F(CommandBarTest, MissingResourcesFailWithoutLosingWhatWasLoaded) {
    EXPECT_FALSE(bar_.LoadImages(GetModuleHandleA(nullptr), 9999));
    EXPECT_EQ(ImageList_GetImageCount(bar_.images()), 23);
    EXPECT_FALSE(bar_.AttachMenu(GetModuleHandleA(nullptr), 9999));
    EXPECT_EQ(bar_.model().buttonCount(), 5);
}

TEST_F(CommandBarTest, PointerMakesButtonsHot) {
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, PointParam(ButtonCentre(1)));
    EXPECT_EQ(bar_.model().hotButton(), 1);
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, PointParam(ButtonCentre(3)));
    EXPECT_EQ(bar_.model().hotButton(), 3);
    // Right of the last button there is no button.
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, MAKELPARAM(395, 10));
    EXPECT_EQ(bar_.model().hotButton(), -1);
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, PointParam(ButtonCentre(0)));
    SendMessageA(bar_.window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar_.model().hotButton(), -1);
    EXPECT_EQ(bar_.model().openPopup(), -1);
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
        ownerDrawnWhileOpen = (ItemInfo(Popup(0), 0, text, sizeof(text)).fType & MFT_OWNERDRAW) != 0;
        PostKey(VK_DOWN);
        PostKey(VK_RETURN);
    });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(menusSeen, 1u);
    EXPECT_TRUE(ownerDrawnWhileOpen);
    EXPECT_TRUE(ExpectSequence(
        parent_.log, {{WM_COMMAND, kExpectWParam | kExpectLParam, 0, -1, -1, 32768, 0}}, "Refresh chosen"));
    EXPECT_EQ(bar_.model().openPopup(), -1);
    EXPECT_FALSE(bar_.model().menuMode());

    // The items have their own type and text back once the menu is closed.
    char text[64] = {};
    const MENUITEMINFOA item = ItemInfo(Popup(0), 0, text, sizeof(text));
    EXPECT_EQ(item.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(item.dwItemData, 0u);
    EXPECT_STREQ(text, "Refresh");
}

TEST_F(CommandBarTest, EscapeInPopupReturnsToMenuModeAndEscapeLeavesIt) {
    Click(1);
    MenuScript script(bar_);
    script.Add([&] { PostKey(VK_ESCAPE); });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(parent_.log.entries().size(), 0u) << parent_.log.ToString();
    EXPECT_TRUE(bar_.model().menuMode());
    EXPECT_EQ(bar_.model().hotButton(), 1);
    EXPECT_EQ(GetFocus(), bar_.window());

    SendMessageA(bar_.window(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(bar_.model().menuMode());
    EXPECT_EQ(bar_.model().hotButton(), -1);
    EXPECT_EQ(GetFocus(), parent_.edit);
}

// The menu loop's keys reach the model with the depth of open menus and
// whether the selected item has a submenu, and a switch the model asks for
// closes one popup and opens the next.
TEST_F(CommandBarTest, RightOnSubmenuItemOpensTheSubmenuNotTheNextPopup) {
    Click(0);
    size_t menusInSubmenu = 0;
    int openInSubmenu = -1;
    int afterLeft = -1;
    MenuScript script(bar_);
    // File: Refresh, -, Save History, Save Cookie List, Save Cache List, -, Advanced.
    script.Add([&] { PostKey(VK_UP); });  // wraps to Advanced
    script.Add([&] { PostKey(VK_RIGHT); });
    script.Add([&] {
        menusInSubmenu = bar_.openMenus().size();
        openInSubmenu = bar_.model().openPopup();
        PostKey(VK_LEFT);  // closes only the submenu
    });
    script.Add([&] {
        EXPECT_EQ(bar_.model().openPopup(), 0);
        EXPECT_EQ(bar_.openMenus().size(), 1u);
        PostKey(VK_LEFT);  // from the first popup to the last
    });
    script.Add([&] {
        afterLeft = bar_.model().openPopup();
        PostKey(VK_ESCAPE);
    });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(menusInSubmenu, 2u);
    EXPECT_EQ(openInSubmenu, 0);
    EXPECT_EQ(afterLeft, 4);
    EXPECT_EQ(parent_.log.entries().size(), 0u) << parent_.log.ToString();
}

TEST_F(CommandBarTest, PointerOnAnotherButtonSwitchesPopup) {
    Click(0);
    int afterMove = -1;
    MenuScript script(bar_);
    script.Add([&] { PostMessageA(bar_.window(), WM_MOUSEMOVE, 0, PointParam(ButtonCentre(2))); });
    script.Add([&] {
        afterMove = bar_.model().openPopup();
        PostKey(VK_ESCAPE);
    });
    ASSERT_TRUE(script.Run());
    EXPECT_EQ(afterMove, 2);
}

TEST_F(CommandBarTest, KeyboardMenuModeMovesOpensAndSwallows) {
    // F10 and a lone Alt reach the parent as the keyboard-menu command.
    EXPECT_EQ(SendMessageA(parent_.window, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_TRUE(bar_.model().menuMode());
    EXPECT_TRUE(bar_.model().accessKeysShown());
    EXPECT_EQ(bar_.model().hotButton(), 0);
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
    EXPECT_TRUE(
        ExpectSequence(parent_.log, {{WM_COMMAND, kExpectWParam, 0, -1, -1, 32771, 0}}, "History..."));
    EXPECT_FALSE(bar_.model().menuMode());
    EXPECT_EQ(GetFocus(), parent_.edit);
}

TEST(CommandBarInChildTest, DeactivatingTheTopLevelWindowLeavesMenuMode) {
    // As in the browser: the bar's parent is a child window (the band's
    // view), which never hears of activation; the top-level window does.
    BarParent top;
    ASSERT_TRUE(top.window);
    const HINSTANCE module = GetModuleHandleA(nullptr);
    const HWND view = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 100, top.window,
                                      nullptr, module, nullptr);
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
        SendMessageA(top.window, deactivation.message, deactivation.wParam, 0);
        EXPECT_FALSE(bar.model().menuMode()) << "message " << deactivation.message;
        EXPECT_EQ(bar.model().hotButton(), -1) << "message " << deactivation.message;
        DestroyWindow(bar.window());
    }
}

TEST_F(CommandBarTest, AnswersTheGetBarMessageWithItselfAndTheProcess) {
    const UINT message = RegisterWindowMessageA("WTL_CmdBar_InternalGetBarMsg");
    DWORD process = 0;
    EXPECT_EQ(
        reinterpret_cast<HWND>(SendMessageA(bar_.window(), message, reinterpret_cast<WPARAM>(&process), 0)),
        bar_.window());
    EXPECT_EQ(process, GetCurrentProcessId());
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(bar_.window(), message, 0, 0)), bar_.window());
    ShowWindow(bar_.window(), SW_HIDE);
    EXPECT_EQ(SendMessageA(bar_.window(), message, 0, 0), 0);
}

TEST(CommandBarMenuOwnership, SharedMenuOutlivesTheBarOwnMenuDoesNot) {
    BarParent parent;
    HMENU shared = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_QM_MAIN_MENU));
    HMENU owned = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_QM_MAIN_MENU));
    {
        CommandBar sharing;
        ASSERT_TRUE(sharing.Create(GetModuleHandleA(nullptr), parent.window, RECT{0, 0, 300, 22}, 0, 1));
        sharing.SetCommandBarExtendedStyle(kCommandBarShareMenu, kCommandBarShareMenu);
        ASSERT_TRUE(sharing.AttachMenu(shared));
        CommandBar owning;
        ASSERT_TRUE(owning.Create(GetModuleHandleA(nullptr), parent.window, RECT{0, 30, 300, 52}, 0, 2));
        ASSERT_TRUE(owning.AttachMenu(owned));
        EXPECT_EQ(owning.model().buttonCount(), 5);
    }
    EXPECT_TRUE(IsMenu(shared));
    EXPECT_FALSE(IsMenu(owned));
    DestroyMenu(shared);
}

TEST_F(CommandBarTest, BarPaintsGradientAndHotFrame) {
    const CommandBarColors colors = Colors();
    {
        Canvas canvas(400, 22);
        SendMessageA(bar_.window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
        EXPECT_EQ(canvas.At(395, 0), ToColorref(colors.barTop));
        EXPECT_EQ(canvas.At(395, 21), ToColorref(colors.barBottom));
        const RECT button = bar_.ButtonRect(1);
        EXPECT_NE(canvas.At(button.left + 3, 0), ToColorref(colors.hotOuter));
    }
    SendMessageA(bar_.window(), WM_MOUSEMOVE, 0, PointParam(ButtonCentre(1)));
    Canvas canvas(400, 22);
    SendMessageA(bar_.window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    const RECT button = bar_.ButtonRect(1);
    EXPECT_EQ(canvas.At(button.left + 3, button.top), ToColorref(colors.hotOuter));
    EXPECT_EQ(canvas.At(button.left + 3, button.top + 2), ToColorref(colors.hotGradientTop));
    // Hot, not pressed: the text is black.
    EXPECT_GT(canvas.Count(button, RGB(0, 0, 0)), 5);
}

// ---- the context-menu drawing ----

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
    }

    ULONG_PTR DataOf(UINT position) const {
        char text[64] = {};
        return ItemInfo(menu_, position, text, sizeof(text)).dwItemData;
    }

    MEASUREITEMSTRUCT Measure(UINT position) {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = DataOf(position);
        LRESULT result = 0;
        EXPECT_TRUE(
            bar_.HandleContextMenuMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), &result));
        EXPECT_EQ(result, TRUE);
        return measure;
    }

    void Draw(Canvas& canvas, UINT position, UINT state, int width = 220, int height = 24) {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = 0;
        draw.itemState = state;
        draw.hDC = canvas.dc();
        draw.rcItem = RECT{0, 0, width, height};
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

TEST_F(ContextMenuDrawingTest, MeasuredSizesFollowTextAndSeparator) {
    bar_.HandleContextMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_), 0, nullptr);
    const MEASUREITEMSTRUCT open = Measure(0);
    const MEASUREITEMSTRUCT longer = Measure(3);
    const MEASUREITEMSTRUCT separator = Measure(2);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(separator.itemHeight, static_cast<UINT>(GetSystemMetrics(SM_CYMENU) / 2));
    // At least as tall as a bar button (16-pixel images and 6 more).
    EXPECT_GE(open.itemHeight, 22u);
    EXPECT_EQ(open.itemHeight, longer.itemHeight);
    // Image column, text and accelerator all fit.
    EXPECT_GT(longer.itemWidth, open.itemWidth + 40);
    EXPECT_GT(open.itemWidth, 2u * 16u);
}

TEST_F(ContextMenuDrawingTest, ItemsDrawImageColumnImagesAndShadows) {
    bar_.HandleContextMenuMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_), 0, nullptr);
    const CommandBarColors colors = Colors();
    const COLORREF column = ToColorref(colors.imageColumn);
    const COLORREF background = ToColorref(colors.itemBackground);
    const RECT imageArea{3, 4, 19, 20};

    {  // An item with an image: the coloured image over the column.
        Canvas canvas(220, 24);
        Draw(canvas, 0, 0);
        EXPECT_EQ(canvas.At(1, 1), column);
        EXPECT_EQ(canvas.At(200, 1), background);
        EXPECT_GT(256 - canvas.Count(imageArea, column), 20);
    }
    {  // "Delete Selected Items" has no image: the column stays empty.
        Canvas canvas(220, 24);
        Draw(canvas, 3, 0);
        EXPECT_EQ(canvas.Count(RECT{0, 0, 22, 24}, column), 22 * 24);
        // Text and accelerator were drawn in the menu text colour.
        EXPECT_GT(canvas.Count(RECT{30, 0, 150, 24}, GetSysColor(COLOR_MENUTEXT)), 10);
        EXPECT_GT(canvas.Count(RECT{170, 0, 208, 24}, GetSysColor(COLOR_MENUTEXT)), 3);
    }
    {  // Grayed: only the one-colour shadow, never the coloured image.
        Canvas canvas(220, 24);
        Draw(canvas, 1, ODS_GRAYED);
        const int shadow = canvas.Count(imageArea, ToColorref(colors.grayedImageShadow));
        EXPECT_GT(shadow, 20);
        EXPECT_EQ(shadow + canvas.Count(imageArea, column), 256);
    }
    {  // Selected: the hot frame over the whole item, the image raised.
        Canvas canvas(220, 24);
        Draw(canvas, 0, ODS_SELECTED);
        EXPECT_EQ(canvas.At(100, 0), ToColorref(colors.hotOuter));
        EXPECT_EQ(canvas.At(100, 23), ToColorref(colors.hotOuter));
        EXPECT_GT(canvas.Count(RECT{4, 5, 20, 21}, ToColorref(colors.selectedImageShadow)), 3);
    }
    {  // The separator line across the middle, past the image column.
        Canvas canvas(220, 9);
        Draw(canvas, 2, 0, 220, 9);
        EXPECT_EQ(canvas.At(16 + 8, 4), ToColorref(colors.separator));
        EXPECT_EQ(canvas.At(217, 4), ToColorref(colors.separator));
        EXPECT_EQ(canvas.At(16 + 5, 4), column);
        EXPECT_EQ(canvas.At(16 + 7, 4), background);
        EXPECT_EQ(canvas.At(100, 1), background);
    }
}

// The bar with a popup open, as the screen shows it: the popup's items in
// the flat look. With QM_SCREENSHOT set, the screen is saved there as BMP.
TEST_F(CommandBarTest, OpenPopupShowsTheFlatLookOnScreen) {
    MoveWindow(parent_.window, 20, 20, 520, 320, TRUE);
    Pump();
    Click(0);
    bool captured = false;
    COLORREF columnPixel = 0, backgroundPixel = 0;
    RECT menuRect{};
    MenuScript script(bar_);
    script.Add([&] { PostKey(VK_DOWN); });
    script.Add([&] {
        if (bar_.openMenus().empty()) return;
        GetWindowRect(bar_.openMenus().front(), &menuRect);
        HDC screen = GetDC(nullptr);
        Canvas canvas(560, 360);
        BitBlt(canvas.dc(), 0, 0, 560, 360, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
        captured = true;
        // The "Save History..." row: image column at the left, item
        // background towards the right.
        const int y = menuRect.top + 3 + 22 + GetSystemMetrics(SM_CYMENU) / 2 + 11;
        columnPixel = canvas.At(menuRect.left + 5, y);
        backgroundPixel = canvas.At(menuRect.right - 8, y);
        if (const char* path = std::getenv("QM_SCREENSHOT")) {
            EXPECT_TRUE(canvas.Save(path));
        }
        PostKey(VK_ESCAPE);
    });
    ASSERT_TRUE(script.Run());
    ASSERT_TRUE(captured);
    const CommandBarColors colors = Colors();
    EXPECT_EQ(columnPixel, ToColorref(colors.imageColumn));
    EXPECT_EQ(backgroundPixel, ToColorref(colors.itemBackground));
}

}  // namespace
}  // namespace qm
