// What `ListCtrl` shows and how it behaves, without a window: the columns,
// the rows of cells, the selection, sorting, type-ahead search, the check
// box and hyperlink cells, the in-place edit end and the notifications.
//
// The model draws nothing. The window measures text, paints what the model
// holds, and turns mouse and key messages into the calls below; the model
// answers what changed and tells the parent through a ListSink (the window,
// which forwards each ListNotify as WM_NOTIFY). Notifications are sent
// synchronously and last: a parent may change the list from inside one
// (delete rows on a context menu), and the model never touches a row it
// found before a notification without looking it up again.
//
// Rows are indexes in display order (sorting reorders them); columns are
// indexes in creation order, which is also their id. The header order the
// user drags into is a separate permutation (ColumnOrder).
//
// Owned: everything here. Borrowed: the clock (for the type-ahead timing)
// and the sink, which must outlive the model or be reset first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/types.h"
#include "widgets/colors.h"
#include "widgets/list_selection.h"

namespace qm {

// Notification codes to the parent.
inline constexpr int LISTNOTE_SELECTION = -1501;
inline constexpr int LISTNOTE_CLICK = -1502;
inline constexpr int LISTNOTE_CONTEXT = -1503;
inline constexpr int LISTNOTE_ACTIVATE = -1504;
inline constexpr int LISTNOTE_EDITDONE = -1505;
inline constexpr int LISTNOTE_VALUECHANGED = -1506;
inline constexpr int LISTNOTE_LINKCLICK = -1507;

// Column format bits (cells use the same alignment bits in their flags).
inline constexpr int kListAlignRight = 2;
inline constexpr int kListAlignCenter = 4;
inline constexpr int kListCellDisabled = 8;

// Cell formats.
inline constexpr int kListCellText = 0;
inline constexpr int kListCellEditText = 1;
inline constexpr int kListCellCheckBox = 4;
inline constexpr int kListCellThreeState = 5;
inline constexpr int kListCellHyperlink = 6;

// Key codes as the key messages carry them.
inline constexpr int kListKeyTab = 0x09;
inline constexpr int kListKeyEscape = 0x1B;
inline constexpr int kListKeySpace = 0x20;
inline constexpr int kListKeyPageUp = 0x21;
inline constexpr int kListKeyPageDown = 0x22;
inline constexpr int kListKeyEnd = 0x23;
inline constexpr int kListKeyHome = 0x24;
inline constexpr int kListKeyLeft = 0x25;
inline constexpr int kListKeyUp = 0x26;
inline constexpr int kListKeyRight = 0x27;
inline constexpr int kListKeyDown = 0x28;
inline constexpr int kListKeyDelete = 0x2E;

// Keys typed within this many milliseconds of each other extend one search text.
inline constexpr uint32_t kTypeAheadMs = 800;

// The portable part of the record every notification carries; the window
// adds the sending window and its control id. Key, text and date carry data
// only in LISTNOTE_EDITDONE, which the editor sends to the list.
struct ListNotify {
    int code = 0;
    int row = -1;
    int column = -1;  // column id
    int key = 0;
    std::string_view text;
    const SystemTime* date = nullptr;
};

class ListSink {
public:
    virtual ~ListSink() = default;
    virtual void Notify(const ListNotify& notify) = 0;
};

struct ListColumn {
    std::string title;
    int width = 0;
    bool fixed = false;                 // no resizing, no auto-size, no sort mark
    int reserved = 0;                   // kept for the owner
    int format = 0;                     // kListAlignRight / kListAlignCenter
    int image = -1;                     // row image list index, -1 for none
    int id = 0;                         // index at creation
    std::vector<std::string> itemList;  // choices for in-place editors
};

struct ListCell {
    std::string text;  // check boxes hold "0", "1" or "-1"
    int image = -1;
    int format = kListCellText;
    int flags = 0;
    std::vector<std::string> choices;
    FileTime date;  // sort key of date columns, zero when unset
    ColorRef background = kDefaultColor;
    ColorRef textColor = kDefaultColor;
};

struct ListRow {
    std::vector<ListCell> cells;  // one per column, by column id
    std::string text;             // kept for the owner
    uint64_t item = 0;            // kept for the owner
};

struct ListOptions {
    bool headerShown = true;
    bool styledSelection = true;
    bool sortableHeaders = true;
    bool singleSelection = false;
    bool cellFocus = false;  // focus moves by cells; otherwise Left and Right scroll
};

// What a key did that the window has to follow up.
struct ListKeyResult {
    bool handled = false;
    int rowToShow = -1;  // scroll this row into view
    int scrollXBy = 0;   // scroll sideways by this many pixels
    bool redraw = false;
};

// The result of an ended in-place edit.
struct ListEditResult {
    bool stored = false;   // the cell changed (or was emptied)
    bool postTab = false;  // the edit ended with Tab: post a Tab key to the list
};

// The state a check box cell's text stands for: 1 for a number above 0
// (checked), -1 below 0 (the third state), 0 otherwise.
int CheckState(std::string_view text);

// Width of a text in the list font, in pixels.
using TextMeasure = std::function<int(std::string_view)>;

class ListModel {
public:
    explicit ListModel(Clock& clock, ListOptions options = {});

    void SetSink(ListSink* sink) { sink_ = sink; }
    const ListOptions& options() const { return options_; }
    void SetOptions(const ListOptions& options) { options_ = options; }
    // Width of one image of the row image list (0 without one).
    void SetRowImageWidth(int width) { rowImageWidth_ = width < 0 ? 0 : width; }
    int rowImageWidth() const { return rowImageWidth_; }

    // Columns. AddColumn returns the new column's index (its id). Every row
    // gets an empty cell for it.
    int AddColumn(std::string_view title, int width, int image = -1, bool fixed = false, int reserved = 0,
                  int format = 0);
    // Removes the columns and every row's cells; the rows, the selection
    // and the sort column and direction stay (a rebuilt header sorts on).
    void DeleteAllColumns();
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const ListColumn* GetColumn(int column) const;
    // Ignored (false) for fixed columns; negative widths count as 0.
    bool SetColumnWidth(int column, int width);
    // Column ids from left to right as the header shows them.
    const std::vector<int>& ColumnOrder() const { return order_; }
    // Moves the column at header position `from` to stand before the one at
    // position `insertBefore` (ColumnCount() for the end). False when
    // nothing moves.
    bool MoveColumn(int from, int insertBefore);

    // Rows. AddRow appends and returns the new index, or -1 when there is no
    // column to hold the text. The first cell gets text and image, every
    // cell the format and flags.
    int AddRow(std::string_view text, int image = -1, int format = kListCellText, int flags = 0);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const ListRow* GetRow(int row) const;
    const ListCell* GetCell(int row, int column) const;
    // Empty when row or column is out of range. Valid until the list changes.
    std::string_view GetCellText(int row, int column) const;
    bool SetCellText(int row, int column, std::string_view text);
    bool SetCellImage(int row, int column, int image);
    bool SetCellFormat(int row, int column, int format, int flags);
    bool SetCellDate(int row, int column, FileTime date);
    bool SetCellColors(int row, int column, ColorRef background, ColorRef text);
    bool SetRowText(int row, std::string_view text);
    bool SetRowItem(int row, uint64_t item);
    bool DeleteRow(int row);
    // Deletes the given rows (any order, duplicates and bad indexes ignored)
    // in one pass; returns how many went.
    int DeleteRows(std::vector<int> rows);
    void DeleteAllRows();

    // Selection.
    const ListSelection& selection() const { return selection_; }
    int focusColumn() const { return focusColumn_; }
    // The focus row if it is selected, else the lowest selected row, else -1.
    int SelectedRow() const;
    bool IsRowSelected(int row) const { return selection_.Contains(row); }
    const std::vector<int>& SelectedRows() const { return selection_.rows(); }
    // The one path of every selection change; see ApplySelect.
    void Select(int row, int column, unsigned modifiers);
    // Control+A: every row, silently (lists that allow several rows only).
    void SelectAll();
    // A press on empty space: the next Shift range starts afresh.
    void ClearAnchor() { selection_.SetAnchor(-1); }
    // A selection rectangle being dragged: the rows from firstRow to
    // lastRow (-1 for none), added to `atStart` when Control is held. The
    // active row is lastRow. One LISTNOTE_SELECTION when the rows changed.
    void SelectRectangle(const ListSelection& atStart, int firstRow, int lastRow, unsigned modifiers);

    // Mouse, with row and column -1 over empty space.
    void LeftButtonDown(int row, int column, unsigned modifiers);
    // `dragged`: a selection rectangle was drawn since the press.
    void LeftButtonUp(int row, int column, unsigned modifiers, bool dragged);
    void RightButtonDown(int row, int column, unsigned modifiers);
    void RightButtonUp(int row, int column);
    // The double click, after the window handled it as a press.
    void Activate(int row, int column);
    // The enabled hyperlink cell under the pointer (anything else clears
    // it). True when that changed and the old and new cells need redrawing.
    bool SetHotCell(int row, int column);
    int hotRow() const { return hotRow_; }
    int hotColumn() const { return hotColumn_; }
    bool IsLinkCell(int row, int column) const;
    bool IsEditableInPlace(int row, int column) const;

    // A key press; pageRows is the number of rows the view shows whole.
    ListKeyResult KeyDown(int key, unsigned modifiers, int pageRows);
    // Space, or a click on a check box cell: toggles it (when enabled) and
    // tells the parent. False for any other cell.
    bool ToggleCheck(int row, int column);

    // The header click: sorts by the column, or reverses the rows when it is
    // already the sort column. Nothing while the header is hidden or not
    // sortable. Selection and focus follow their rows.
    bool HeaderClick(int column);
    int sortColumn() const { return sortColumn_; }
    bool ascending() const { return ascending_; }
    // Date columns sort by their cells' FILETIME, others by text.
    static bool IsDateColumnTitle(std::string_view title);
    // The header glyph in a column: 1 ascending, 0 descending, -1 none.
    int SortGlyph(int column) const;
    // The text typed so far by type-ahead.
    const std::string& typedText() const { return typed_; }

    // Sizes a non-fixed column to its widest text; false for fixed columns.
    bool AutoSizeColumn(int column, const TextMeasure& measure);

    // An in-place editor ended (LISTNOTE_EDITDONE): key, new text, and for
    // date editors the date.
    ListEditResult EndEdit(int row, int column, int key, std::string_view text, const SystemTime* date);

private:
    bool ValidCell(int row, int column) const;
    ListCell* MutableCell(int row, int column);
    void Notify(int code, int row, int column);
    void TypeAhead(char letter, ListKeyResult& result);
    ListKeyResult MoveFocus(int key, unsigned modifiers, int pageRows);
    void SortBy(int column);
    // newIndexOf[row] is where the row goes; a permutation of the rows.
    void Reorder(std::vector<int> newIndexOf);

    Clock& clock_;
    ListSink* sink_ = nullptr;
    ListOptions options_;
    int rowImageWidth_ = 0;

    std::vector<ListColumn> columns_;
    std::vector<int> order_;
    std::vector<ListRow> rows_;

    ListSelection selection_;
    int focusColumn_ = -1;
    int hotRow_ = -1;
    int hotColumn_ = -1;

    int sortColumn_ = -1;
    bool ascending_ = true;

    std::string typed_;
    uint32_t lastTypeTick_ = 0;
};

}  // namespace qm
