#include "widgets/win32/list_ctrl.h"

#include <algorithm>
#include <optional>

#include "resources/resource.h"

namespace qm {
namespace {

// Posted to itself after the rows change: the scroll bars are brought up
// to date once for a whole batch of added rows.
constexpr UINT kRefreshScrollBars = WM_USER + 0x51;

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

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
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
    model_.SetRowImageWidth(ImageSize(images).cx);
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

// The 32-bit track position of a scroll bar (the message's own is 16
// bits), the current position when there is none.
int ListCtrl::TrackPosition(int bar, int current) const {
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    return GetScrollInfo(window_, bar, &info) ? info.nTrackPos : current;
}

LRESULT ListCtrl::OnVScroll(WPARAM wParam, LPARAM) {
    HideTitleTip();
    const std::optional<int> y =
        ScrollYFor(metrics_, view_, model_.RowCount(), LOWORD(wParam), TrackPosition(SB_VERT, view_.scrollY));
    if (y) ScrollTo(view_.scrollX, *y);
    return 0;
}

LRESULT ListCtrl::OnHScroll(WPARAM wParam, LPARAM) {
    HideTitleTip();
    const std::optional<int> x =
        ScrollXFor(Spans(), view_, LOWORD(wParam), TrackPosition(SB_HORZ, view_.scrollX));
    if (x) ScrollTo(*x, view_.scrollY);
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
    const CellLayout layout = LayoutCell(span->left, span->right, span == spans.begin(),
                                         CellImageWidth(*cell, model_.rowImageWidth()));
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

}  // namespace qm
