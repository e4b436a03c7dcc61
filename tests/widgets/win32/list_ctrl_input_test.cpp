// The list driven by real mouse and key messages, its notifications
// checked at the parent.
#include <algorithm>

#include "tests/widgets/win32/list_ctrl_fixture.h"

namespace qm {
namespace {

TEST_F(ListCtrlTest, CreatesTheWindowWithItsCompanions) {
    MakeList();
    char name[32] = {};
    GetClassNameA(list(), name, sizeof name);
    EXPECT_STREQ(name, "ListCtrl");
    const LONG_PTR style = GetWindowLongPtrA(list(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(style & WS_BORDER);
    EXPECT_TRUE(GetWindowLongPtrA(list(), GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_EQ(GetDlgCtrlID(list()), kListId);

    WNDCLASSEXA tipClass = {};
    tipClass.cbSize = sizeof(tipClass);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "TitleTip", &tipClass));
    EXPECT_TRUE(tipClass.style & CS_SAVEBITS);
    WNDCLASSEXA listClass = {};
    listClass.cbSize = sizeof(listClass);
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "ListCtrl", &listClass));
    EXPECT_EQ(listClass.style & (CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS),
              UINT{CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS});
    WNDCLASSEXA arrowsClass = {};
    arrowsClass.cbSize = sizeof(arrowsClass);
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "DropArrows", &arrowsClass));
    EXPECT_NE(HeaderClipboardFormat(), 0u);
    EXPECT_EQ(HeaderClipboardFormat(), RegisterClipboardFormatA("HEADERCLIPBOARDFORMAT"));

    // Rows and header are the font's height plus 6.
    EXPECT_GT(list_->metrics().rowHeight, 6);
    EXPECT_EQ(list_->metrics().rowHeight, list_->metrics().headerHeight);
    // The glyphs are there exactly when the strip is among the resources.
    const bool stripPresent = FindResourceA(nullptr, MAKEINTRESOURCEA(210), MAKEINTRESOURCEA(2)) != nullptr;
    EXPECT_EQ(list_->hasGlyphs(), stripPresent);
    EXPECT_EQ(SendMessageA(list(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB);
}

TEST_F(ListCtrlTest, ClickSelectsAndAClickOnTheOnlySelectedRowOnlyClicks) {
    MakeList();
    FillRows(10);
    Click(CellPoint(2, 0));
    EXPECT_TRUE(ExpectSequence(
        log_, {Notification(LISTNOTE_SELECTION, 2, 0), Notification(LISTNOTE_CLICK, 2, 0)}, "first click"));
    EXPECT_EQ(GetFocus(), list());
    Click(CellPoint(2, 2));
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, 2, 2)}, "click on the selected row"));
    // Below the last row: a click on nothing, and the selection stays.
    Click(POINT{30, 390});
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, -1, -1)}, "click on empty space"));
    EXPECT_EQ(model().selection().ToString(), "active=2 anchor=-1 selection=2");
}

TEST_F(ListCtrlTest, ShiftExtendsAndControlTogglesWithoutTellingWhenRemoving) {
    MakeList();
    FillRows(20);
    Click(CellPoint(1, 0));
    log_.Clear();
    Click(CellPoint(4, 0), MK_SHIFT);
    EXPECT_TRUE(ExpectSequence(
        log_, {Notification(LISTNOTE_SELECTION, 4, -1), Notification(LISTNOTE_CLICK, 4, 0)}, "shift click"));
    EXPECT_EQ(model().selection().ToString(), "active=4 anchor=1 selection=1 2 3 4");
    Click(CellPoint(2, 0), MK_CONTROL);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, 2, 0)}, "control click removing a row"));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{1, 3, 4}));

    // The only selected row, Control-clicked, goes silently.
    Click(CellPoint(7, 1));
    log_.Clear();
    Click(CellPoint(7, 0), MK_CONTROL);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, 7, 0)}, "control click on the only row"));
    EXPECT_TRUE(model().SelectedRows().empty());
}

TEST_F(ListCtrlTest, RightClickInsideAMultipleSelectionKeepsIt) {
    MakeList();
    FillRows(12);
    Click(CellPoint(1, 0));
    Click(CellPoint(3, 0), MK_SHIFT);
    log_.Clear();
    RightClick(CellPoint(2, 1));
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CONTEXT, 2, 1)}, "right click in the selection"));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{1, 2, 3}));
    RightClick(CellPoint(9, 1));
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(LISTNOTE_SELECTION, 9, 1), Notification(LISTNOTE_CONTEXT, 9, 1)},
                               "right click outside"));
    RightClick(POINT{30, 390});
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CONTEXT, -1, -1)}, "right click on empty space"));
    // A left press inside a multiple selection keeps it until the release.
    Click(CellPoint(5, 0));
    Click(CellPoint(6, 0), MK_SHIFT);
    log_.Clear();
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(CellPoint(5, 0).x, CellPoint(5, 0).y));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{5, 6}));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(CellPoint(5, 0).x, CellPoint(5, 0).y));
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(LISTNOTE_SELECTION, 5, 0), Notification(LISTNOTE_CLICK, 5, 0)},
                               "release in selection"));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{5}));
}

TEST_F(ListCtrlTest, DoubleClickActivatesTheCellUnderThePointer) {
    MakeList();
    FillRows(5);
    const POINT point = CellPoint(3, 2);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(LISTNOTE_SELECTION, 3, 2), Notification(LISTNOTE_CLICK, 3, 2),
                                Notification(LISTNOTE_ACTIVATE, 3, 2), Notification(LISTNOTE_CLICK, 3, 2)},
                               "double click"));
}

TEST_F(ListCtrlTest, HeaderClickSortsAndASecondClickReversesExactly) {
    MakeList();
    list_->AddColumn("Title", 150);
    list_->AddColumn("URL", 200);
    list_->AddColumn("Last Visited", 100);
    const char* urls[] = {"apple", "Banana", "cherry", "Apple", "banana"};
    const uint64_t dates[] = {50, 10, 40, 20, 30};
    for (int row = 0; row < 5; ++row) {
        list_->AddRow(std::string(1, static_cast<char>('a' + row)));
        list_->SetCellText(row, 1, urls[row]);
        list_->SetCellText(row, 2, "same day");  // dates that render alike
        list_->SetCellDate(row, 2, FileTime{dates[row]});
    }
    Pump();
    Click(HeaderPoint(1));
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, -1, -1)}, "header click"));
    EXPECT_EQ(ColumnTexts(1), (std::vector<std::string>{"Apple", "Banana", "apple", "banana", "cherry"}));
    EXPECT_EQ(model().sortColumn(), 1);
    EXPECT_EQ(model().SortGlyph(1), 1);
    const std::vector<std::string> titles = ColumnTexts(0);
    Click(HeaderPoint(1));
    std::vector<std::string> reversed = titles;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(ColumnTexts(0), reversed);
    EXPECT_EQ(model().SortGlyph(1), 0);

    // A date column sorts by the dates, not by the texts.
    Click(HeaderPoint(2));
    EXPECT_EQ(ColumnTexts(0), (std::vector<std::string>{"b", "d", "e", "c", "a"}));
    log_.Clear();

    // A press that slides off its column before the release sorts nothing.
    const POINT from = HeaderPoint(0);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(HeaderPoint(1).x, from.y));
    EXPECT_EQ(model().sortColumn(), 2);
}

TEST_F(ListCtrlTest, KeysMoveTheSelectionAndScrollItIntoView) {
    MakeList();
    FillRows(300);
    Click(CellPoint(0, 0));
    log_.Clear();
    Key(VK_DOWN);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_SELECTION, 1, 0)}, "down"));
    Key(VK_END);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_SELECTION, 299, 0)}, "end"));
    const int bottom = MaxScrollY(list_->metrics(), list_->viewport(), 300);
    EXPECT_GT(bottom, 0);
    EXPECT_EQ(list_->viewport().scrollY, bottom);
    EXPECT_EQ(GetScrollPos(list(), SB_VERT), bottom);
    Key(VK_HOME);
    EXPECT_EQ(list_->viewport().scrollY, 0);
    EXPECT_EQ(model().selection().ToString(), "active=0 anchor=0 selection=0");
    log_.Clear();

    // Page Down moves by the rows in view less one.
    const int page = WholeVisibleRows(list_->metrics(), list_->viewport());
    Key(VK_NEXT);
    EXPECT_EQ(model().SelectedRow(), page - 1);
    Key(VK_HOME);
    // Shift extends from the anchor; Control moves only the focus.
    Key(VK_DOWN, true);
    Key(VK_DOWN, true);
    EXPECT_EQ(model().selection().ToString(), "active=2 anchor=0 selection=0 1 2");
    Key(VK_DOWN, false, true);
    EXPECT_EQ(model().selection().ToString(), "active=3 anchor=0 selection=0 1 2");
    log_.Clear();
    // Control+A selects everything without a word to the parent.
    Key('A', false, true);
    EXPECT_EQ(model().SelectedRows().size(), 300u);
    EXPECT_TRUE(ExpectSequence(log_, {}, "control+A"));
    // Left and Right scroll sideways, 5 pixels, 50 with Control.
    MoveWindow(list(), 0, 0, 300, 300, TRUE);
    Pump();
    Key(VK_RIGHT);
    EXPECT_EQ(list_->viewport().scrollX, 5);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(list_->viewport().scrollX, 55);
    Key(VK_LEFT, false, true);
    Key(VK_LEFT);
    EXPECT_EQ(list_->viewport().scrollX, 0);
}

TEST_F(ListCtrlTest, TypingFindsTheRowInTheSortColumn) {
    MakeList();
    list_->AddColumn("Name", 200);
    for (const char* name : {"zebra", "Mango", "mild", "Minor", "apple", "melon"}) list_->AddRow(name);
    Pump();
    // Before a sort there is no column to search.
    Key('M');
    EXPECT_TRUE(model().SelectedRows().empty());
    Click(HeaderPoint(0));  // Mango Minor apple melon mild zebra
    log_.Clear();
    Key('M');
    Key('I');
    EXPECT_EQ(model().GetCellText(model().SelectedRow(), 0), "Minor");
    EXPECT_TRUE(
        ExpectSequence(log_, {Notification(LISTNOTE_SELECTION, 0, 0), Notification(LISTNOTE_SELECTION, 1, 0)},
                       "typing M then I"));
}

TEST_F(ListCtrlTest, WheelAndScrollBarsMoveTheView) {
    MakeList();
    FillRows(300);
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int rowHeight = list_->metrics().rowHeight;
    SendMessageA(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(30, 30));
    EXPECT_EQ(list_->viewport().scrollY, static_cast<int>(lines) * rowHeight);
    SendMessageA(list(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(2 * WHEEL_DELTA)),
                 MAKELPARAM(30, 30));
    EXPECT_EQ(list_->viewport().scrollY, 0);  // never above the top
    SendMessageA(list(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(list_->viewport().scrollY, rowHeight);
    SendMessageA(list(), WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(list_->viewport().scrollY, MaxScrollY(list_->metrics(), list_->viewport(), 300));
    EXPECT_EQ(GetScrollPos(list(), SB_VERT), list_->viewport().scrollY);
    SendMessageA(list(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(list_->viewport().scrollY, 0);
    // A click lands on the row drawn under the pointer after a scroll.
    SendMessageA(list(), WM_VSCROLL, SB_PAGEDOWN, 0);
    const int top = list_->viewport().scrollY / rowHeight;
    Click(POINT{30, list_->metrics().headerHeight + rowHeight / 2});
    EXPECT_EQ(model().SelectedRow(), top);
}

TEST_F(ListCtrlTest, DividersResizeByDragAndFitByDoubleClick) {
    MakeList();
    FillRows(5);
    const int fixed = list_->AddColumn("Fixed", 60, -1, true);
    list_->SetCellText(0, fixed, "a text far wider than sixty pixels");
    list_->SetCellText(3, 0, "A title that is a good deal longer than the column");
    Pump();
    const int y = list_->metrics().headerHeight / 2;
    const int divider = DividerX(0);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider, y));
    SendMessageA(list(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(divider + 40, y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(divider + 40, y));
    EXPECT_EQ(model().GetColumn(0)->width, 190);
    EXPECT_EQ(model().sortColumn(), -1);  // a resize is no header click
    log_.Clear();

    // A fixed column's divider cannot be grabbed, nor fitted.
    const POINT fixedDivider{DividerX(fixed), y};
    SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(fixedDivider.x - 1, fixedDivider.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(fixedDivider.x - 1, fixedDivider.y));
    EXPECT_EQ(model().GetColumn(fixed)->width, 60);

    SendMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(DividerX(0), y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(DividerX(0), y));
    const int fitted = model().GetColumn(0)->width;
    EXPECT_GT(fitted, 190);
    // The fitted column shows the long title whole: no title tip over it.
    Move(CellPoint(3, 0));
    EXPECT_FALSE(list_->titleTip().visible());
}

TEST_F(ListCtrlTest, LinkCellsTurnHotAndReportPresses) {
    MakeList();
    FillRows(5);
    list_->SetCellFormat(4, 1, kListCellHyperlink, kListCellDisabled);
    const POINT link = CellPoint(2, 1);
    Move(link);
    EXPECT_EQ(model().hotRow(), 2);
    EXPECT_EQ(model().hotColumn(), 1);
    POINT screen = link;
    ClientToScreen(list(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(list(), WM_SETCURSOR, reinterpret_cast<WPARAM>(list()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // the hand
    Move(CellPoint(2, 0));
    EXPECT_EQ(model().hotRow(), -1);
    SendMessageA(list(), WM_SETCURSOR, reinterpret_cast<WPARAM>(list()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    Click(link);
    EXPECT_TRUE(ExpectSequence(log_,
                               {Notification(LISTNOTE_SELECTION, 2, 1),
                                Notification(LISTNOTE_LINKCLICK, 2, 1), Notification(LISTNOTE_CLICK, 2, 1)},
                               "press on a link"));
    // A disabled link is plain text.
    Move(CellPoint(4, 1));
    EXPECT_EQ(model().hotRow(), -1);
    Click(CellPoint(4, 1));
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_LINKCLICK), 0);
    log_.Clear();
    // Leaving the list clears the hot cell.
    Move(link);
    SendMessageA(list(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(model().hotRow(), -1);

    // A double click follows the link once, and activates.
    Click(link);
    Press(WM_LBUTTONDBLCLK, WM_LBUTTONUP, link);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_LINKCLICK), 1);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_ACTIVATE), 1);
}

TEST_F(ListCtrlTest, TitleTipShowsTruncatedTextAndPassesClicksOn) {
    MakeList();
    FillRows(5);
    list_->SetColumnWidth(1, 60);
    list_->SetCellText(3, 0, "Short");
    Pump();
    Move(CellPoint(2, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    const HWND tip = list_->titleTip().window();
    EXPECT_TRUE(IsWindowVisible(tip));
    char name[32] = {};
    GetClassNameA(tip, name, sizeof name);
    EXPECT_STREQ(name, "TitleTip");
    EXPECT_EQ(list_->titleTip().text(), "http://site/002");
    RECT tipRect = {};
    GetWindowRect(tip, &tipRect);
    EXPECT_GT(tipRect.right - tipRect.left, 60);
    EXPECT_EQ(tipRect.bottom - tipRect.top, list_->metrics().rowHeight);
    EXPECT_EQ(GetForegroundWindow(), parent_);  // shown without activating
    EXPECT_EQ(GetCapture(), tip);

    // A press on the tip reaches the cell beneath.
    SendMessageA(tip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 4));
    EXPECT_FALSE(IsWindowVisible(tip));
    Pump();
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(CellPoint(2, 1).x, CellPoint(2, 1).y));
    EXPECT_EQ(model().SelectedRow(), 2);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_SELECTION), 1);
    log_.Clear();

    // Text that fits gets no tip; a key hides a shown one.
    Move(CellPoint(3, 0));
    EXPECT_FALSE(list_->titleTip().visible());
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    Key(VK_DOWN);
    EXPECT_FALSE(list_->titleTip().visible());
    EXPECT_FALSE(IsWindowVisible(tip));
    // A new list font (a setting or font change) takes the tip drawn in
    // the old one away.
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    SendMessageA(list(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    EXPECT_FALSE(list_->titleTip().visible());

    // Leaving the list through the tip hides it, gives the mouse back and
    // ends the link cell's hot state.
    Move(CellPoint(1, 1));
    ASSERT_TRUE(list_->titleTip().visible());
    ASSERT_EQ(model().hotRow(), 1);
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
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(link.x, link.y));
    Press(WM_LBUTTONDOWN, WM_LBUTTONUP, link);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_LINKCLICK), 1);
}

TEST_F(ListCtrlTest, DraggingOverRowsSelectsThemByRectangle) {
    MakeList();
    FillRows(30);
    const POINT from = CellPoint(2, 0);
    const POINT to = CellPoint(6, 1);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(list(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 10, (from.y + to.y) / 2));
    SendMessageA(list(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(model().selection().active(), 6);
    EXPECT_EQ(log_.CountNotifications(LISTNOTE_CLICK), 1);
    EXPECT_GE(log_.CountNotifications(LISTNOTE_SELECTION), 2);
    log_.Clear();
    // A single-selection list draws no rectangle.
    list_->Destroy();
    MakeList(ListOptions{true, true, true, true, false});
    FillRows(30);
    SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(list(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(model().SelectedRows(), (std::vector<int>{2}));
}

TEST_F(ListCtrlTest, EditDoneFromAnotherWindowIsIgnored) {
    MakeList();
    FillRows(3);
    const std::string before(model().GetCellText(1, 0));
    ListNotifyRecord record = {};
    record.header.hwndFrom = parent_;  // not an editor of the list
    record.header.code = static_cast<UINT>(LISTNOTE_EDITDONE);
    record.row = 1;
    record.column = 0;
    record.text = "changed";
    SendMessageA(list(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(model().GetCellText(1, 0), before);
    EXPECT_TRUE(ExpectSequence(log_, {}, "foreign edit end"));
}

TEST_F(ListCtrlTest, OwnerOperationsOutOfRangeDoNothing) {
    MakeList();
    FillRows(3);
    EXPECT_FALSE(list_->SetCellText(3, 0, "x"));
    EXPECT_FALSE(list_->SetCellText(0, 9, "x"));
    EXPECT_FALSE(list_->DeleteRow(-1));
    list_->Select(5, 0, 0);
    EXPECT_TRUE(model().SelectedRows().empty());
    list_->Select(1, 0, 0);
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_SELECTION, 1, 0)}, "select"));
    list_->DeleteAllRows();
    EXPECT_EQ(model().RowCount(), 0);
    EXPECT_TRUE(model().SelectedRows().empty());
    // Clicks on an empty list are clicks on nothing.
    Click(CellPoint(0, 0));
    EXPECT_TRUE(ExpectSequence(log_, {Notification(LISTNOTE_CLICK, -1, -1)}, "click on an empty list"));
}

}  // namespace
}  // namespace qm
