// MenuItemPainter: the flat owner drawing of popup-menu items, for the
// command bar's popups and for the context menus of the bar's parent.
//
// While a menu is tracked, WM_INITMENUPOPUP makes its plain items
// owner-drawn (each remembers its text, its command, the image of that
// command and whether it is the default item), WM_MEASUREITEM and
// WM_DRAWITEM measure and draw them with CommandBarModel's layout, and the
// closing WM_MENUSELECT gives every item its own type and text back. Where
// each part goes and which image, state and shadow an item gets are
// decided in command_bar_model; this file only carries it out.
//
// Ownership: the painter owns the menu fonts and what it remembers of the
// items; the menus and the image lists are borrowed, the image lists only
// for the one call that names them (MenuImageSources).
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/gdi.h"
#include "widgets/command_bar_model.h"

namespace qm {

// The images of one kind of menu and the image of each command.
struct MenuImageSource {
    HIMAGELIST images = nullptr;
    SIZE size{16, 15};
    std::span<const MenuImage> commands;
};

// What a call needs of the bar: its window (whose device context measures
// the text) and the images of its popups (whose height also sets every
// item's) and of the context menus.
struct MenuImageSources {
    HWND window = nullptr;
    MenuImageSource bar;
    MenuImageSource context;
};

class MenuItemPainter {
public:
    MenuItemPainter();
    ~MenuItemPainter();
    MenuItemPainter(const MenuItemPainter&) = delete;
    MenuItemPainter& operator=(const MenuItemPainter&) = delete;

    // The menu font and its bold form, from the system's settings.
    void LoadFonts();
    void FreeFonts();

    // WM_INITMENUPOPUP (of a popup that is not a window menu), and
    // WM_MEASUREITEM and WM_DRAWITEM of an item this painter converted:
    // true, with what to return in `*result` when given. WM_MENUSELECT
    // closing the menu restores its items and answers false, so that the
    // owner's own processing goes on; every other message answers false.
    // `contextMenu` says which images a newly opened popup's items get.
    bool HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                           const MenuImageSources& sources, bool contextMenu);
    // Gives every converted item its own type and text back.
    void RestoreMenus();

    // The text of a menu's item at `position` (cut to 255 bytes).
    static std::string ReadText(HMENU menu, UINT position);
    // The look shared with the bar's buttons, in the system's colours now.
    static CommandBarColors SystemColors();
    static void FillSolid(HDC dc, const RECT& rect, ColorRef color);
    static void FillGradient(HDC dc, const RECT& rect, ColorRef top, ColorRef bottom);
    // A hot top-level button or a selected item: a rounded frame, a lighter
    // rounded frame one pixel in, and a gradient two pixels in.
    static void DrawHotFrame(HDC dc, const RECT& rect, const CommandBarColors& colors);

private:
    struct ItemData;
    struct ConvertedMenu;

    void Convert(HMENU popup, const MenuImageSource& source, bool contextMenu);
    const ItemData* Find(ULONG_PTR data) const;
    void Measure(const ItemData& item, MEASUREITEMSTRUCT& measure, const MenuImageSources& sources) const;
    void Draw(const ItemData& item, const DRAWITEMSTRUCT& draw, const MenuImageSources& sources) const;

    UniqueFont menuFont_;
    UniqueFont boldMenuFont_;
    std::vector<std::unique_ptr<ItemData>> items_;
    std::vector<std::unique_ptr<ConvertedMenu>> convertedMenus_;
};

}  // namespace qm
