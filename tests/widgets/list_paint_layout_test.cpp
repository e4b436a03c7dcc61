#include <gtest/gtest.h>

#include "widgets/list_layout.h"

namespace qm {
namespace {

constexpr ListSystemColors kSystem{Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(192, 192, 192),
                                   Rgb(255, 255, 255), Rgb(128, 128, 128), Rgb(10, 36, 106),
                                   Rgb(255, 255, 255)};

TEST(ListPaintLayout, CellAlignmentFallsBackToTheColumn) {
    ListCell cell;
    ListColumn centred;
    centred.format = kListAlignCenter;
    EXPECT_EQ(CellAlignment(cell, centred), kListAlignCenter);
    // A cell's own alignment wins; its other flags do not count as one.
    cell.flags = kListAlignRight | kListCellDisabled;
    EXPECT_EQ(CellAlignment(cell, centred), kListAlignRight);
    cell.flags = kListCellDisabled;
    EXPECT_EQ(CellAlignment(cell, centred), kListAlignCenter);
    // The "Size" columns' format 1 has no alignment bit: left.
    ListColumn size;
    size.format = 1;
    EXPECT_EQ(CellAlignment(ListCell{}, size), 0);
}

TEST(ListPaintLayout, HeaderFillFollowsPressAndHover) {
    EXPECT_EQ(HeaderFill(kSystem, false, false, true), kSystem.buttonFace);
    // Pressed wins over hot, in both selection styles.
    EXPECT_EQ(HeaderFill(kSystem, true, true, true), kListPressedHeader);
    EXPECT_EQ(HeaderFill(kSystem, true, false, false), kListPressedHeader);
    // Hover lights the face up in styled mode only, and a grey face stays grey.
    const ColorRef hot = HeaderFill(kSystem, false, true, true);
    EXPECT_GT(hot.red(), kSystem.buttonFace.red());
    EXPECT_LT(hot.red(), 255);
    EXPECT_EQ(hot.red(), hot.green());
    EXPECT_EQ(hot.green(), hot.blue());
    EXPECT_EQ(HeaderFill(kSystem, false, true, false), kSystem.buttonFace);
}

TEST(ListPaintLayout, StyledSelectionIsPalerWithoutTheFocus) {
    const SelectionLook focused = StyledSelectionLook(true);
    EXPECT_EQ(focused.outer, Rgb(170, 200, 245));
    EXPECT_EQ(focused.inner, Rgb(230, 250, 250));
    EXPECT_EQ(focused.top, Rgb(210, 240, 250));
    EXPECT_EQ(focused.bottom, Rgb(185, 215, 250));
    const SelectionLook unfocused = StyledSelectionLook(false);
    EXPECT_EQ(unfocused.outer, Rgb(220, 220, 220));
    EXPECT_EQ(unfocused.inner, Rgb(245, 245, 245));
    EXPECT_EQ(unfocused.top, Rgb(250, 250, 250));
    EXPECT_EQ(unfocused.bottom, Rgb(235, 235, 235));
}

TEST(ListPaintLayout, HeaderTitleGivesWayToTheSortMark) {
    const HeaderCellLayout plain = LayoutHeaderCell(100, 200, false, 0, false);
    EXPECT_EQ(plain.glyphLeft, -1);
    EXPECT_EQ(plain.cell, LayoutCell(100, 200, false, 0));
    const HeaderCellLayout marked = LayoutHeaderCell(100, 200, false, 0, true);
    EXPECT_EQ(marked.cell.textRight, 200 - kListSortMarkWidth - 4);
    EXPECT_EQ(marked.glyphLeft, 200 - kListSortMarkWidth - 2);
    // The glyph never starts left of its column, however narrow.
    EXPECT_EQ(LayoutHeaderCell(100, 110, true, 0, true).glyphLeft, 100);
    // An image moves the title, not the mark.
    const HeaderCellLayout withImage = LayoutHeaderCell(0, 120, true, 16, true);
    EXPECT_EQ(withImage.cell.imageLeft, 4);
    EXPECT_EQ(withImage.cell.textLeft, 4 + 16 + 4 + 4);
    EXPECT_EQ(withImage.glyphLeft, 120 - kListSortMarkWidth - 2);
}

TEST(ListPaintLayout, SelectionRectangleRowsRunFromTheStartToThePointer) {
    // Rows of 20 pixels, ten of them (content y 0..200).
    EXPECT_EQ(RowsUnderRectangle(20, 5, 65, 10), (RectangleRows{0, 3}));
    EXPECT_EQ(RowsUnderRectangle(20, 65, 5, 10), (RectangleRows{3, 0}));
    EXPECT_EQ(RowsUnderRectangle(20, 45, 45, 10), (RectangleRows{2, 2}));
    // Dragged above the rows or past the last one: clamped to the list.
    EXPECT_EQ(RowsUnderRectangle(20, 65, -30, 10), (RectangleRows{3, 0}));
    EXPECT_EQ(RowsUnderRectangle(20, 150, 900, 10), (RectangleRows{7, 9}));
    // From the empty space below the rows up into them.
    EXPECT_EQ(RowsUnderRectangle(20, 500, 150, 10), (RectangleRows{9, 7}));
    // Wholly below the rows, an empty list, no row height: nothing.
    EXPECT_EQ(RowsUnderRectangle(20, 300, 400, 10), (RectangleRows{}));
    EXPECT_EQ(RowsUnderRectangle(20, 0, 40, 0), (RectangleRows{}));
    EXPECT_EQ(RowsUnderRectangle(0, 0, 40, 10), (RectangleRows{}));
}

TEST(ListPaintLayout, AutoScrollOnlyOutsideTheRows) {
    const ListMetrics metrics{20, 24, true};
    const ListViewport view{0, 0, 300, 200};
    EXPECT_EQ(AutoScrollDirection(metrics, view, 10), -1);  // over the header
    EXPECT_EQ(AutoScrollDirection(metrics, view, -40), -1);
    EXPECT_EQ(AutoScrollDirection(metrics, view, 24), 0);
    EXPECT_EQ(AutoScrollDirection(metrics, view, 199), 0);
    EXPECT_EQ(AutoScrollDirection(metrics, view, 200), 1);
    EXPECT_EQ(AutoScrollDirection(ListMetrics{20, 24, false}, view, 10), 0);  // no header
}

TEST(ListPaintLayout, DropMarkerPointsAtTheBoundaryFromBothSides) {
    const DropMarker marker = DropMarkerAt(100, 0, 20);
    EXPECT_EQ(marker.window, (PixelRect{95, -6, 106, 26}));
    // Upper triangle: base along the window's top, tip on the header's top edge.
    EXPECT_EQ(marker.upper[2], (PixelPoint{5, 6}));
    EXPECT_EQ(marker.upper[0].y, 0);
    EXPECT_EQ(marker.upper[1].x - marker.upper[0].x, 11);
    // Lower triangle: base along the bottom, tip on the header's bottom edge.
    EXPECT_EQ(marker.lower[2], (PixelPoint{5, 26}));
    EXPECT_EQ(marker.lower[0].y, marker.window.height());
    // Both tips at the boundary's x inside the window.
    EXPECT_EQ(marker.window.left + marker.upper[2].x, 100);
    EXPECT_EQ(marker.window.left + marker.lower[2].x, 100);
}

TEST(ListPaintLayout, BoundariesFollowTheHeaderOrderAndTheScroll) {
    const std::vector<ColumnSpan> spans{{2, 0, 50, false}, {0, 50, 130, false}, {1, 130, 200, true}};
    EXPECT_EQ(BoundaryX(spans, 0, 0), 0);
    EXPECT_EQ(BoundaryX(spans, 1, 0), 50);
    EXPECT_EQ(BoundaryX(spans, 3, 0), 200);
    EXPECT_EQ(BoundaryX(spans, 2, 30), 100);
    // Positions out of range stick to the ends.
    EXPECT_EQ(BoundaryX(spans, -4, 0), 0);
    EXPECT_EQ(BoundaryX(spans, 9, 0), 200);
    EXPECT_EQ(BoundaryX({}, 1, 10), -10);
}

}  // namespace
}  // namespace qm
