// The list window under Wine: each family of mouse, key and scroll
// messages reaching the model and the parent's notifications, the title
// tip window, column moves by OLE drag and drop, system colours and what
// the list paints. Which rows a press or key selects, sorting, layout and
// colours are decided by the models and tested natively.
#include "widgets/win32/list_ctrl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>

#include "tests/support/win32/message_log.h"
#include "tests/widgets/win32/widget_window_test.h"

namespace qm {
namespace {

constexpr int kListId = 77;

// A list in a visible parent that logs every WM_NOTIFY of the list, with
// row and column read while the record is alive.
class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
        TestParent::Shared().SetHandler([this](UINT message, WPARAM wParam, LPARAM lParam) {
            return OnParentMessage(message, wParam, lParam);
        });
        // The real pointer stays off the window: the moves a test sends are
        // the only ones the list sees.
        SetCursorPos(1200, 1000);
        BYTE keys[256] = {};
        SetKeyboardState(keys);
    }
    void TearDown() override {
        list_.reset();
        TestParent::Shared().SetHandler({});
        Pump();
        if (oleInitialized_) OleUninitialize();
    }

    std::optional<LRESULT> OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_NOTIFY) return std::nullopt;
        const auto* record = reinterpret_cast<const ListNotifyRecord*>(lParam);
        // Every record the list sends carries no key, text or date.
        EXPECT_EQ(record->key, 0);
        EXPECT_EQ(record->text, nullptr);
        EXPECT_EQ(record->date, nullptr);
        EXPECT_EQ(record->header.idFrom, static_cast<UINT_PTR>(kListId));
        EXPECT_EQ(wParam, static_cast<WPARAM>(kListId));
        log_.Add(LoggedMessage{message, wParam, lParam, static_cast<int>(record->header.code), record->row,
                               record->column});
        return 0;
    }

    void MakeList(int width = 600, int height = 400) {
        list_ = std::make_unique<ListCtrl>(ListOptions{});
        ASSERT_TRUE(list_->Create(parent(), RECT{0, 0, width, height}, WS_VISIBLE | WS_TABSTOP, kListId));
        Pump();
    }
    // Columns "Title" (0), "URL" (1, link cells) and "Last Visited" (2),
    // and rows "Row 000"..., "http://site/NNN", date NNN.
    void FillRows(int rows) {
        list_->AddColumn("Title", 150);
        list_->AddColumn("URL", 200);
        list_->AddColumn("Last Visited", 100, -1, false, 0, kListAlignCenter);
        for (int row = 0; row < rows; ++row) {
            char title[32];
            char url[48];
            std::snprintf(title, sizeof title, "Row %03d", row);
            std::snprintf(url, sizeof url, "http://site/%03d", row);
            const int added = list_->AddRow(title);
            list_->SetCellText(added, 1, url);
            list_->SetCellFormat(added, 1, kListCellHyperlink, 0);
            list_->SetCellText(added, 2, "7/1/2024");
            list_->SetCellDate(added, 2, FileTime{static_cast<uint64_t>(1000 + row)});
        }
        list_->Redraw();
        Pump();
    }

    static HWND parent() { return TestParent::Shared().window(); }
    HWND list() const { return list_->window(); }
    const ListModel& model() const { return list_->model(); }
    const ColumnSpan* Span(int column) const {
        spans_ = ColumnSpans(model());
        for (const ColumnSpan& span : spans_) {
            if (span.id == column) return &span;
        }
        return nullptr;
    }
    // Client points: in a cell's text, in the middle of a header column,
    // on a column's right divider.
    POINT CellPoint(int row, int column) const {
        const PixelRect rect = RowRect(list_->metrics(), list_->viewport(), row, 0);
        return POINT{Span(column)->left + 20 - list_->viewport().scrollX, (rect.top + rect.bottom) / 2};
    }
    POINT HeaderPoint(int column) const {
        const ColumnSpan* span = Span(column);
        return POINT{(span->left + span->right) / 2 - list_->viewport().scrollX,
                     list_->metrics().headerHeight / 2};
    }
    POINT DividerPoint(int column) const {
        return POINT{Span(column)->right - list_->viewport().scrollX, list_->metrics().headerHeight / 2};
    }

    void Send(UINT message, WPARAM keys, POINT point) {
        SendMessageA(list(), message, keys, MAKELPARAM(point.x, point.y));
    }
    void Press(UINT down, UINT up, POINT point, WPARAM keys = 0) {
        Send(down, keys | (down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON), point);
        Send(up, keys, point);
        Pump();
    }
    void Click(POINT point, WPARAM keys = 0) { Press(WM_LBUTTONDOWN, WM_LBUTTONUP, point, keys); }
    void Move(POINT point) { Send(WM_MOUSEMOVE, 0, point); }
    // A key press with the Shift state the list reads.
    void Key(int key, bool shift = false) {
        BYTE keys[256] = {};
        if (shift) keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(list(), WM_KEYDOWN, static_cast<WPARAM>(key), 1);
        BYTE none[256] = {};
        SetKeyboardState(none);
        Pump();
    }

    MessageLog log_;
    std::unique_ptr<ListCtrl> list_;
    mutable std::vector<ColumnSpan> spans_;
    bool oleInitialized_ = false;
};

TEST_F(ListCtrlTest, RegistersItsClassesAndAsksForArrowsCharactersAndTab) {
    MakeList();
    char name[32] = {};
    GetClassNameA(list(), name, sizeof name);
    EXPECT_STREQ(name, "ListCtrl");
    EXPECT_TRUE(GetWindowLongPtrA(list(), GWL_EXSTYLE) & WS_EX_STATICEDGE);
    WNDCLASSEXA tipClass = {};
    tipClass.cbSize = sizeof(tipClass);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "TitleTip", &tipClass));
    EXPECT_TRUE(tipClass.style & CS_SAVEBITS);
    WNDCLASSEXA arrowsClass = {};
    arrowsClass.cbSize = sizeof(arrowsClass);
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "DropArrows", &arrowsClass));
    // Rows and header are as tall as the font plus 6.
    EXPECT_GT(list_->metrics().rowHeight, 6);
    EXPECT_EQ(list_->metrics().rowHeight, list_->metrics().headerHeight);
    // The glyphs are there exactly when the strip is among the resources.
    EXPECT_EQ(list_->hasGlyphs(),
              FindResourceA(nullptr, MAKEINTRESOURCEA(210), MAKEINTRESOURCEA(2)) != nullptr);
    EXPECT_EQ(SendMessageA(list(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
}

TEST_F(ListCtrlTest, MouseButtonsReachTheModelAndTheParent) {
    MakeList();
    FillRows(10);
    Click(CellPoint(2, 0));
    EXPECT_TRUE(ExpectSequence(
        log_, {Notification(LISTNOTE_SELECTION, 2, 0), Notification(LISTNOTE_CLICK, 2, 0)}, "click"));
    EXPECT_EQ(GetFocus(), list());
    Click(CellPoint(4, 0), MK_SHIFT);
    EXPECT_EQ(model().selection().ToString(), "active=4 anchor=2 selection=2 3 4");
    log_.Clear();
    Press(WM_RBUTTONDOWN, WM_RBUTTONUP, CellPoint(8, 1));
    EXPECT_TRUE(ExpectSequence(
        log_, {Notification(LISTNOTE_SELECTION, 8, 1), Notification(LISTNOTE_CONTEXT, 8, 1)}, "right click"));
    Click(CellPoint(3, 2));
    log_.Clear();
    Press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, CellPoint(3, 2));
    EXPECT_TRUE(ExpectSequence(
        log_, {Notification(LISTNOTE_ACTIVATE, 3, 2), Notification(LISTNOTE_CLICK, 3, 2)}, "double click"));
}

TEST_F(ListCtrlTest, DraggingOverRowsSelectsThemByRectangle) {
    MakeList();
    FillRows(30);
    const POINT from = CellPoint(2, 0);
    const POINT to = CellPoint(6, 1);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, from);
    Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x + 10, (from.y + to.y) / 2});
    Send(WM_MOUSEMOVE, MK_LBUTTON, to);
    Send(WM_LBUTTONUP, 0, to);
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(model().selection().active(), 6);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_CLICK), 1);
}

TEST_F(ListCtrlTest, KeysMoveTheSelectionAndTheScrollBarFollows) {
    MakeList();
    FillRows(300);
    Click(CellPoint(0, 0));
    log_.Clear();
    Key(VK_DOWN);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_SELECTION, 1, 0)}, "down"));
    Key(VK_DOWN, true);
    EXPECT_EQ(model().selection().ToString(), "active=2 anchor=1 selection=1 2");
    Key(VK_END);
    const int bottom = MaxScrollY(list_->metrics(), list_->viewport(), 300);
    EXPECT_GT(bottom, 0);
    EXPECT_EQ(list_->viewport().scrollY, bottom);
    EXPECT_EQ(GetScrollPos(list(), SB_VERT), bottom);
}

TEST_F(ListCtrlTest, WheelAndScrollBarsMoveTheView) {
    MakeList();
    FillRows(300);
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int rowHeight = list_->metrics().rowHeight;
    SendMessageA(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(30, 30));
    EXPECT_EQ(list_->viewport().scrollY, static_cast<int>(lines) * rowHeight);
    SendMessageA(list(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(list_->viewport().scrollY, MaxScrollY(list_->metrics(), list_->viewport(), 300));
    EXPECT_EQ(GetScrollPos(list(), SB_VERT), list_->viewport().scrollY);
}

TEST_F(ListCtrlTest, HeaderPressesSortResizeAndFitColumns) {
    MakeList();
    FillRows(5);
    list_->SetCellText(3, 0, "A title that is a good deal longer than the column");
    Click(HeaderPoint(1));
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, -1, -1)}, "header click"));
    EXPECT_EQ(model().sortColumn(), 1);
    // A press that slides off its column before the release sorts nothing.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, HeaderPoint(0));
    Send(WM_LBUTTONUP, 0, HeaderPoint(2));
    EXPECT_EQ(model().sortColumn(), 1);

    const POINT divider = DividerPoint(0);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, divider);
    Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{divider.x + 40, divider.y});
    Send(WM_LBUTTONUP, 0, POINT{divider.x + 40, divider.y});
    EXPECT_EQ(model().GetColumn(0)->width, 190);
    EXPECT_EQ(model().sortColumn(), 1);  // a resize is no header click
    // A double click on the divider fits the longest text as drawn.
    Press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, DividerPoint(0));
    EXPECT_GT(model().GetColumn(0)->width, 190);
    Move(CellPoint(3, 0));
    EXPECT_FALSE(list_->titleTip().visible());
}

TEST_F(ListCtrlTest, LinkCellsTurnHotShowTheHandAndReportPresses) {
    MakeList();
    FillRows(5);
    const POINT link = CellPoint(2, 1);
    Move(link);
    EXPECT_EQ(model().hotRow(), 2);
    POINT screen = link;
    ClientToScreen(list(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(list(), WM_SETCURSOR, reinterpret_cast<WPARAM>(list()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // the hand
    SendMessageA(list(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(model().hotRow(), -1);
    Click(link);
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(LISTNOTE_SELECTION, 2, 1),
                                Notification(LISTNOTE_LINKCLICK, 2, 1), Notification(LISTNOTE_CLICK, 2, 1)},
                               "press on a link"));
    // A double click follows the link once, and activates.
    Click(link);
    Press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, link);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_LINKCLICK), 1);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_ACTIVATE), 1);
}

TEST_F(ListCtrlTest, TitleTipShowsCutTextWithoutActivatingAndPassesPressesOn) {
    MakeList();
    FillRows(5);
    list_->SetColumnWidth(1, 60);
    Pump();
    Move(CellPoint(2, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    const HWND tip = list_->titleTip().window();
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(list_->titleTip().text(), "http://site/002");
    RECT tipRect = {};
    GetWindowRect(tip, &tipRect);
    EXPECT_GT(tipRect.right - tipRect.left, 60);
    EXPECT_EQ(tipRect.bottom - tipRect.top, list_->metrics().rowHeight);
    EXPECT_EQ(GetForegroundWindow(), parent());
    EXPECT_EQ(GetCapture(), tip);

    // A press on the tip reaches the cell beneath.
    SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 4));
    EXPECT_FALSE(IsWindowVisible(tip));
    Pump();
    Send(WM_LBUTTONUP, 0, CellPoint(2, 1));
    EXPECT_EQ(model().SelectedRow(), 2);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_SELECTION), 1);

    // A key, or a new list font, takes a shown tip away.
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    Key(VK_DOWN);
    EXPECT_FALSE(IsWindowVisible(tip));
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    SendMessageA(list(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_FALSE(list_->titleTip().visible());

    // Leaving the list through the tip hides it, gives the mouse back and
    // ends the link cell's hot state.
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    RECT listRect = {};
    GetWindowRect(list(), &listRect);
    SetCursorPos(listRect.left - 5, listRect.top - 5);
    SendMessageA(tip, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
    EXPECT_FALSE(list_->titleTip().visible());
    EXPECT_NE(GetCapture(), tip);
    EXPECT_EQ(model().hotRow(), -1);

    // A double click on a link under its tip: the first press reaches the
    // list through the tip, the second the list itself; the link is
    // followed once.
    log_.Clear();
    Move(CellPoint(4, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    POINT link = {8, 4};  // the same place on the screen, for both presses
    MapWindowPoints(tip, list(), &link, 1);
    SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 4));
    Pump();
    Send(WM_LBUTTONUP, 0, link);
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, link);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_LINKCLICK), 1);
}

TEST_F(ListCtrlTest, EditDoneFromAnotherWindowIsIgnored) {
    MakeList();
    FillRows(3);
    ListNotifyRecord record = {};
    record.header.hwndFrom = parent();  // not an editor of the list
    record.header.code = static_cast<UINT>(LISTNOTE_EDITDONE);
    record.row = 1;
    record.column = 0;
    record.text = "changed";
    SendMessageA(list(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(model().GetCellText(1, 0), "Row 001");
    EXPECT_TRUE(ExpectSequence(log_, {}, "foreign edit end"));
}

TEST_F(ListCtrlTest, HeaderColumnMovesByDragAndDrop) {
    ASSERT_TRUE(oleInitialized_);
    MakeList();
    FillRows(5);
    UpdateWindow(parent());
    // Column 0 dragged onto the boundary after column 2: the drop lands
    // where the pointer is when OLE sees the button released.
    POINT screen{DividerPoint(2).x - 2, DividerPoint(2).y};
    ClientToScreen(list(), &screen);
    SetCursorPos(screen.x, screen.y);
    const POINT from = HeaderPoint(0);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, from);
    Send(WM_MOUSEMOVE, MK_LBUTTON, POINT{from.x + 30, from.y});
    Pump();
    EXPECT_EQ(model().ColumnOrder(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(model().sortColumn(), -1);  // a drag is no click
    EXPECT_FALSE(IsWindowVisible(FindWindowA("DropArrows", nullptr)));
    // Clicking where the title column now stands sorts by it.
    Click(HeaderPoint(0));
    EXPECT_EQ(model().sortColumn(), 0);
}

TEST_F(ListCtrlTest, ForeignHeaderDataIsRefused) {
    MakeList();
    FillRows(2);
    // A data object in the right format, but no drag of this list going
    // on: nothing may move. The drop target is reached the way OLE does,
    // through the window's property.
    IDataObject* data = NewHeaderDataObject(1);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ReadHeaderPosition(data), 1);
    auto* target = static_cast<IDropTarget*>(GetPropA(list(), "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    POINT point = HeaderPoint(2);
    ClientToScreen(list(), &point);
    DWORD effect = DROPEFFECT_MOVE;
    target->DragEnter(data, MK_LBUTTON, POINTL{point.x, point.y}, &effect);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    effect = DROPEFFECT_MOVE;
    target->Drop(data, 0, POINTL{point.x, point.y}, &effect);
    EXPECT_EQ(effect, DWORD{DROPEFFECT_NONE});
    EXPECT_EQ(model().ColumnOrder(), (std::vector<int>{0, 1, 2}));
    data->Release();
    EXPECT_EQ(ReadHeaderPosition(nullptr), std::nullopt);
}

TEST_F(ListCtrlTest, SystemColourChangesAreReadAgain) {
    MakeList();
    const int element = COLOR_WINDOW;
    const COLORREF original = GetSysColor(element);
    const COLORREF changed = RGB(250, 250, 230);
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    SendMessageA(list(), WM_SYSCOLORCHANGE, 0, 0);
    const ColorRef readBack = list_->systemColors().window;
    SetSysColors(1, &element, &original);
    SendMessageA(list(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(readBack, Rgb(250, 250, 230));
    EXPECT_EQ(list_->systemColors().window.value, original & 0xFFFFFF);
}

TEST_F(ListCtrlTest, PaintsTheSelectionAMarkedCellAHotLinkAndTheHeader) {
    MakeList();
    FillRows(20);
    Click(CellPoint(3, 0));
    Click(CellPoint(5, 0), MK_SHIFT);
    constexpr ColorRef kMark = Rgb(255, 236, 150);
    list_->SetCellColors(8, 1, kMark, kDefaultColor);
    Move(CellPoint(10, 1));
    SetFocus(list());
    Pump();
    const Picture picture(list());
    const auto row = [&](int index, LONG left, LONG right) {
        const PixelRect rect = RowRect(list_->metrics(), list_->viewport(), index, 20);
        return RECT{left, rect.top, right, rect.bottom};
    };
    // The styled selection's outer border and gradient, on the focused list.
    RECT selected = row(4, 0, 450);
    EXPECT_GT(picture.Count(selected, ToColorref(kListFocusedSelectionTop)), 0);
    InflateRect(&selected, 0, 1);
    EXPECT_GT(picture.Count(selected, ToColorref(kListFocusedSelectionOuter)), 0);
    // The mark fills its cell (column 1, from x 150), not its neighbours.
    EXPECT_GT(picture.Count(row(8, 150, 350), ToColorref(kMark)), 0);
    EXPECT_EQ(picture.Count(row(8, 0, 148), ToColorref(kMark)), 0);
    EXPECT_EQ(picture.Count(row(12, 0, 450), ToColorref(kMark)), 0);
    EXPECT_GT(picture.Count(row(10, 150, 350), ToColorref(kListHotLinkText)), 0);
    EXPECT_GT(picture.Count(RECT{0, 0, 450, list_->metrics().headerHeight},
                            ToColorref(list_->systemColors().buttonFace)),
              0);
}

}  // namespace
}  // namespace qm
