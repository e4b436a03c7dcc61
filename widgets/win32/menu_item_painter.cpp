#include "widgets/win32/menu_item_painter.h"

#include <algorithm>
#include <cstddef>

namespace qm {
namespace {

// The longest menu text kept; menu texts are short, longer ones are cut.
constexpr int kMaxMenuText = 256;

COLORREF ToColorref(ColorRef color) {
    return static_cast<COLORREF>(color.value);
}
ColorRef SystemColor(int index) {
    return ColorRef{static_cast<uint32_t>(GetSysColor(index))};
}

// Paints a one-colour silhouette of an image: the colour wherever the image
// is not transparent.
void DrawImageShadow(HDC dc, HIMAGELIST images, int image, PixelPoint at, ColorRef color) {
    int width = 0, height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height) || width <= 0 || height <= 0) return;
    MemoryDc maskDc(CreateCompatibleDC(dc));
    GdiObject mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!maskDc || !mask) return;
    Selection maskSelection(maskDc.get(), mask.get());
    // The mask: black where the image is, white where it is transparent.
    PatBlt(maskDc.get(), 0, 0, width, height, WHITENESS);
    ImageList_Draw(images, image, maskDc.get(), 0, 0, ILD_MASK);
    GdiObject brush(CreateSolidBrush(ToColorref(color)));
    Selection brushSelection(dc, brush.get());
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    // Where the source is black the brush, elsewhere the destination.
    BitBlt(dc, at.x, at.y, width, height, maskDc.get(), 0, 0, 0x00B8074A);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

// The system's check mark, drawn into a mask and painted in the text
// colour, centred in `box`.
void DrawCheckMark(HDC dc, const RECT& box) {
    const int markWidth = GetSystemMetrics(SM_CXMENUCHECK), markHeight = GetSystemMetrics(SM_CYMENUCHECK);
    MemoryDc markDc(CreateCompatibleDC(dc));
    GdiObject mark(CreateBitmap(markWidth, markHeight, 1, 1, nullptr));
    if (!markDc || !mark) return;
    Selection markSelection(markDc.get(), mark.get());
    RECT markRect{0, 0, markWidth, markHeight};
    DrawFrameControl(markDc.get(), &markRect, DFC_MENU, DFCS_MENUCHECK);
    const int x = box.left + (box.right - box.left - markWidth) / 2;
    const int y = box.top + (box.bottom - box.top - markHeight) / 2;
    BitBlt(dc, x, y, markWidth, markHeight, markDc.get(), 0, 0, SRCAND);
}

}  // namespace

struct MenuItemPainter::ItemData {
    std::string text;
    UINT originalType = 0;
    UINT command = 0;
    int image = -1;
    bool context = false;
    bool separator = false;
    bool isDefault = false;  // the menu's default item, measured and drawn in bold
};

struct MenuItemPainter::ConvertedMenu {
    HMENU menu = nullptr;
    std::vector<std::pair<UINT, ItemData*>> items;  // position, what it was
};

MenuItemPainter::MenuItemPainter() = default;

MenuItemPainter::~MenuItemPainter() {
    RestoreMenus();
}

std::string MenuItemPainter::ReadText(HMENU menu, UINT position) {
    char buffer[kMaxMenuText] = {};
    const int length = GetMenuStringA(menu, position, buffer, sizeof(buffer), MF_BYPOSITION);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<size_t>(std::min(length, kMaxMenuText - 1)));
}

CommandBarColors MenuItemPainter::SystemColors() {
    return CommandBarColorsFor(SystemColor(COLOR_BTNFACE), SystemColor(COLOR_HIGHLIGHT));
}

void MenuItemPainter::FillSolid(HDC dc, const RECT& rect, ColorRef color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const COLORREF previous = SetBkColor(dc, ToColorref(color));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void MenuItemPainter::FillGradient(HDC dc, const RECT& rect, ColorRef top, ColorRef bottom) {
    for (const GradientBand& band : VerticalGradientBands(top, bottom, rect.bottom - rect.top)) {
        const RECT part{rect.left, rect.top + band.top, rect.right, rect.top + band.bottom};
        FillSolid(dc, part, band.color);
    }
}

void MenuItemPainter::DrawHotFrame(HDC dc, const RECT& rect, const CommandBarColors& colors) {
    if (rect.right - rect.left < 5 || rect.bottom - rect.top < 5) return;
    {
        GdiObject pen(CreatePen(PS_SOLID, 1, ToColorref(colors.hotOuter)));
        GdiObject brush(CreateSolidBrush(ToColorref(colors.hotFill)));
        Selection penSelection(dc, pen.get());
        Selection brushSelection(dc, brush.get());
        RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, kCommandBarHotCorner,
                  kCommandBarHotCorner);
    }
    {
        GdiObject pen(CreatePen(PS_SOLID, 1, ToColorref(colors.hotInner)));
        Selection penSelection(dc, pen.get());
        Selection brushSelection(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1, kCommandBarHotInnerCorner,
                  kCommandBarHotInnerCorner);
    }
    const RECT inner{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
    FillGradient(dc, inner, colors.hotGradientTop, colors.hotGradientBottom);
}

void MenuItemPainter::LoadFonts() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        // Systems before Vista know the structure without its last field.
        metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
        if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
            GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(metrics.lfMenuFont), &metrics.lfMenuFont);
        }
    }
    menuFont_.reset(CreateFontIndirectA(&metrics.lfMenuFont));
    metrics.lfMenuFont.lfWeight = FW_BOLD;
    boldMenuFont_.reset(CreateFontIndirectA(&metrics.lfMenuFont));
}

void MenuItemPainter::FreeFonts() {
    menuFont_.reset();
    boldMenuFont_.reset();
}

bool MenuItemPainter::HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                                        const MenuImageSources& sources, bool contextMenu) {
    LRESULT answer = 0;
    bool handled = false;
    switch (message) {
        case WM_INITMENUPOPUP:
            if (!HIWORD(lParam) && wParam) {
                Convert(reinterpret_cast<HMENU>(wParam), contextMenu ? sources.context : sources.bar,
                        contextMenu);
                handled = true;
            }
            break;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            const ItemData* item =
                measure && measure->CtlType == ODT_MENU ? Find(measure->itemData) : nullptr;
            if (item) {
                Measure(*item, *measure, sources);
                answer = TRUE;
                handled = true;
            }
            break;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const ItemData* item = draw && draw->CtlType == ODT_MENU ? Find(draw->itemData) : nullptr;
            if (item) {
                if (draw->hDC) Draw(*item, *draw, sources);
                answer = TRUE;
                handled = true;
            }
            break;
        }
        case WM_MENUSELECT:
            // The menu closing: its items get their own looks back.
            if (HIWORD(wParam) == 0xFFFF && lParam == 0) RestoreMenus();
            break;
        default:
            break;
    }
    if (handled && result) *result = answer;
    return handled;
}

void MenuItemPainter::Convert(HMENU popup, const MenuImageSource& source, bool contextMenu) {
    if (!popup || !IsMenu(popup)) return;
    for (const auto& converted : convertedMenus_) {
        if (converted->menu == popup) return;  // opened again while still converted
    }
    const int imageCount = source.images ? ImageList_GetImageCount(source.images) : 0;
    auto converted = std::make_unique<ConvertedMenu>();
    converted->menu = popup;
    const int count = GetMenuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE;
        if (!GetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &item)) continue;
        // Someone else's drawing, or a bitmap item: left as it is.
        if (item.fType & (MFT_OWNERDRAW | MFT_BITMAP)) continue;
        auto data = std::make_unique<ItemData>();
        data->originalType = item.fType;
        data->command = item.wID;
        data->context = contextMenu;
        data->separator = (item.fType & MFT_SEPARATOR) != 0;
        data->isDefault = (item.fState & MFS_DEFAULT) != 0;
        if (!data->separator) {
            data->text = ReadText(popup, static_cast<UINT>(position));
            data->image = MenuImageIndex(source.commands, item.wID, imageCount);
        }
        MENUITEMINFOA owner = {};
        owner.cbSize = sizeof(owner);
        owner.fMask = MIIM_FTYPE | MIIM_DATA;
        owner.fType = item.fType | MFT_OWNERDRAW;
        owner.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
        if (!SetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &owner)) continue;
        converted->items.emplace_back(static_cast<UINT>(position), data.get());
        items_.push_back(std::move(data));
    }
    convertedMenus_.push_back(std::move(converted));
}

void MenuItemPainter::RestoreMenus() {
    for (const auto& converted : convertedMenus_) {
        if (!IsMenu(converted->menu)) continue;  // destroyed by its owner already
        for (const auto& [position, data] : converted->items) {
            MENUITEMINFOA item = {};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_FTYPE | MIIM_DATA;
            item.fType = data->originalType;
            item.dwItemData = 0;
            if (!data->separator) {
                item.fMask |= MIIM_STRING;
                item.dwTypeData = data->text.data();
                item.cch = static_cast<UINT>(data->text.size());
            }
            SetMenuItemInfoA(converted->menu, position, TRUE, &item);
        }
    }
    convertedMenus_.clear();
    items_.clear();
}

const MenuItemPainter::ItemData* MenuItemPainter::Find(ULONG_PTR data) const {
    if (data == 0) return nullptr;
    for (const auto& item : items_) {
        if (reinterpret_cast<ULONG_PTR>(item.get()) == data) return item.get();
    }
    return nullptr;
}

void MenuItemPainter::Measure(const ItemData& item, MEASUREITEMSTRUCT& measure,
                              const MenuImageSources& sources) const {
    MenuItemMetrics metrics;
    metrics.imageWidth = (item.context ? sources.context : sources.bar).size.cx;
    metrics.menuBarHeight = GetSystemMetrics(SM_CYMENU);
    metrics.checkMarkWidth = GetSystemMetrics(SM_CXMENUCHECK);
    metrics.buttonHeight = sources.bar.size.cy + 6;
    int textWidth = 0;
    if (const WindowDc windowDc(sources.window); windowDc) {
        const HDC dc = windowDc.get();
        HFONT font = menuFont_ ? menuFont_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        // Undone before the context goes back: declared after it.
        Selection fontSelection(dc, font);
        TEXTMETRICA textMetrics = {};
        GetTextMetricsA(dc, &textMetrics);
        metrics.fontHeight = textMetrics.tmHeight;
        if (item.isDefault && boldMenuFont_) SelectObject(dc, boldMenuFont_.get());
        if (!item.separator) {
            const auto [label, accelerator] = SplitMenuText(item.text);
            RECT bounds{};
            DrawTextA(dc, label.data(), static_cast<int>(label.size()), &bounds, DT_SINGLELINE | DT_CALCRECT);
            textWidth = bounds.right - bounds.left;
            if (!accelerator.empty()) {
                RECT extra{};
                DrawTextA(dc, accelerator.data(), static_cast<int>(accelerator.size()), &extra,
                          DT_SINGLELINE | DT_CALCRECT);
                textWidth += extra.right - extra.left + kMenuItemGap;
            }
        }
    }
    const MenuItemSize size = MeasureMenuItem(metrics, item.separator, textWidth);
    measure.itemWidth = static_cast<UINT>(size.width);
    measure.itemHeight = static_cast<UINT>(size.height);
}

void MenuItemPainter::Draw(const ItemData& item, const DRAWITEMSTRUCT& draw,
                           const MenuImageSources& sources) const {
    HDC dc = draw.hDC;
    const RECT& rect = draw.rcItem;
    const MenuImageSource& source = item.context ? sources.context : sources.bar;
    const CommandBarColors colors = SystemColors();
    const MenuItemLayout layout =
        LayoutMenuItem(PixelRect{rect.left, rect.top, rect.right, rect.bottom}, source.size.cx);
    MenuItemState state;
    state.separator = item.separator;
    state.selected = (draw.itemState & ODS_SELECTED) != 0;
    state.grayed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    state.checked = (draw.itemState & ODS_CHECKED) != 0;
    const MenuItemDrawing drawing = DrawMenuItem(layout, colors, state, source.images ? item.image : -1);
    const RECT column{layout.imageColumn.left, layout.imageColumn.top, layout.imageColumn.right,
                      layout.imageColumn.bottom};

    if (drawing.hotFrame) {
        DrawHotFrame(dc, rect, colors);
    } else {
        FillSolid(dc, column, colors.imageColumn);
        FillSolid(dc, RECT{column.right, rect.top, rect.right, rect.bottom}, colors.itemBackground);
    }
    if (item.separator) {
        GdiObject pen(CreatePen(PS_SOLID, 1, ToColorref(colors.separator)));
        Selection penSelection(dc, pen.get());
        MoveToEx(dc, layout.separatorLeft, layout.separatorY, nullptr);
        LineTo(dc, layout.separatorRight, layout.separatorY);
        return;
    }
    if (drawing.checkBox) {
        const RECT box{rect.left + 1, rect.top + 1, column.right - 1, rect.bottom - 1};
        GdiObject pen(CreatePen(PS_SOLID, 1, ToColorref(colors.checkFrame)));
        GdiObject brush(CreateSolidBrush(ToColorref(*drawing.checkBox)));
        {
            Selection penSelection(dc, pen.get());
            Selection brushSelection(dc, brush.get());
            Rectangle(dc, box.left, box.top, box.right, box.bottom);
        }
        if (drawing.checkMark) DrawCheckMark(dc, box);
    }
    if (drawing.shadow) DrawImageShadow(dc, source.images, item.image, *drawing.shadow, drawing.shadowColor);
    if (drawing.image) {
        ImageList_Draw(source.images, item.image, dc, drawing.image->x, drawing.image->y, ILD_TRANSPARENT);
    }

    HFONT font = (item.isDefault || (draw.itemState & ODS_DEFAULT)) && boldMenuFont_ ? boldMenuFont_.get()
                 : menuFont_                                                         ? menuFont_.get()
                             : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Selection fontSelection(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state.grayed ? ToColorref(colors.separator) : GetSysColor(COLOR_MENUTEXT));
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (draw.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
    const auto [label, accelerator] = SplitMenuText(item.text);
    RECT labelRect{layout.textLeft, rect.top, rect.right, rect.bottom};
    DrawTextA(dc, label.data(), static_cast<int>(label.size()), &labelRect, format | DT_LEFT);
    if (!accelerator.empty()) {
        RECT acceleratorRect{layout.textLeft, rect.top, layout.acceleratorRight, rect.bottom};
        DrawTextA(dc, accelerator.data(), static_cast<int>(accelerator.size()), &acceleratorRect,
                  format | DT_RIGHT);
    }
}

}  // namespace qm
