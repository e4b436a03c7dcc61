#include "widgets/win32/list_ctrl.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "resources/resource.h"

namespace qm {
namespace {

// Posted to itself after the rows change: the scroll bars are brought up
// to date once for a whole batch of added rows.
constexpr UINT kRefreshScrollBars = WM_USER + 0x51;
constexpr UINT kAutoScrollMs = 50;
constexpr UINT kWidenColumnMs = 20;
constexpr int kWidenStep = 8;

HINSTANCE g_resourceModule = nullptr;

HINSTANCE ResourceModule() {
    return g_resourceModule ? g_resourceModule : GetModuleHandleA(nullptr);
}

COLORREF ToColorRef(ColorRef color) {
    return color.value;
}

ColorRef SystemColor(int index) {
    return ColorRef{static_cast<uint32_t>(GetSysColor(index)) & 0x00FFFFFFu};
}

unsigned KeyModifiers() {
    unsigned modifiers = 0;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kModifierShift;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kModifierControl;
    return modifiers;
}

unsigned MouseModifiers(WPARAM wParam) {
    return static_cast<unsigned>(wParam) & (kModifierShift | kModifierControl);
}

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

void FillSolid(HDC dc, const RECT& rect, ColorRef color) {
    SetBkColor(dc, ToColorRef(color));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, ColorRef color) {
    const GdiObject pen(CreatePen(PS_SOLID, 1, ToColorRef(color)));
    if (!pen) return;
    const Selection selection(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A rounded rectangle: filled with `fill` when given, outlined in `frame`.
void RoundedRect(HDC dc, const RECT& rect, int corner, ColorRef frame, const ColorRef* fill) {
    const GdiObject pen(CreatePen(PS_SOLID, 1, ToColorRef(frame)));
    const GdiObject brush(fill ? CreateSolidBrush(ToColorRef(*fill)) : nullptr);
    if (!pen || (fill && !brush)) return;
    const Selection penSelection(dc, pen.get());
    const Selection brushSelection(dc, brush ? brush.get() : GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
}

void FillGradient(HDC dc, const RECT& rect, ColorRef top, ColorRef bottom) {
    for (const GradientBand& band : VerticalGradientBands(top, bottom, rect.bottom - rect.top)) {
        const RECT bandRect{rect.left, rect.top + band.top, rect.right, rect.top + band.bottom};
        FillSolid(dc, bandRect, band.color);
    }
}

UINT AlignmentFlags(int alignment) {
    if (alignment & kListAlignCenter) return DT_CENTER;
    if (alignment & kListAlignRight) return DT_RIGHT;
    return DT_LEFT;
}

int ImageHeight(HIMAGELIST images) {
    int width = 0;
    int height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height)) return 0;
    return height;
}

int ImageWidth(HIMAGELIST images) {
    int width = 0;
    int height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height)) return 0;
    return width;
}

}  // namespace

const ListCtrl::MessageEntry ListCtrl::kMessages[] = {
    {WM_CREATE, &ListCtrl::OnCreate},
    {WM_DESTROY, &ListCtrl::OnDestroy},
    {WM_PAINT, &ListCtrl::OnPaint},
    {WM_PRINTCLIENT, &ListCtrl::OnPrintClient},
    {WM_ERASEBKGND, &ListCtrl::OnEraseBackground},
    {WM_SETFOCUS, &ListCtrl::OnFocusChange},
    {WM_KILLFOCUS, &ListCtrl::OnFocusChange},
    {WM_GETDLGCODE, &ListCtrl::OnGetDlgCode},
    {WM_SIZE, &ListCtrl::OnSize},
    {WM_HSCROLL, &ListCtrl::OnHScroll},
    {WM_VSCROLL, &ListCtrl::OnVScroll},
    {WM_CANCELMODE, &ListCtrl::OnCancelMode},
    {WM_CAPTURECHANGED, &ListCtrl::OnCaptureChanged},
    {WM_LBUTTONDOWN, &ListCtrl::OnLeftButtonDown},
    {WM_LBUTTONUP, &ListCtrl::OnLeftButtonUp},
    {WM_LBUTTONDBLCLK, &ListCtrl::OnLeftDoubleClick},
    {WM_RBUTTONDOWN, &ListCtrl::OnRightButtonDown},
    {WM_RBUTTONUP, &ListCtrl::OnRightButtonUp},
    {WM_MOUSEMOVE, &ListCtrl::OnMouseMove},
    {WM_MOUSELEAVE, &ListCtrl::OnMouseLeave},
    {kTitleTipLeftMessage, &ListCtrl::OnTitleTipLeft},
    {WM_MOUSEWHEEL, &ListCtrl::OnMouseWheel},
    {WM_SETCURSOR, &ListCtrl::OnSetCursor},
    {WM_TIMER, &ListCtrl::OnTimer},
    {WM_KEYDOWN, &ListCtrl::OnKeyDown},
    {WM_SYSKEYDOWN, &ListCtrl::OnSysKeyDown},
    {WM_SETTINGCHANGE, &ListCtrl::OnSystemChange},
    {WM_SYSCOLORCHANGE, &ListCtrl::OnSystemChange},
    {WM_FONTCHANGE, &ListCtrl::OnSystemChange},
    {WM_THEMECHANGED, &ListCtrl::OnSystemChange},
    {WM_NOTIFY, &ListCtrl::OnNotify},
    {kRefreshScrollBars, &ListCtrl::OnRefreshScrollBars},
};

void ListCtrl::SetResourceModule(HINSTANCE module) {
    g_resourceModule = module;
}

ListCtrl* ListCtrl::FromWindow(HWND window) {
    return reinterpret_cast<ListCtrl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

ListCtrl::ListCtrl(ListOptions options) : model_(clock_, options) {
    model_.SetSink(this);
}

ListCtrl::~ListCtrl() {
    Destroy();
    model_.SetSink(nullptr);
}

bool ListCtrl::RegisterListClass(HINSTANCE module) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExA(module, kListCtrlClass, &windowClass)) return true;
    windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &ListCtrl::WindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kListCtrlClass;
    return RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool ListCtrl::Create(HWND parent, const RECT& rect, DWORD style, int controlId) {
    if (window_) return false;
    const HINSTANCE module = ResourceModule();
    if (!RegisterListClass(module)) return false;
    controlId_ = controlId;
    // Children are never painted over; the frame is a static edge.
    style = (style | WS_CHILD | WS_CLIPCHILDREN) & ~static_cast<DWORD>(WS_BORDER);
    CreateWindowExA(WS_EX_STATICEDGE, kListCtrlClass, "", style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                    module, this);
    if (!window_) return false;
    if (!font_ || !titleTip_.window() || !dropArrows_.window()) {
        Destroy();
        return false;
    }
    return true;
}

void ListCtrl::Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
}

LRESULT CALLBACK ListCtrl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* list = static_cast<ListCtrl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        list->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(list));
    }
    ListCtrl* list = FromWindow(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (list) list->window_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!list) return DefWindowProcA(window, message, wParam, lParam);
    return list->Dispatch(message, wParam, lParam);
}

LRESULT ListCtrl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageEntry& entry : kMessages) {
        if (entry.message == message) return (this->*entry.handler)(wParam, lParam);
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

// ---- creation and system changes ----

LRESULT ListCtrl::OnCreate(WPARAM, LPARAM) {
    const HINSTANCE module = ResourceModule();
    sizeCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32644));   // IDC_SIZEWE
    handCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));   // IDC_HAND
    arrowCursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    // The strip is drawn by the product's art; without it the glyphs are
    // simply not drawn.
    glyphs_.reset(ImageList_LoadImageA(module, MAKEINTRESOURCEA(IDB_QM_LIST_GLYPHS), kListGlyphWidth, 0,
                                       RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    HeaderClipboardFormat();
    ReadSystemLook();
    if (!font_) return -1;
    titleTip_.Create(window_, module);
    dropArrows_.Create(window_, module);
    dropTarget_ = new (std::nothrow) HeaderDropTarget(this);
    // Without OLE on this thread there is no column dragging; the rest works.
    if (dropTarget_) dropRegistered_ = SUCCEEDED(RegisterDragDrop(window_, dropTarget_));
    return 0;
}

LRESULT ListCtrl::OnDestroy(WPARAM, LPARAM) {
    if (dropRegistered_) RevokeDragDrop(window_);
    dropRegistered_ = false;
    if (dropTarget_) {
        dropTarget_->Detach();
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
    titleTip_.Destroy();
    dropArrows_.Destroy();
    return 0;
}

void ListCtrl::ReadSystemLook() {
    system_ = ListSystemColors{SystemColor(COLOR_WINDOW),       SystemColor(COLOR_WINDOWTEXT),
                               SystemColor(COLOR_BTNFACE),      SystemColor(COLOR_BTNHIGHLIGHT),
                               SystemColor(COLOR_BTNSHADOW),    SystemColor(COLOR_HIGHLIGHT),
                               SystemColor(COLOR_HIGHLIGHTTEXT)};
    UINT lines = 3;
    wheelLines_ = SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)
                      ? (lines == WHEEL_PAGESCROLL ? -1 : static_cast<int>(lines))
                      : 3;

    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA logFont = {};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        logFont = metrics.lfMessageFont;
    } else {
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    }
    UniqueFont font(CreateFontIndirectA(&logFont));
    logFont.lfUnderline = TRUE;
    UniqueFont underlined(CreateFontIndirectA(&logFont));
    // A failed re-read keeps the fonts the list already has.
    if (font && underlined) {
        font_ = std::move(font);
        underlinedFont_ = std::move(underlined);
    }
    if (font_) {
        const WindowDc dc(window_);
        if (dc) {
            const Selection selection(dc.get(), font_.get());
            SIZE size = {};
            GetTextExtentPoint32A(dc.get(), "Height", 6, &size);
            metrics_.rowHeight = ListLineHeight(size.cy);
            metrics_.headerHeight = ListLineHeight(size.cy);
        }
    }
    metrics_.headerShown = model_.options().headerShown;
}

LRESULT ListCtrl::OnSystemChange(WPARAM, LPARAM) {
    // The tip draws with the font about to be replaced.
    HideTitleTip();
    ReadSystemLook();
    Redraw();
    return 0;
}

// ---- the owner's operations ----

int ListCtrl::AddColumn(std::string_view title, int width, int image, bool fixed, int reserved, int format) {
    const int column = model_.AddColumn(title, width, image, fixed, reserved, format);
    Changed();
    return column;
}

void ListCtrl::DeleteAllColumns() {
    HideTitleTip();
    model_.DeleteAllColumns();
    Changed();
}

bool ListCtrl::SetColumnWidth(int column, int width) {
    if (!model_.SetColumnWidth(column, width)) return false;
    Changed();
    return true;
}

int ListCtrl::AddRow(std::string_view text, int image, int format, int flags) {
    const int row = model_.AddRow(text, image, format, flags);
    if (row >= 0) Changed();
    return row;
}

bool ListCtrl::SetCellText(int row, int column, std::string_view text) {
    if (!model_.SetCellText(row, column, text)) return false;
    InvalidateRow(row);
    return true;
}

bool ListCtrl::SetCellImage(int row, int column, int image) {
    if (!model_.SetCellImage(row, column, image)) return false;
    InvalidateRow(row);
    return true;
}

bool ListCtrl::SetCellFormat(int row, int column, int format, int flags) {
    if (!model_.SetCellFormat(row, column, format, flags)) return false;
    InvalidateRow(row);
    return true;
}

bool ListCtrl::SetCellDate(int row, int column, FileTime date) {
    return model_.SetCellDate(row, column, date);  // a sort key: nothing to draw
}

bool ListCtrl::SetCellColors(int row, int column, ColorRef background, ColorRef text) {
    if (!model_.SetCellColors(row, column, background, text)) return false;
    InvalidateRow(row);
    return true;
}

bool ListCtrl::DeleteRow(int row) {
    HideTitleTip();
    if (!model_.DeleteRow(row)) return false;
    Changed();
    return true;
}

void ListCtrl::DeleteAllRows() {
    HideTitleTip();
    model_.DeleteAllRows();
    view_.scrollY = 0;
    Changed();
}

void ListCtrl::Select(int row, int column, unsigned modifiers) {
    model_.Select(row, column, modifiers);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

bool ListCtrl::HeaderClick(int column) {
    HideTitleTip();
    const HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // IDC_WAIT
    const bool sorted = model_.HeaderClick(column);
    SetCursor(previous);
    if (sorted && window_) InvalidateRect(window_, nullptr, FALSE);
    return sorted;
}

void ListCtrl::SetRowImageList(HIMAGELIST images) {
    rowImages_ = images;
    model_.SetRowImageWidth(ImageWidth(images));
    Changed();
}

void ListCtrl::Redraw() {
    if (!window_) return;
    UpdateScrollBars();
    InvalidateRect(window_, nullptr, FALSE);
}

void ListCtrl::Changed() {
    if (!window_) return;
    InvalidateRect(window_, nullptr, FALSE);
    if (!scrollRefreshPosted_) scrollRefreshPosted_ = PostMessageA(window_, kRefreshScrollBars, 0, 0) != 0;
}

LRESULT ListCtrl::OnRefreshScrollBars(WPARAM, LPARAM) {
    scrollRefreshPosted_ = false;
    UpdateScrollBars();
    return 0;
}

void ListCtrl::Notify(const ListNotify& notify) {
    if (!window_) return;
    ListNotifyRecord record = {};
    record.header.hwndFrom = window_;
    record.header.idFrom = static_cast<UINT_PTR>(controlId_);
    record.header.code = static_cast<UINT>(notify.code);
    record.row = notify.row;
    record.column = notify.column;
    record.key = 0;
    record.text = nullptr;
    record.date = nullptr;
    const HWND parent = GetParent(window_);
    if (parent)
        SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(controlId_), reinterpret_cast<LPARAM>(&record));
}

// ---- scrolling ----

void ListCtrl::UpdateScrollBars() {
    if (!window_) return;
    RECT client = {};
    GetClientRect(window_, &client);
    view_.width = client.right;
    view_.height = client.bottom;
    const std::vector<ColumnSpan> spans = Spans();
    const int rowCount = model_.RowCount();
    view_.scrollX = std::clamp(view_.scrollX, 0, MaxScrollX(spans, view_));
    view_.scrollY = std::clamp(view_.scrollY, 0, MaxScrollY(metrics_, view_, rowCount));

    SCROLLINFO vertical = {};
    vertical.cbSize = sizeof(vertical);
    vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    vertical.nMin = 0;
    const long long total = static_cast<long long>(rowCount) * metrics_.rowHeight;
    const int rowsHeight = std::max(view_.height - RowsTop(metrics_), 0);
    vertical.nMax = total > rowsHeight ? static_cast<int>(std::min<long long>(total, INT32_MAX)) - 1 : 0;
    vertical.nPage = total > rowsHeight ? static_cast<UINT>(rowsHeight) : 0;
    vertical.nPos = view_.scrollY;
    SetScrollInfo(window_, SB_VERT, &vertical, TRUE);

    SCROLLINFO horizontal = {};
    horizontal.cbSize = sizeof(horizontal);
    horizontal.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const int contentWidth = ContentWidth(spans);
    horizontal.nMax = contentWidth > view_.width ? contentWidth - 1 : 0;
    horizontal.nPage = contentWidth > view_.width ? static_cast<UINT>(view_.width) : 0;
    horizontal.nPos = view_.scrollX;
    SetScrollInfo(window_, SB_HORZ, &horizontal, TRUE);

    // Showing or hiding a bar changes the client size; follow it.
    RECT after = {};
    GetClientRect(window_, &after);
    if (after.right != view_.width || after.bottom != view_.height) {
        view_.width = after.right;
        view_.height = after.bottom;
        view_.scrollX = std::clamp(view_.scrollX, 0, MaxScrollX(spans, view_));
        view_.scrollY = std::clamp(view_.scrollY, 0, MaxScrollY(metrics_, view_, rowCount));
        SetScrollPos(window_, SB_VERT, view_.scrollY, TRUE);
        SetScrollPos(window_, SB_HORZ, view_.scrollX, TRUE);
    }
}

void ListCtrl::ScrollTo(int scrollX, int scrollY) {
    scrollX = std::clamp(scrollX, 0, MaxScrollX(Spans(), view_));
    scrollY = std::clamp(scrollY, 0, MaxScrollY(metrics_, view_, model_.RowCount()));
    if (scrollX == view_.scrollX && scrollY == view_.scrollY) return;
    HideTitleTip();
    view_.scrollX = scrollX;
    view_.scrollY = scrollY;
    SetScrollPos(window_, SB_VERT, view_.scrollY, TRUE);
    SetScrollPos(window_, SB_HORZ, view_.scrollX, TRUE);
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT ListCtrl::OnSize(WPARAM, LPARAM) {
    HideTitleTip();
    UpdateScrollBars();
    InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

LRESULT ListCtrl::OnVScroll(WPARAM wParam, LPARAM) {
    HideTitleTip();
    const int page = std::max(WholeVisibleRows(metrics_, view_), 1) * metrics_.rowHeight;
    int y = view_.scrollY;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            y -= metrics_.rowHeight;
            break;
        case SB_LINEDOWN:
            y += metrics_.rowHeight;
            break;
        case SB_PAGEUP:
            y -= page;
            break;
        case SB_PAGEDOWN:
            y += page;
            break;
        case SB_TOP:
            y = 0;
            break;
        case SB_BOTTOM:
            y = MaxScrollY(metrics_, view_, model_.RowCount());
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit track position: the message's own is 16 bits.
            SCROLLINFO info = {};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(window_, SB_VERT, &info)) y = info.nTrackPos;
            // Whole rows at the top.
            if (metrics_.rowHeight > 0) y -= y % metrics_.rowHeight;
            break;
        }
        default:
            return 0;
    }
    ScrollTo(view_.scrollX, y);
    return 0;
}

LRESULT ListCtrl::OnHScroll(WPARAM wParam, LPARAM) {
    HideTitleTip();
    int x = view_.scrollX;
    switch (LOWORD(wParam)) {
        case SB_LINELEFT:
            x -= 5;
            break;
        case SB_LINERIGHT:
            x += 5;
            break;
        case SB_PAGELEFT:
            x -= view_.width;
            break;
        case SB_PAGERIGHT:
            x += view_.width;
            break;
        case SB_LEFT:
            x = 0;
            break;
        case SB_RIGHT:
            x = MaxScrollX(Spans(), view_);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info = {};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(window_, SB_HORZ, &info)) x = info.nTrackPos;
            break;
        }
        default:
            return 0;
    }
    ScrollTo(x, view_.scrollY);
    return 0;
}

LRESULT ListCtrl::OnMouseWheel(WPARAM wParam, LPARAM) {
    HideTitleTip();
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    ScrollTo(view_.scrollX, WheelScrollY(metrics_, view_, model_.RowCount(), wheelLines_, delta));
    return 0;
}

// ---- helpers ----

void ListCtrl::InvalidateRow(int row) {
    if (!window_ || row < 0) return;
    const RECT rect =
        ToRect(RowRect(metrics_, view_, row, std::max(ContentWidth(Spans()), view_.width + view_.scrollX)));
    InvalidateRect(window_, &rect, FALSE);
}

void ListCtrl::InvalidateHeader() {
    if (!window_ || !metrics_.headerShown) return;
    const RECT rect{0, 0, view_.width, metrics_.headerHeight};
    InvalidateRect(window_, &rect, FALSE);
}

bool ListCtrl::InHeader(int y) const {
    return metrics_.headerShown && y >= 0 && y < metrics_.headerHeight;
}

int ListCtrl::ColumnAtClientX(int x) const {
    return ColumnAtX(Spans(), x + view_.scrollX);
}

int ListCtrl::TextWidth(std::string_view text) const {
    const WindowDc dc(window_);
    if (!dc) return 0;
    const Selection selection(dc.get(), font_.get());
    SIZE size = {};
    GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void ListCtrl::HideTitleTip() {
    titleTip_.Hide();
}

void ListCtrl::UpdateTitleTip(int x, int y) {
    const int row = InHeader(y) ? -1 : RowAtY(metrics_, view_, y, model_.RowCount());
    const std::vector<ColumnSpan> spans = Spans();
    const int contentX = x + view_.scrollX;
    const auto span = std::find_if(spans.begin(), spans.end(), [contentX](const ColumnSpan& s) {
        return contentX >= s.left && contentX < s.right;
    });
    const ListCell* cell = span == spans.end() ? nullptr : model_.GetCell(row, span->id);
    if (!cell || cell->text.empty()) {
        HideTitleTip();
        return;
    }
    const int imageWidth =
        CheckGlyph(*cell) >= 0 ? kListGlyphWidth : (cell->image >= 0 ? model_.rowImageWidth() : 0);
    const CellLayout layout = LayoutCell(span->left, span->right, span == spans.begin(), imageWidth);
    if (contentX < layout.textLeft || contentX >= layout.textRight) {
        HideTitleTip();
        return;
    }
    const PixelRect rowRect = RowRect(metrics_, view_, row, 0);
    const auto tip = TitleTipRect(layout, rowRect.top, rowRect.bottom, TextWidth(cell->text), cell->format);
    if (!tip) {
        HideTitleTip();
        return;
    }
    POINT origin{tip->left - view_.scrollX, tip->top};
    ClientToScreen(window_, &origin);
    const RECT screen{origin.x, origin.y, origin.x + tip->width(), origin.y + tip->height()};
    TitleTip::Look look;
    look.font = static_cast<HFONT>(font_.get());
    look.background = ToColorRef(CellBackground(*cell, system_));
    look.text = ToColorRef(CellTextColor(*cell, system_, false, true, false));
    look.frame = ToColorRef(system_.buttonShadow);
    titleTip_.Show(screen, cell->text, look);
}

// ---- focus, keys ----

LRESULT ListCtrl::OnFocusChange(WPARAM, LPARAM) {
    InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

LRESULT ListCtrl::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
}

LRESULT ListCtrl::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    HideTitleTip();
    const ListKeyResult result =
        model_.KeyDown(static_cast<int>(wParam), KeyModifiers(), WholeVisibleRows(metrics_, view_));
    if (!result.handled) return DefWindowProcA(window_, WM_KEYDOWN, wParam, lParam);
    int scrollX = view_.scrollX + result.scrollXBy;
    int scrollY = view_.scrollY;
    if (result.rowToShow >= 0)
        scrollY = ScrollYToShowRow(metrics_, view_, model_.RowCount(), result.rowToShow);
    ScrollTo(scrollX, scrollY);
    if (result.redraw) InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

LRESULT ListCtrl::OnSysKeyDown(WPARAM wParam, LPARAM lParam) {
    HideTitleTip();
    return DefWindowProcA(window_, WM_SYSKEYDOWN, wParam, lParam);
}

LRESULT ListCtrl::OnNotify(WPARAM wParam, LPARAM lParam) {
    const auto* record = reinterpret_cast<const ListNotifyRecord*>(lParam);
    if (!record || static_cast<int>(record->header.code) != LISTNOTE_EDITDONE)
        return DefWindowProcA(window_, WM_NOTIFY, wParam, lParam);
    // Only an editor of ours (a child of the list) ends an edit here.
    if (!record->header.hwndFrom || GetParent(record->header.hwndFrom) != window_) return 0;
    SystemTime date;
    if (record->date) {
        const SYSTEMTIME& from = *record->date;
        date = SystemTime{from.wYear, from.wMonth,  from.wDayOfWeek, from.wDay,
                          from.wHour, from.wMinute, from.wSecond,    from.wMilliseconds};
    }
    const ListEditResult result = model_.EndEdit(
        record->row, record->column, record->key,
        record->text ? std::string_view(record->text) : std::string_view(), record->date ? &date : nullptr);
    if (result.postTab) PostMessageA(window_, WM_KEYDOWN, VK_TAB, 0);
    InvalidateRow(record->row);
    return 0;
}

// ---- mouse ----

LRESULT ListCtrl::OnLeftButtonDown(WPARAM wParam, LPARAM lParam) {
    HideTitleTip();
    const POINT point = PointOf(lParam);
    SetFocus(window_);
    if (!window_) return 0;  // the focus change may have closed us
    pressPoint_ = point;
    if (InHeader(point.y)) {
        const HeaderHit hit = HitTestHeader(Spans(), point.x + view_.scrollX);
        if (hit.dividerOf >= 0) {
            press_ = Press::Divider;
            resizedColumn_ = hit.dividerOf;
            resizeStartWidth_ = model_.GetColumn(hit.dividerOf)->width;
            SetCursor(sizeCursor_);
            SetCapture(window_);
        } else if (hit.column >= 0) {
            press_ = Press::HeaderColumn;
            pressedColumn_ = hit.column;
            SetCapture(window_);
            InvalidateHeader();
        }
        return 0;
    }
    press_ = Press::Rows;
    SetCapture(window_);
    const int row = RowAtY(metrics_, view_, point.y, model_.RowCount());
    const int column = row >= 0 ? ColumnAtClientX(point.x) : -1;
    const unsigned modifiers = MouseModifiers(wParam);
    // The second click of a double click on a link leaves the link and the
    // selection as the first click made them: the link is followed once.
    const CellPress cellPress{row, column, point.x, point.y, clock_.TickMs()};
    const DoubleClickBounds bounds{GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                                   GetSystemMetrics(SM_CYDOUBLECLK)};
    const bool secondClick = lastLinkPress_ && IsSecondClick(*lastLinkPress_, cellPress, bounds);
    lastLinkPress_.reset();
    if (model_.IsLinkCell(row, column) && !secondClick) lastLinkPress_ = cellPress;
    if (!(secondClick && model_.IsLinkCell(row, column))) model_.LeftButtonDown(row, column, modifiers);
    if (!window_) return 0;
    if (model_.IsLinkCell(row, column)) SetCursor(handCursor_);
    rectangleActive_ = false;
    rectangleStartY_ = rectangleCurrentY_ = point.y - RowsTop(metrics_) + view_.scrollY;
    rectangleStartX_ = rectangleCurrentX_ = point.x + view_.scrollX;
    rectangleModifiers_ = modifiers;
    rectangleAtStart_ = model_.selection();
    InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

void ListCtrl::EndPress() {
    const bool hadRectangle = rectangleActive_;
    press_ = Press::None;
    pressedColumn_ = -1;
    resizedColumn_ = -1;
    rectangleActive_ = false;
    if (window_) {
        KillTimer(window_, kListTimerAutoScroll);
        KillTimer(window_, kListTimerWidenColumn);
        if (GetCapture() == window_) ReleaseCapture();
        if (hadRectangle) InvalidateRect(window_, nullptr, FALSE);
        InvalidateHeader();
    }
}

LRESULT ListCtrl::OnLeftButtonUp(WPARAM wParam, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    const Press press = press_;
    const int pressedColumn = pressedColumn_;
    const bool dragged = rectangleActive_;
    EndPress();
    switch (press) {
        case Press::Divider:
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, FALSE);
            break;
        case Press::HeaderColumn:
            if (InHeader(point.y) && ColumnAtClientX(point.x) == pressedColumn) HeaderClick(pressedColumn);
            break;
        default:
            break;
    }
    if (!window_) return 0;
    const bool overRows = !InHeader(point.y);
    const int row = overRows ? RowAtY(metrics_, view_, point.y, model_.RowCount()) : -1;
    const int column = row >= 0 ? ColumnAtClientX(point.x) : -1;
    model_.LeftButtonUp(press == Press::Rows ? row : -1, column, MouseModifiers(wParam), dragged);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

LRESULT ListCtrl::OnLeftDoubleClick(WPARAM wParam, LPARAM lParam) {
    OnLeftButtonDown(wParam, lParam);
    if (!window_) return 0;
    const POINT point = PointOf(lParam);
    if (InHeader(point.y)) {
        const HeaderHit hit = HitTestHeader(Spans(), point.x + view_.scrollX);
        if (hit.dividerOf >= 0) {
            model_.AutoSizeColumn(hit.dividerOf, [this](std::string_view text) { return TextWidth(text); });
            // The double click ends the resize its press began.
            EndPress();
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, FALSE);
        }
        return 0;
    }
    const int row = RowAtY(metrics_, view_, point.y, model_.RowCount());
    model_.Activate(row, row >= 0 ? ColumnAtClientX(point.x) : -1);
    return 0;
}

LRESULT ListCtrl::OnRightButtonDown(WPARAM wParam, LPARAM lParam) {
    HideTitleTip();
    SetFocus(window_);
    if (!window_) return 0;
    const POINT point = PointOf(lParam);
    if (InHeader(point.y)) return 0;
    const int row = RowAtY(metrics_, view_, point.y, model_.RowCount());
    model_.RightButtonDown(row, row >= 0 ? ColumnAtClientX(point.x) : -1, MouseModifiers(wParam));
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return 0;
}

LRESULT ListCtrl::OnRightButtonUp(WPARAM, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    const int row = InHeader(point.y) ? -1 : RowAtY(metrics_, view_, point.y, model_.RowCount());
    model_.RightButtonUp(row, row >= 0 ? ColumnAtClientX(point.x) : -1);
    return 0;
}

LRESULT ListCtrl::OnCancelMode(WPARAM, LPARAM) {
    HideTitleTip();
    EndPress();
    return 0;
}

LRESULT ListCtrl::OnCaptureChanged(WPARAM, LPARAM lParam) {
    // Losing the mouse midway (another window took it) ends whatever the
    // press was doing, without the click.
    if (reinterpret_cast<HWND>(lParam) != window_ && press_ != Press::None) {
        press_ = Press::None;
        pressedColumn_ = -1;
        resizedColumn_ = -1;
        rectangleActive_ = false;
        KillTimer(window_, kListTimerAutoScroll);
        KillTimer(window_, kListTimerWidenColumn);
        InvalidateRect(window_, nullptr, FALSE);
    }
    return 0;
}

void ListCtrl::ResizeDivider(int x) {
    const std::vector<ColumnSpan> spans = Spans();
    const auto span = std::find_if(spans.begin(), spans.end(),
                                   [this](const ColumnSpan& s) { return s.id == resizedColumn_; });
    if (span == spans.end()) return;
    const int width = std::max(x + view_.scrollX - span->left, 0);
    if (model_.SetColumnWidth(resizedColumn_, width)) InvalidateRect(window_, nullptr, FALSE);
}

void ListCtrl::UpdateRectangle(int y) {
    rectangleCurrentY_ = y - RowsTop(metrics_) + view_.scrollY;
    const RectangleRows rows =
        RowsUnderRectangle(metrics_.rowHeight, rectangleStartY_, rectangleCurrentY_, model_.RowCount());
    model_.SelectRectangle(rectangleAtStart_, rows.firstRow, rows.lastRow, rectangleModifiers_);
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

LRESULT ListCtrl::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    switch (press_) {
        case Press::Divider:
            ResizeDivider(point.x);
            // Past the right edge the column keeps widening on a timer.
            if (point.x >= view_.width) {
                SetTimer(window_, kListTimerWidenColumn, kWidenColumnMs, nullptr);
            } else {
                KillTimer(window_, kListTimerWidenColumn);
            }
            return 0;
        case Press::HeaderColumn:
            if (StartsColumnDrag(point.x - pressPoint_.x, point.y - pressPoint_.y))
                StartColumnDrag(pressedColumn_);
            return 0;
        case Press::Rows:
            if ((wParam & MK_LBUTTON) == 0) return 0;
            if (!rectangleActive_ && !model_.options().singleSelection &&
                (std::abs(point.x - pressPoint_.x) > GetSystemMetrics(SM_CXDRAG) ||
                 std::abs(point.y - pressPoint_.y) > GetSystemMetrics(SM_CYDRAG))) {
                rectangleActive_ = true;
                SetTimer(window_, kListTimerAutoScroll, kAutoScrollMs, nullptr);
            }
            if (rectangleActive_) {
                rectangleCurrentX_ = point.x + view_.scrollX;
                UpdateRectangle(point.y);
            }
            return 0;
        case Press::None:
            break;
    }

    // Hover: the header column, the link cell and the title tip.
    const int hotHeader = InHeader(point.y) ? ColumnAtClientX(point.x) : -1;
    if (hotHeader != hotHeader_) {
        hotHeader_ = hotHeader;
        InvalidateHeader();
    }
    const int row = InHeader(point.y) ? -1 : RowAtY(metrics_, view_, point.y, model_.RowCount());
    const int column = row >= 0 ? ColumnAtClientX(point.x) : -1;
    const int oldHotRow = model_.hotRow();
    if (model_.SetHotCell(row, column)) {
        InvalidateRow(oldHotRow);
        InvalidateRow(model_.hotRow());
    }
    if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) UpdateTitleTip(point.x, point.y);
    return 0;
}

LRESULT ListCtrl::OnTitleTipLeft(WPARAM, LPARAM) {
    // The tip had the mouse while the pointer was over it: the list heard
    // nothing of the pointer since. Still over the list, the list watches
    // for its leaving again; elsewhere, it has left.
    POINT cursor = {};
    if (GetCursorPos(&cursor) && WindowFromPoint(cursor) == window_) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, window_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        return 0;
    }
    return OnMouseLeave(0, 0);
}

LRESULT ListCtrl::OnMouseLeave(WPARAM, LPARAM) {
    trackingLeave_ = false;
    // The title tip takes the mouse over its cell: the pointer is still
    // there and the hot states stay.
    if (titleTip_.visible()) return 0;
    if (hotHeader_ >= 0) {
        hotHeader_ = -1;
        InvalidateHeader();
    }
    const int oldHotRow = model_.hotRow();
    if (model_.SetHotCell(-1, -1)) InvalidateRow(oldHotRow);
    return 0;
}

LRESULT ListCtrl::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != window_ || LOWORD(lParam) != HTCLIENT)
        return DefWindowProcA(window_, WM_SETCURSOR, wParam, lParam);
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    HCURSOR cursor = arrowCursor_;
    if (press_ == Press::Divider || (press_ == Press::None && InHeader(point.y) &&
                                     HitTestHeader(Spans(), point.x + view_.scrollX).dividerOf >= 0)) {
        cursor = sizeCursor_;
    } else if (!InHeader(point.y)) {
        const int row = RowAtY(metrics_, view_, point.y, model_.RowCount());
        if (model_.IsLinkCell(row, row >= 0 ? ColumnAtClientX(point.x) : -1)) cursor = handCursor_;
    }
    SetCursor(cursor);
    return TRUE;
}

LRESULT ListCtrl::OnTimer(WPARAM wParam, LPARAM lParam) {
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    switch (wParam) {
        case kListTimerAutoScroll: {
            if (!rectangleActive_) {
                KillTimer(window_, kListTimerAutoScroll);
                return 0;
            }
            const int direction = AutoScrollDirection(metrics_, view_, point.y);
            if (direction != 0) {
                ScrollTo(view_.scrollX, view_.scrollY + direction * metrics_.rowHeight);
                UpdateRectangle(point.y);
            }
            return 0;
        }
        case kListTimerWidenColumn: {
            if (press_ != Press::Divider || point.x < view_.width) {
                KillTimer(window_, kListTimerWidenColumn);
                return 0;
            }
            const ListColumn* column = model_.GetColumn(resizedColumn_);
            if (!column) return 0;
            model_.SetColumnWidth(resizedColumn_, column->width + kWidenStep);
            UpdateScrollBars();
            ScrollTo(MaxScrollX(Spans(), view_), view_.scrollY);
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        }
        default:
            return DefWindowProcA(window_, WM_TIMER, wParam, lParam);
    }
}

// ---- column dragging ----

void ListCtrl::StartColumnDrag(int column) {
    const std::vector<int>& order = model_.ColumnOrder();
    const auto at = std::find(order.begin(), order.end(), column);
    EndPress();
    if (at == order.end() || !dropRegistered_) return;
    const int position = static_cast<int>(at - order.begin());

    // The drag image: the header column as it looks.
    const std::vector<ColumnSpan> spans = Spans();
    const ColumnSpan& span = spans[static_cast<std::size_t>(position)];
    const int width = std::max(span.right - span.left, 1);
    const int height = std::max(metrics_.headerHeight, 1);
    if (const WindowDc screen(window_); screen) {
        const MemoryDc memory(CreateCompatibleDC(screen.get()));
        const GdiObject bitmap(CreateCompatibleBitmap(screen.get(), width, height));
        if (memory && bitmap) {
            {
                const Selection selection(memory.get(), bitmap.get());
                PaintHeaderColumn(memory.get(), span, position == 0, span.left);
            }
            dragImage_.reset(ImageList_Create(width, height, ILC_COLOR24, 1, 0));
            if (dragImage_ && ImageList_Add(dragImage_.get(), static_cast<HBITMAP>(bitmap.get()), nullptr) >= 0) {
                ImageList_BeginDrag(dragImage_.get(), 0, pressPoint_.x + view_.scrollX - span.left,
                                    pressPoint_.y);
            } else {
                dragImage_.reset();
            }
        }
    }

    IDataObject* data = NewHeaderDataObject(position);
    IDropSource* source = NewHeaderDropSource();
    if (data && source) {
        draggedPosition_ = position;
        DWORD effect = DROPEFFECT_NONE;
        DoDragDrop(data, source, DROPEFFECT_MOVE, &effect);
        draggedPosition_ = -1;
    }
    if (data) data->Release();
    if (source) source->Release();
    if (dragImage_) {
        ImageList_EndDrag();
        dragImage_.reset();
    }
    dropArrows_.Hide();
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

DWORD ListCtrl::OnDragOver(IDataObject* data, POINTL screen) {
    POINT point{screen.x, screen.y};
    ScreenToClient(window_, &point);
    if (dragImage_) {
        ImageList_DragEnter(window_, point.x, point.y);
        ImageList_DragMove(point.x, point.y);
    }
    // Only this list's own column moves here: a position from another list
    // would name some other column.
    const std::optional<int> position = ReadHeaderPosition(data);
    if (draggedPosition_ < 0 || position != draggedPosition_ || !InHeader(point.y)) {
        dropArrows_.Hide();
        return DROPEFFECT_NONE;
    }
    const std::vector<ColumnSpan> spans = Spans();
    const int insert = DropInsertPosition(spans, point.x + view_.scrollX);
    if (dragImage_) ImageList_DragShowNolock(FALSE);
    dropArrows_.ShowAt(BoundaryX(spans, insert, view_.scrollX), 0, metrics_.headerHeight);
    if (dragImage_) ImageList_DragShowNolock(TRUE);
    return DROPEFFECT_MOVE;
}

void ListCtrl::OnDragLeave() {
    if (dragImage_) ImageList_DragLeave(window_);
    dropArrows_.Hide();
}

DWORD ListCtrl::OnDrop(IDataObject* data, POINTL screen) {
    OnDragLeave();
    POINT point{screen.x, screen.y};
    ScreenToClient(window_, &point);
    const std::optional<int> position = ReadHeaderPosition(data);
    if (draggedPosition_ < 0 || position != draggedPosition_ || !InHeader(point.y)) return DROPEFFECT_NONE;
    const int insert = DropInsertPosition(Spans(), point.x + view_.scrollX);
    if (!model_.MoveColumn(*position, insert)) return DROPEFFECT_NONE;
    InvalidateRect(window_, nullptr, FALSE);
    return DROPEFFECT_MOVE;
}

// ---- painting ----

LRESULT ListCtrl::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers every pixel
}

LRESULT ListCtrl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint = {};
    const HDC target = BeginPaint(window_, &paint);
    if (!target) return 0;
    PaintClient(target, paint.rcPaint);
    EndPaint(window_, &paint);
    return 0;
}

LRESULT ListCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT client = {};
    GetClientRect(window_, &client);
    if (wParam) PaintClient(reinterpret_cast<HDC>(wParam), client);
    return 0;
}

void ListCtrl::PaintClient(HDC target, const RECT& area) {
    RECT client = {};
    GetClientRect(window_, &client);
    view_.width = client.right;
    view_.height = client.bottom;
    // Drawn off screen and copied once, so that nothing flickers; the
    // bitmap is as large as the window, whatever the row count.
    const MemoryDc dc(CreateCompatibleDC(target));
    const GdiObject bitmap(
        dc ? CreateCompatibleBitmap(target, std::max<int>(client.right, 1), std::max<int>(client.bottom, 1))
           : nullptr);
    const HDC canvas = bitmap ? dc.get() : target;
    std::optional<Selection> bitmapSelection;
    if (bitmap) bitmapSelection.emplace(dc.get(), bitmap.get());
    const Selection fontSelection(canvas, font_.get());
    SetBkMode(canvas, TRANSPARENT);

    FillSolid(canvas, area, system_.window);
    const std::vector<ColumnSpan> spans = Spans();
    const RowSpan rows = RowsToPaint(metrics_, view_, model_.RowCount(), area.top, area.bottom);
    for (int row = rows.first; row < rows.end; ++row) PaintRow(canvas, row, spans, client);
    if (rectangleActive_) {
        RECT band{std::min(rectangleStartX_, rectangleCurrentX_) - view_.scrollX,
                  std::min(rectangleStartY_, rectangleCurrentY_) + RowsTop(metrics_) - view_.scrollY,
                  std::max(rectangleStartX_, rectangleCurrentX_) - view_.scrollX + 1,
                  std::max(rectangleStartY_, rectangleCurrentY_) + RowsTop(metrics_) - view_.scrollY + 1};
        SetTextColor(canvas, ToColorRef(system_.windowText));
        SetBkColor(canvas, ToColorRef(system_.window));
        DrawFocusRect(canvas, &band);
    }
    if (metrics_.headerShown && area.top < metrics_.headerHeight) PaintHeader(canvas, client);

    if (bitmap) {
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc.get(), area.left,
               area.top, SRCCOPY);
    }
}

void ListCtrl::PaintHeader(HDC dc, const RECT& client) const {
    const RECT header{0, 0, client.right, metrics_.headerHeight};
    FillSolid(dc, header, system_.buttonFace);
    const std::vector<ColumnSpan> spans = Spans();
    for (std::size_t position = 0; position < spans.size(); ++position) {
        const ColumnSpan& span = spans[position];
        if (span.right - view_.scrollX <= 0 || span.left - view_.scrollX >= client.right) continue;
        PaintHeaderColumn(dc, span, position == 0, view_.scrollX);
    }
    Line(dc, 0, metrics_.headerHeight - 1, client.right, metrics_.headerHeight - 1, system_.buttonShadow);
}

// Paints one header column with its left edge at span.left - offsetX.
void ListCtrl::PaintHeaderColumn(HDC dc, const ColumnSpan& span, bool first, int offsetX) const {
    const ListColumn* column = model_.GetColumn(span.id);
    if (!column) return;
    const int left = span.left - offsetX;
    const int right = span.right - offsetX;
    const int bottom = metrics_.headerHeight;
    const bool pressed = span.id == pressedColumn_ && press_ == Press::HeaderColumn;
    FillSolid(dc, RECT{left, 0, right, bottom},
              HeaderFill(system_, pressed, span.id == hotHeader_, model_.options().styledSelection));
    Line(dc, left, 0, left, bottom - 1, system_.buttonLight);
    Line(dc, right - 1, 2, right - 1, bottom - 3, system_.buttonShadow);
    Line(dc, left, bottom - 1, right, bottom - 1, system_.buttonShadow);

    const int glyph = model_.SortGlyph(span.id);
    const bool image = column->image >= 0 && rowImages_;
    const HeaderCellLayout layout =
        LayoutHeaderCell(left, right, first, image ? ImageWidth(rowImages_) : 0, glyph >= 0);
    if (image) {
        ImageList_Draw(rowImages_, column->image, dc, layout.cell.imageLeft,
                       (bottom - ImageHeight(rowImages_)) / 2, ILD_TRANSPARENT);
    }
    RECT text{layout.cell.textLeft, 0, layout.cell.textRight, bottom};
    SetTextColor(dc, ToColorRef(pressed ? Rgb(255, 255, 255) : system_.windowText));
    DrawTextA(dc, column->title.c_str(), static_cast<int>(column->title.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | AlignmentFlags(column->format));
    if (glyph >= 0 && glyphs_) {
        ImageList_Draw(glyphs_.get(), glyph, dc, layout.glyphLeft, (bottom - ImageHeight(glyphs_.get())) / 2,
                       ILD_TRANSPARENT);
    }
}

void ListCtrl::PaintStyledSelection(HDC dc, const RECT& rect) const {
    const SelectionLook look = StyledSelectionLook(GetFocus() == window_);
    RoundedRect(dc, rect, kListSelectionCorner, look.outer, nullptr);
    const RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    RoundedRect(dc, inner, kListSelectionInnerCorner, look.inner, nullptr);
    FillGradient(dc, RECT{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2}, look.top,
                 look.bottom);
}

void ListCtrl::PaintRow(HDC dc, int row, const std::vector<ColumnSpan>& spans, const RECT& client) const {
    const PixelRect rowRect = RowRect(metrics_, view_, row, ContentWidth(spans));
    const bool selected = model_.IsRowSelected(row);
    if (selected) {
        // The band runs over the columns, and no further than the window.
        const RECT band{std::max<int>(rowRect.left, client.left), rowRect.top,
                        std::min<int>(rowRect.right, client.right), rowRect.bottom};
        if (model_.options().styledSelection) {
            PaintStyledSelection(dc, band);
        } else {
            FillSolid(dc, band, system_.highlight);
        }
    }
    for (std::size_t position = 0; position < spans.size(); ++position) {
        const ColumnSpan& span = spans[position];
        const RECT cell{span.left - view_.scrollX, rowRect.top, span.right - view_.scrollX, rowRect.bottom};
        if (cell.right <= client.left || cell.left >= client.right) continue;
        PaintCell(dc, row, span, position == 0, cell, selected);
    }
}

void ListCtrl::PaintCell(HDC dc, int row, const ColumnSpan& span, bool first, const RECT& cellRect,
                         bool selected) const {
    const ListCell* cell = model_.GetCell(row, span.id);
    const ListColumn* column = model_.GetColumn(span.id);
    if (!cell || !column) return;
    const bool styled = model_.options().styledSelection;
    if (model_.options().cellFocus && row == model_.selection().active() && span.id == model_.focusColumn()) {
        FillGradient(dc, RECT{cellRect.left + 1, cellRect.top + 1, cellRect.right - 1, cellRect.bottom - 1},
                     kListFocusCellTop, kListFocusCellBottom);
    }
    if (CellHasMark(*cell, system_)) {
        const ColorRef mark = cell->background;
        RoundedRect(dc, RECT{cellRect.left + 1, cellRect.top + 1, cellRect.right - 1, cellRect.bottom - 1},
                    kListCellMarkCorner, mark, &mark);
    }
    const int glyph = CheckGlyph(*cell);
    const bool rowImage = glyph < 0 && cell->image >= 0 && rowImages_;
    const int imageWidth = glyph >= 0 ? kListGlyphWidth : (rowImage ? ImageWidth(rowImages_) : 0);
    const CellLayout layout = LayoutCell(cellRect.left, cellRect.right, first, imageWidth);
    const int height = cellRect.bottom - cellRect.top;
    // Images stay inside their cell.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, cellRect.left, cellRect.top, cellRect.right, cellRect.bottom);
    if (glyph >= 0) {
        if (glyphs_) {
            ImageList_Draw(glyphs_.get(), glyph, dc, layout.imageLeft,
                           cellRect.top + (height - ImageHeight(glyphs_.get())) / 2, ILD_TRANSPARENT);
        }
    } else {
        if (rowImage) {
            ImageList_Draw(rowImages_, cell->image, dc, layout.imageLeft,
                           cellRect.top + (height - ImageHeight(rowImages_)) / 2, ILD_TRANSPARENT);
        }
        const bool hot = row == model_.hotRow() && span.id == model_.hotColumn();
        SetTextColor(dc, ToColorRef(CellTextColor(*cell, system_, selected, styled, hot)));
        const HGDIOBJ previous = hot ? SelectObject(dc, underlinedFont_.get()) : nullptr;
        RECT text{layout.textLeft, cellRect.top, layout.textRight, cellRect.bottom};
        DrawTextA(dc, cell->text.c_str(), static_cast<int>(cell->text.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      AlignmentFlags(CellAlignment(*cell, *column)));
        if (previous) SelectObject(dc, previous);
    }
    if (saved) RestoreDC(dc, saved);
}

}  // namespace qm
