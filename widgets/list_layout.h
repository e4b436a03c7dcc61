// Where things are in a `ListCtrl` window and which colours they get: pure
// functions over the model and a few measures, so that the window's paint,
// hit test and scrolling code only asks.
//
// Coordinates: `x`/`y` are client pixels of the list window; "content"
// coordinates are client coordinates plus the scroll offsets (`x + scrollX`)
// and do not move as the view scrolls. `row` is an index into the model,
// `visibleRow` a line counted from the top of the view.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "widgets/colors.h"
#include "widgets/list_model.h"
#include "widgets/pixel_rect.h"

namespace qm {

// ---- measures ----

// Rows and the header are as high as the list font's text plus this.
inline constexpr int kListLinePadding = 6;
// A sort mark takes this much of a header column, and only columns wider
// than it show one.
inline constexpr int kListSortMarkWidth = 15;
// Images of the glyph strip (sort marks and check boxes).
inline constexpr int kListGlyphWidth = 16;
inline constexpr int kListGlyphDescending = 0;
inline constexpr int kListGlyphAscending = 1;
inline constexpr int kListGlyphUnchecked = 2;
inline constexpr int kListGlyphChecked = 3;
inline constexpr int kListGlyphThirdPositive = 4;
inline constexpr int kListGlyphThirdNegative = 5;
// A header divider can be grabbed this many pixels either side of it.
inline constexpr int kListDividerGrip = 4;
// A pressed header column becomes a drag once the pointer is this far away.
inline constexpr int kListColumnDragDistance = 4;
// Timers of the window.
inline constexpr int kListTimerWidenColumn = 1001;  // 20 ms
inline constexpr int kListTimerOpenEditor = 1002;   // 250 ms
inline constexpr int kListTimerAutoScroll = 1003;
inline constexpr int kListTimerDragFeedback = 1004;

constexpr int ListLineHeight(int textHeight) {
    return textHeight + kListLinePadding;
}

// ---- colours that do not come from the system ----

inline constexpr ColorRef kListPressedHeader = Rgb(130, 140, 180);
inline constexpr ColorRef kListFocusedSelectionOuter = Rgb(170, 200, 245);
inline constexpr ColorRef kListFocusedSelectionInner = Rgb(230, 250, 250);
inline constexpr ColorRef kListFocusedSelectionTop = Rgb(210, 240, 250);
inline constexpr ColorRef kListFocusedSelectionBottom = Rgb(185, 215, 250);
inline constexpr ColorRef kListUnfocusedSelectionOuter = Rgb(220, 220, 220);
inline constexpr ColorRef kListUnfocusedSelectionInner = Rgb(245, 245, 245);
inline constexpr ColorRef kListUnfocusedSelectionTop = Rgb(250, 250, 250);
inline constexpr ColorRef kListUnfocusedSelectionBottom = Rgb(235, 235, 235);
inline constexpr ColorRef kListFocusCellTop = Rgb(235, 245, 245);
inline constexpr ColorRef kListFocusCellBottom = Rgb(225, 235, 245);
inline constexpr ColorRef kListEditCell = Rgb(180, 190, 210);
inline constexpr ColorRef kListHotLinkText = Rgb(0, 0, 200);
// Rounded corners: the styled selection (outer, inner) and a cell's mark.
inline constexpr int kListSelectionCorner = 5;
inline constexpr int kListSelectionInnerCorner = 2;
inline constexpr int kListCellMarkCorner = 3;

// The colours the window reads from the system at creation and on every
// colour, setting, font or theme change.
struct ListSystemColors {
    ColorRef window;         // list background
    ColorRef windowText;     // header and cell text
    ColorRef buttonFace;     // header background
    ColorRef buttonLight;    // header divider, light side
    ColorRef buttonShadow;   // header divider, dark side
    ColorRef highlight;      // classic selection fill
    ColorRef highlightText;  // classic selection text
};

// A cell's background: its own, or the list's while it has none.
ColorRef CellBackground(const ListCell& cell, const ListSystemColors& system);
// A cell with a background of its own (a find mark) gets a rounded mark.
bool CellHasMark(const ListCell& cell, const ListSystemColors& system);
// A cell's text colour: the hot link colour under the pointer, the
// highlight text in a classic selected row, otherwise the cell's own (in a
// styled selection too) or the list's.
ColorRef CellTextColor(const ListCell& cell, const ListSystemColors& system, bool selected,
                       bool styledSelection, bool hotLink);
// The glyph of a check box cell, -1 for other cells.
int CheckGlyph(const ListCell& cell);

// ---- rows ----

struct ListMetrics {
    int rowHeight = 0;
    int headerHeight = 0;
    bool headerShown = true;
};

struct ListViewport {
    int scrollX = 0;
    int scrollY = 0;  // pixels, a multiple of the row height when scrolled by rows
    int width = 0;    // client size
    int height = 0;
};

// Rows [first, end).
struct RowSpan {
    int first = 0;
    int end = 0;

    int count() const { return end - first; }
    friend constexpr bool operator==(const RowSpan&, const RowSpan&) = default;
};

// The y where rows begin: below the header when it is shown.
int RowsTop(const ListMetrics& metrics);
// The row at client y, or -1 over the header or below the last row.
int RowAtY(const ListMetrics& metrics, const ListViewport& view, int y, int rowCount);
// Row in client coordinates, as wide as the given content width.
PixelRect RowRect(const ListMetrics& metrics, const ListViewport& view, int row, int contentWidth);
// The rows that touch client lines [top, bottom): painting costs what the
// view shows, however long the list.
RowSpan RowsToPaint(const ListMetrics& metrics, const ListViewport& view, int rowCount, int top, int bottom);
// How many rows the view shows whole (Page Up and Page Down move one less).
int WholeVisibleRows(const ListMetrics& metrics, const ListViewport& view);
int MaxScrollY(const ListMetrics& metrics, const ListViewport& view, int rowCount);
// The scroll position that brings the row into view, moving as little as
// possible (unchanged when it is already whole in view).
int ScrollYToShowRow(const ListMetrics& metrics, const ListViewport& view, int rowCount, int row);
// The wheel: wheelLines rows per notch of 120 (a negative count scrolls a
// view at a time), up for a positive delta; never above the top or past
// the last row.
int WheelScrollY(const ListMetrics& metrics, const ListViewport& view, int rowCount, int wheelLines,
                 int wheelDelta);

// A scroll bar's request, numbered as the platform's scroll messages.
inline constexpr int kScrollLineBack = 0;  // up, or left
inline constexpr int kScrollLineForward = 1;
inline constexpr int kScrollPageBack = 2;
inline constexpr int kScrollPageForward = 3;
inline constexpr int kScrollThumbPosition = 4;
inline constexpr int kScrollThumbTrack = 5;
inline constexpr int kScrollStart = 6;  // top, or left end
inline constexpr int kScrollEnd = 7;

// Where a vertical scroll bar request takes the view: a row per line, the
// whole rows in view per page (at least one), the thumb's `trackY` rounded
// down to a whole row; never above the top or past the
// last row. Nothing for a request that does not scroll.
std::optional<int> ScrollYFor(const ListMetrics& metrics, const ListViewport& view, int rowCount, int request,
                              int trackY);

// ---- columns ----

// A column as the header shows it, in content x.
struct ColumnSpan {
    int id = 0;
    int left = 0;
    int right = 0;
    bool fixed = false;

    friend constexpr bool operator==(const ColumnSpan&, const ColumnSpan&) = default;
};

// The columns from left to right, in header order.
std::vector<ColumnSpan> ColumnSpans(const ListModel& model);
int ContentWidth(const std::vector<ColumnSpan>& spans);
int MaxScrollX(const std::vector<ColumnSpan>& spans, const ListViewport& view);

struct HeaderHit {
    int column = -1;     // id of the column under x, -1 right of the last
    int dividerOf = -1;  // id of the resizable column whose right divider is under x
    friend constexpr bool operator==(const HeaderHit&, const HeaderHit&) = default;
};

// What a header press at content x grabs. A divider belongs to the column
// on its left and only a column that is not fixed has one to grab; where
// dividers crowd (narrow columns) the nearest wins, the later one on a tie,
// so a column dragged down to nothing can still be widened.
HeaderHit HitTestHeader(const std::vector<ColumnSpan>& spans, int x);
// The id of the column at content x, -1 outside every column.
int ColumnAtX(const std::vector<ColumnSpan>& spans, int x);
// Where a dragged column would go: the header position (0..count) of the
// column boundary nearest to content x.
int DropInsertPosition(const std::vector<ColumnSpan>& spans, int x);
// A pressed header column becomes a drag past this distance.
bool StartsColumnDrag(int dx, int dy);
// A press on the rows becomes a selection rectangle once the pointer has
// moved further than the system's drag distance (dragWidth, dragHeight)
// in either direction, in a list that may select more than one row.
bool StartsSelectionRectangle(int dx, int dy, int dragWidth, int dragHeight, bool singleSelection);
// Where a horizontal scroll bar request takes the view: 5 pixels a line,
// the view's width a page, the thumb's `trackX`; never left of the first
// column or past the last. Nothing for a request that does not scroll.
std::optional<int> ScrollXFor(const std::vector<ColumnSpan>& spans, const ListViewport& view, int request,
                              int trackX);

// A press of the left button on a cell, in client pixels and ticks.
struct CellPress {
    int row = -1;
    int column = -1;  // id
    int x = 0;
    int y = 0;
    uint32_t tickMs = 0;
};
// The system's double-click bounds: the time, and the rectangle's size
// centred on the first press.
struct DoubleClickBounds {
    uint32_t timeMs = 500;
    int width = 4;
    int height = 4;
};
// Whether `current` is the second click of a double click that `previous`
// began: the same cell, within the time and the rectangle. It may reach the
// list as a double click or, after the first went to the title tip, as a
// plain press; a link followed by the first is not followed again.
bool IsSecondClick(const CellPress& previous, const CellPress& current, const DoubleClickBounds& bounds);

// The parts of a cell, in content x.
struct CellLayout {
    int imageLeft = -1;  // -1 without an image or glyph
    int textLeft = 0;
    int textRight = 0;

    friend constexpr bool operator==(const CellLayout&, const CellLayout&) = default;
};

// The width a cell's image takes: the glyph strip's for a check box, the
// row images' (`rowImageWidth`, 0 without a row image list) for a cell
// with an image, none otherwise.
int CellImageWidth(const ListCell& cell, int rowImageWidth);

// Content starts 4 pixels into the first header column and 3 into the
// others; an image (or glyph) takes its width plus 4; the text is inset by
// 4 more on both sides.
CellLayout LayoutCell(int cellLeft, int cellRight, bool firstColumn, int imageWidth);

// The title tip over a cell whose text, measured on one line, does not fit
// its text area: from 4 pixels left of the text, 11 pixels wider than the
// text, as high as the cell. None for check boxes or text that fits.
std::optional<PixelRect> TitleTipRect(const CellLayout& layout, int cellTop, int cellBottom, int textWidth,
                                      int cellFormat);

// ---- what the window paints, decided here ----

// The drop marker's colour.
inline constexpr ColorRef kListDropMarker = Rgb(40, 60, 160);

// A cell's alignment bits (kListAlignRight / kListAlignCenter): its own
// flags when they name one, else its column's format.
int CellAlignment(const ListCell& cell, const ListColumn& column);

// A header column's fill: the pressed colour while pressed, a lighter face
// under the pointer in styled mode, otherwise the button face.
ColorRef HeaderFill(const ListSystemColors& system, bool pressed, bool hot, bool styledSelection);

// The styled selection: two rounded borders and a vertical gradient inside,
// paler while the list does not have the focus.
struct SelectionLook {
    ColorRef outer;
    ColorRef inner;
    ColorRef top;
    ColorRef bottom;

    friend constexpr bool operator==(const SelectionLook&, const SelectionLook&) = default;
};
SelectionLook StyledSelectionLook(bool listFocused);

// A header column's parts, in content x: the text area (after the image,
// short of the sort mark when there is one) and where the mark's glyph goes
// (-1 without one).
struct HeaderCellLayout {
    CellLayout cell;
    int glyphLeft = -1;

    friend constexpr bool operator==(const HeaderCellLayout&, const HeaderCellLayout&) = default;
};
HeaderCellLayout LayoutHeaderCell(int left, int right, bool firstColumn, int imageWidth, bool sortMark);

// The rows a selection rectangle covers, dragged from content y `startY` to
// content y `currentY`: the first is the row on the side where the drag
// began, the last the row under the pointer, each clamped to the list.
// {-1, -1} for an empty list or a rectangle wholly below the last row.
struct RectangleRows {
    int firstRow = -1;
    int lastRow = -1;

    friend constexpr bool operator==(const RectangleRows&, const RectangleRows&) = default;
};
RectangleRows RowsUnderRectangle(int rowHeight, int startY, int currentY, int rowCount);

// While a selection rectangle is dragged outside the rows, the view scrolls
// a row at a time towards the pointer: -1 above the rows, 1 below the view,
// 0 inside.
int AutoScrollDirection(const ListMetrics& metrics, const ListViewport& view, int y);

// The column drop marker: a window over the boundary between two header
// columns, shaped as a triangle above the header pointing down and one
// below it pointing up. The window's rectangle is in client coordinates of
// the list; the triangles' points are relative to the window.
inline constexpr int kDropArrowHalfWidth = 5;
inline constexpr int kDropArrowHeight = 6;
struct DropMarker {
    PixelRect window;
    PixelPoint upper[3];
    PixelPoint lower[3];
};
DropMarker DropMarkerAt(int boundaryX, int headerTop, int headerBottom);
// The client x of the boundary before header position `position` (0..count).
int BoundaryX(const std::vector<ColumnSpan>& spans, int position, int scrollX);

}  // namespace qm
