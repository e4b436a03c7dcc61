// CommandBar: the menu bar of a window that has none of its own. It is a
// toolbar of class "WTL_CommandBarXP" (a superclass of the system's
// "ToolbarWindow32") with one text button per top-level popup of the
// attached menu; a button opens its popup as a drop-down menu, and every
// popup item is drawn by the bar in a flat look with a 16 x 16 image
// beside each command that has one.
//
// Which button is hot, which popup is open and what Alt, F10, the arrows
// and Esc do are decided by the CommandBarModel; this window turns mouse,
// key and menu messages into calls on it and carries out the answer. While
// a popup is tracked the bar watches the popup-menu windows of its thread
// (class "#32768") and the keys and mouse moves inside the menu loop, so
// that Left and Right and a move onto another button switch popups.
//
// The bar subclasses its parent to see the messages a menu bar needs from
// it: the keyboard-menu command (F10, Alt), deactivation and changes of
// the system's menu settings. Chosen commands reach the parent as
// WM_COMMAND with the item's id.
//
// The popup items are drawn by a MenuItemPainter, which serves the
// parent's context menus too: while the parent tracks a menu of its own,
// it hands WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM and WM_MENUSELECT
// to HandleContextMenuMessage, which draws the items with the images
// given to SetContextMenuImages.
//
// Ownership: the object is owned by whoever creates it and must outlive
// its window; the window is a child of the parent and goes with it. The
// bar owns its toolbar image list, its painter, and the attached menu unless
// the share-menu style is set. The context-menu image list is borrowed.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/gdi.h"
#include "platform/win32/unique_handle.h"
#include "widgets/command_bar_model.h"
#include "widgets/win32/menu_item_painter.h"

namespace qm {

class CommandBar {
public:
    // The styles the main view gives the bar: WS_CHILD, WS_VISIBLE,
    // WS_CLIPSIBLINGS, WS_CLIPCHILDREN, CCS_NODIVIDER, CCS_NORESIZE,
    // CCS_NOPARENTALIGN, TBSTYLE_FLAT and TBSTYLE_LIST.
    static constexpr DWORD kDefaultStyle = 0x5600184C;
    // Every extended style bit (transparent, share menu, Alt focus mode,
    // track always).
    static constexpr DWORD kAllExtendedStyles =
        kCommandBarTransparent | kCommandBarShareMenu | kCommandBarAltFocusMode | kCommandBarTrackAlways;

    CommandBar();
    ~CommandBar();
    CommandBar(const CommandBar&) = delete;
    CommandBar& operator=(const CommandBar&) = delete;

    // Registers the "WTL_CommandBarXP" class in `instance` when needed and
    // creates the bar as a child of `parent` with control id `id`; a style
    // of 0 means kDefaultStyle. The parent is subclassed for as long as the
    // bar lives. Null when the window could not be made.
    HWND Create(HINSTANCE instance, HWND parent, const RECT& rect, DWORD style, UINT id);
    // Destroys the window (it would go with its parent anyway).
    void Destroy();

    // Loads menu `menuId` from `module` and attaches it; the bar keeps it
    // and destroys it at the end unless the share-menu style is set. False
    // when the menu cannot be loaded (the bar then shows no buttons).
    bool AttachMenu(HINSTANCE module, UINT menuId);
    // Attaches a menu the caller made, with the same ownership rule; null
    // detaches. One text button per top-level popup, in menu order.
    bool AttachMenu(HMENU menu);
    HMENU menu() const { return menu_; }

    // Colour treated as transparent in the images loaded next (0xFF00FF
    // in the main view). Set it before LoadImages.
    void SetImageMaskColor(COLORREF color) { maskColor_ = color; }
    COLORREF imageMaskColor() const { return maskColor_; }

    // Loads the images of toolbar resource `toolbarId` (the command id of
    // each image) and of the bitmap of the same id. The image size comes
    // from the toolbar resource (16 x 15 before any images are loaded) and
    // the button height follows from it. False when either resource is
    // missing or malformed; the images loaded before stay.
    bool LoadImages(HINSTANCE module, UINT toolbarId);
    // The image of `command` among the loaded ones, -1 when it has none.
    int ImageIndexOf(UINT command) const;
    HIMAGELIST images() const { return images_.get(); }
    SIZE imageSize() const { return imageSize_; }

    // Sets the extended styles selected by `mask` (all of them when mask
    // is 0) and returns the previous styles.
    DWORD SetCommandBarExtendedStyle(DWORD style, DWORD mask = 0);
    DWORD commandBarExtendedStyle() const { return extendedStyle_; }

    // The size the bar needs to show all its buttons on one row, for the
    // parent's layout.
    SIZE IdealSize() const;

    // ---- the parent's context menus ----

    // The images drawn beside context-menu items: `images` is borrowed
    // (the parent keeps it alive while the bar may draw with it) and
    // `commands` says which image each command gets; the default is the
    // table for the context menus' image strip.
    void SetContextMenuImages(HIMAGELIST images, std::span<const MenuImage> commands = kContextMenuImages);
    // To be called by the parent's window procedure, while a context menu
    // of its own is being tracked, with WM_INITMENUPOPUP, WM_MEASUREITEM,
    // WM_DRAWITEM and WM_MENUSELECT. True when the message was one of the
    // bar's (then `*result`, when given, is what to return); false for any
    // other message or an item the bar did not make owner-drawn.
    bool HandleContextMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // ---- state, for the parent and tests ----

    HWND window() const { return window_; }
    HWND parent() const { return parent_; }
    const CommandBarModel& model() const { return model_; }
    // The popup-menu windows open now, outermost first.
    const std::vector<HWND>& openMenus() const { return openMenus_; }
    // The text of top-level button `button` (with its '&' marks).
    std::string ButtonText(int button) const;
    // The rectangle of button `button` in the bar's client coordinates.
    RECT ButtonRect(int button) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    static LRESULT CALLBACK MessageFilterHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static bool EnsureClass(HINSTANCE instance);

    struct MessageEntry {
        UINT message;
        LRESULT (CommandBar::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);

    LRESULT OnParentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

    LRESULT OnAutoPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetBar(WPARAM wParam, LPARAM lParam);

    void Carry(BarAction action);
    void SyncFocus();
    void TrackPopup(int button);
    void SwitchPopup(int button);
    bool FilterMenuMessage(MSG& message);
    int HitButton(POINT client) const;
    void RebuildButtons();
    MenuImageSources ImageSources() const;
    void Redraw();
    void Paint(HDC dc);
    void PaintButton(HDC dc, int button);

    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    // The top-level window above the parent, watched for its deactivation
    // (a child parent never hears of it); null when it is the parent or
    // belongs to another thread.
    HWND topLevel_ = nullptr;
    HMENU menu_ = nullptr;
    bool ownsMenu_ = false;
    CommandBarModel model_;
    DWORD extendedStyle_ = 0;
    COLORREF maskColor_ = RGB(192, 192, 192);
    SIZE imageSize_{16, 15};

    struct ImageListDeleter {
        void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
    };
    UniqueHandle<HIMAGELIST, ImageListDeleter> images_;
    std::vector<MenuImage> imageCommands_;  // each image's command, in strip order
    HIMAGELIST contextImages_ = nullptr;
    std::vector<MenuImage> contextImageCommands_;

    MenuItemPainter painter_;

    // Menu-loop state.
    HWND focusBefore_ = nullptr;
    bool trackingPopup_ = false;
    int pendingPopup_ = -1;
    bool selectedHasPopup_ = false;
    bool mouseTracked_ = false;
    POINT lastMenuMouse_{-1, -1};
    std::vector<HWND> openMenus_;
    HHOOK cbtHook_ = nullptr;
    HHOOK filterHook_ = nullptr;
    bool openedByKeyboard_ = false;
    UINT autoPopupMessage_ = 0;
    UINT getBarMessage_ = 0;

    std::vector<std::string> buttonTexts_;
};

}  // namespace qm
