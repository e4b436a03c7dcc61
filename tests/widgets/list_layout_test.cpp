#include "widgets/list_layout.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/memory/memory_platform.h"

namespace qm {
namespace {

constexpr ListMetrics kMetrics{20, 20, true};  // rows and header 20 pixels high

ListViewport View(int scrollY, int height = 220, int scrollX = 0, int width = 400) {
    return ListViewport{scrollX, scrollY, width, height};
}

TEST(ListLayout, RowAtYSkipsTheHeaderAndFollowsTheScroll) {
    EXPECT_EQ(RowAtY(kMetrics, View(0), 5, 100), -1);  // header
    EXPECT_EQ(RowAtY(kMetrics, View(0), 20, 100), 0);
    EXPECT_EQ(RowAtY(kMetrics, View(0), 39, 100), 0);
    EXPECT_EQ(RowAtY(kMetrics, View(0), 40, 100), 1);
    EXPECT_EQ(RowAtY(kMetrics, View(200), 20, 100), 10);
    EXPECT_EQ(RowAtY(kMetrics, View(0), 80, 3), -1);  // below the last row
    EXPECT_EQ(RowAtY(ListMetrics{20, 20, false}, View(0), 5, 100), 0);
    EXPECT_EQ(RowAtY(ListMetrics{0, 20, true}, View(0), 50, 100), -1);
}

TEST(ListLayout, PaintingTouchesOnlyTheRowsInView) {
    // However long the list, a full repaint covers the ten rows in view
    // plus the one cut off at the bottom.
    EXPECT_EQ(RowsToPaint(kMetrics, View(0, 230), 1'000'000, 0, 230), (RowSpan{0, 11}));
    EXPECT_EQ(RowsToPaint(kMetrics, View(10'000, 230), 1'000'000, 0, 230), (RowSpan{500, 511}));
    // A band of a few lines inside one row.
    EXPECT_EQ(RowsToPaint(kMetrics, View(0), 100, 45, 50), (RowSpan{1, 2}));
    // Just the header, an empty list, an empty band.
    EXPECT_EQ(RowsToPaint(kMetrics, View(0), 100, 0, 20).count(), 0);
    EXPECT_EQ(RowsToPaint(kMetrics, View(0), 0, 0, 220).count(), 0);
    EXPECT_EQ(RowsToPaint(kMetrics, View(0), 100, 50, 50).count(), 0);
    EXPECT_EQ(RowsToPaint(kMetrics, View(0), 3, 0, 220), (RowSpan{0, 3}));
}

TEST(ListLayout, ScrollingToARowMovesAsLittleAsPossible) {
    // 200 pixels below the header: ten whole rows.
    EXPECT_EQ(WholeVisibleRows(kMetrics, View(0)), 10);
    EXPECT_EQ(ScrollYToShowRow(kMetrics, View(0), 100, 5), 0);
    EXPECT_EQ(ScrollYToShowRow(kMetrics, View(0), 100, 10), 20);  // just enough for its bottom
    EXPECT_EQ(ScrollYToShowRow(kMetrics, View(200), 100, 3), 60);
    EXPECT_EQ(ScrollYToShowRow(kMetrics, View(0), 100, 99), 1800);
    EXPECT_EQ(MaxScrollY(kMetrics, View(0), 100), 1800);
    EXPECT_EQ(MaxScrollY(kMetrics, View(0), 5), 0);
    // A view lower than a row shows the row's top.
    EXPECT_EQ(ScrollYToShowRow(kMetrics, View(0, 30), 100, 4), 80);
}

TEST(ListLayout, WheelScrollsWholeRowsAndStopsAtBothEnds) {
    EXPECT_EQ(WheelScrollY(kMetrics, View(200), 100, 3, -120), 260);
    EXPECT_EQ(WheelScrollY(kMetrics, View(200), 100, 3, 120), 140);
    EXPECT_EQ(WheelScrollY(kMetrics, View(20), 100, 3, 120), 0);        // not above the top
    EXPECT_EQ(WheelScrollY(kMetrics, View(1780), 100, 3, -240), 1800);  // nor past the end
    EXPECT_EQ(WheelScrollY(kMetrics, View(200), 100, -1, -120), 400);   // a view at a time
    EXPECT_EQ(WheelScrollY(kMetrics, View(200), 100, 3, 30), 200);      // a quarter notch: no whole row
}

TEST(ListLayout, ScrollBarRequestsMoveByRowsAndPagesAndStopAtBothEnds) {
    // 100 rows of 20 pixels; ten whole rows in view, so a page is 200.
    const struct {
        const char* name;
        ListViewport view;
        int request;
        int trackY;
        std::optional<int> y;
    } kRows[] = {
        {"line up", View(200), kScrollLineBack, 0, 180},
        {"line down", View(200), kScrollLineForward, 0, 220},
        {"page up", View(200), kScrollPageBack, 0, 0},
        {"page down", View(200), kScrollPageForward, 0, 400},
        {"top", View(200), kScrollStart, 0, 0},
        {"bottom", View(200), kScrollEnd, 0, 1800},
        {"thumb tracked to a whole row", View(200), kScrollThumbTrack, 437, 420},
        {"thumb released", View(200), kScrollThumbPosition, 1799, 1780},
        {"thumb past the end", View(200), kScrollThumbTrack, 5000, 1800},
        {"line up at the top", View(0), kScrollLineBack, 0, 0},
        {"page down near the end", View(1700), kScrollPageForward, 0, 1800},
        {"page in a view lower than a row", View(200, 30), kScrollPageForward, 0, 220},
        {"end of scrolling", View(200), 8, 0, std::nullopt},
        {"no such request", View(200), -1, 0, std::nullopt},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(ScrollYFor(kMetrics, row.view, 100, row.request, row.trackY), row.y) << row.name;
    }
}

TEST(ListLayout, APressBecomesASelectionRectanglePastTheDragDistance) {
    const struct {
        int dx, dy;
        bool singleSelection;
        bool starts;
    } kRows[] = {
        {4, 0, false, false},  {5, 0, false, true},   {0, -5, false, true},
        {-4, 4, false, false}, {10, 10, true, false},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(StartsSelectionRectangle(row.dx, row.dy, 4, 4, row.singleSelection), row.starts)
            << row.dx << "," << row.dy << (row.singleSelection ? " single" : "");
    }
}

class ListColumnLayout : public ::testing::Test {
protected:
    ListColumnLayout() {
        list.AddColumn("Title", 100);
        list.AddColumn("Icon", 30, -1, true);
        list.AddColumn("URL", 50);
        spans = ColumnSpans(list);
    }
    MemoryClock clock;
    ListModel list{clock};
    std::vector<ColumnSpan> spans;
};

TEST_F(ListColumnLayout, SpansFollowTheHeaderOrder) {
    EXPECT_EQ(spans,
              (std::vector<ColumnSpan>{{0, 0, 100, false}, {1, 100, 130, true}, {2, 130, 180, false}}));
    list.MoveColumn(2, 0);
    EXPECT_EQ(ColumnSpans(list),
              (std::vector<ColumnSpan>{{2, 0, 50, false}, {0, 50, 150, false}, {1, 150, 180, true}}));
    EXPECT_EQ(ContentWidth(spans), 180);
    EXPECT_EQ(MaxScrollX(spans, View(0, 100, 0, 150)), 30);
    EXPECT_EQ(MaxScrollX(spans, View(0, 100, 0, 400)), 0);
}

TEST_F(ListColumnLayout, ADividerBelongsToTheColumnOnItsLeft) {
    EXPECT_EQ(HitTestHeader(spans, 50), (HeaderHit{0, -1}));
    EXPECT_EQ(HitTestHeader(spans, 97), (HeaderHit{0, 0}));
    EXPECT_EQ(HitTestHeader(spans, 103), (HeaderHit{1, 0}));
    EXPECT_EQ(HitTestHeader(spans, 95), (HeaderHit{0, -1}));  // just out of reach
    // The fixed column's divider cannot be grabbed: pressing there presses the column.
    EXPECT_EQ(HitTestHeader(spans, 129), (HeaderHit{1, -1}));
    EXPECT_EQ(HitTestHeader(spans, 131), (HeaderHit{2, -1}));
    // Right of the last column: its divider, then nothing.
    EXPECT_EQ(HitTestHeader(spans, 183), (HeaderHit{-1, 2}));
    EXPECT_EQ(HitTestHeader(spans, 300), (HeaderHit{-1, -1}));
}

TEST_F(ListColumnLayout, AColumnSqueezedToNothingCanStillBeWidened) {
    list.SetColumnWidth(2, 0);
    list.AddColumn("Last", 60);
    const auto squeezed = ColumnSpans(list);
    EXPECT_EQ(HitTestHeader(squeezed, 131).dividerOf, 2);
    EXPECT_EQ(ColumnAtX(squeezed, 130), 3);
}

TEST_F(ListColumnLayout, DroppedColumnsGoToTheNearestBoundary) {
    EXPECT_EQ(DropInsertPosition(spans, -20), 0);
    EXPECT_EQ(DropInsertPosition(spans, 40), 0);
    EXPECT_EQ(DropInsertPosition(spans, 60), 1);
    EXPECT_EQ(DropInsertPosition(spans, 120), 2);
    EXPECT_EQ(DropInsertPosition(spans, 500), 3);
    EXPECT_EQ(DropInsertPosition({}, 10), 0);
    EXPECT_FALSE(StartsColumnDrag(4, -4));
    EXPECT_TRUE(StartsColumnDrag(0, 5));
    EXPECT_TRUE(StartsColumnDrag(-5, 0));
}

TEST_F(ListColumnLayout, HorizontalRequestsMoveByPixelsAndViewsAndStopAtBothEnds) {
    // 180 pixels of columns in a view 100 wide, scrolled by 40.
    const ListViewport view = View(0, 220, 40, 100);
    const struct {
        const char* name;
        int request;
        int trackX;
        std::optional<int> x;
    } kRows[] = {
        {"line left", kScrollLineBack, 0, 35},    {"line right", kScrollLineForward, 0, 45},
        {"page left", kScrollPageBack, 0, 0},     {"page right", kScrollPageForward, 0, 80},
        {"left end", kScrollStart, 0, 0},         {"right end", kScrollEnd, 0, 80},
        {"thumb", kScrollThumbTrack, 63, 63},     {"thumb left of the start", kScrollThumbPosition, -5, 0},
        {"end of scrolling", 8, 0, std::nullopt},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(ScrollXFor(spans, view, row.request, row.trackX), row.x) << row.name;
}

TEST(ListLayout, ASecondClickIsOnTheSameCellWithinTheSystemsBounds) {
    const DoubleClickBounds bounds{500, 4, 6};
    const CellPress first{2, 1, 100, 50, 1000};
    const struct {
        const char* what;
        CellPress previous;
        CellPress current;
        bool second;
    } kCases[] = {
        {"the same place at once", first, {2, 1, 100, 50, 1000}, true},
        {"at the time's end", first, {2, 1, 100, 50, 1500}, true},
        {"after the time", first, {2, 1, 100, 50, 1501}, false},
        {"at the rectangle's edges", first, {2, 1, 102, 53, 1200}, true},
        {"right of the rectangle", first, {2, 1, 103, 50, 1200}, false},
        {"below the rectangle", first, {2, 1, 100, 54, 1200}, false},
        {"another row", first, {3, 1, 100, 50, 1200}, false},
        {"another column", first, {2, 0, 100, 50, 1200}, false},
        {"no first press on a row", {-1, 1, 100, 50, 1000}, {-1, 1, 100, 50, 1000}, false},
        {"over the tick count's wrap", {2, 1, 100, 50, 0xFFFFFF80u}, {2, 1, 100, 50, 0x100}, true},
    };
    for (const auto& c : kCases) EXPECT_EQ(IsSecondClick(c.previous, c.current, bounds), c.second) << c.what;
}

TEST(ListLayout, CellContentIsInsetFromItsEdges) {
    EXPECT_EQ(LayoutCell(0, 100, true, 0), (CellLayout{-1, 8, 96}));
    EXPECT_EQ(LayoutCell(100, 200, false, 0), (CellLayout{-1, 107, 196}));
    EXPECT_EQ(LayoutCell(0, 100, true, 16), (CellLayout{4, 28, 96}));
    // Too narrow for any text: an empty text area, never a reversed one.
    EXPECT_EQ(LayoutCell(0, 10, false, 16), (CellLayout{3, 27, 27}));
}

TEST(ListLayout, ACellsImageIsAGlyphARowImageOrNothing) {
    const auto cell = [](int format, int image) {
        ListCell made;
        made.format = format;
        made.image = image;
        return made;
    };
    const struct {
        const char* name;
        ListCell cell;
        int rowImageWidth;
        int width;
    } kRows[] = {
        {"check box, even with an image", cell(kListCellCheckBox, 3), 20, kListGlyphWidth},
        {"three states", cell(kListCellThreeState, -1), 20, kListGlyphWidth},
        {"text with an image", cell(kListCellText, 2), 20, 20},
        {"text without one", cell(kListCellText, -1), 20, 0},
        {"an image but no row images", cell(kListCellHyperlink, 2), 0, 0},
    };
    for (const auto& row : kRows)
        EXPECT_EQ(CellImageWidth(row.cell, row.rowImageWidth), row.width) << row.name;
}

TEST(ListLayout, TitleTipOnlyForTextThatDoesNotFit) {
    const CellLayout layout = LayoutCell(100, 200, false, 0);  // text area 107..196: 89 wide
    EXPECT_FALSE(TitleTipRect(layout, 20, 40, 88, kListCellText));
    EXPECT_EQ(TitleTipRect(layout, 20, 40, 89, kListCellText), (PixelRect{103, 20, 203, 40}));
    EXPECT_EQ(TitleTipRect(layout, 20, 40, 300, kListCellHyperlink), (PixelRect{103, 20, 414, 40}));
    EXPECT_FALSE(TitleTipRect(layout, 20, 40, 300, kListCellCheckBox));
    EXPECT_FALSE(TitleTipRect(layout, 20, 40, 300, kListCellThreeState));
}

TEST(ListLayout, CellColoursFollowTheListUntilSetAndMarksShowOnlyRealColours) {
    ListSystemColors system;
    system.window = Rgb(255, 255, 255);
    system.windowText = Rgb(0, 0, 0);
    system.highlightText = Rgb(255, 255, 254);
    ListCell cell;
    EXPECT_EQ(CellBackground(cell, system), system.window);
    EXPECT_FALSE(CellHasMark(cell, system));
    // A theme change moves unset cells along with the list.
    system.window = Rgb(30, 30, 30);
    EXPECT_EQ(CellBackground(cell, system), system.window);
    EXPECT_FALSE(CellHasMark(cell, system));

    cell.background = Rgb(255, 255, 160);
    EXPECT_TRUE(CellHasMark(cell, system));
    cell.background = system.window;
    EXPECT_FALSE(CellHasMark(cell, system));

    cell.textColor = Rgb(120, 0, 0);
    EXPECT_EQ(CellTextColor(cell, system, false, true, false), Rgb(120, 0, 0));
    EXPECT_EQ(CellTextColor(cell, system, true, true, false), Rgb(120, 0, 0));  // styled keeps its own
    EXPECT_EQ(CellTextColor(cell, system, true, false, false), system.highlightText);
    EXPECT_EQ(CellTextColor(cell, system, true, false, true), kListHotLinkText);
    EXPECT_EQ(CellTextColor(ListCell{}, system, false, true, false), system.windowText);
}

TEST(ListLayout, CheckGlyphsFollowTheCellText) {
    ListCell box;
    box.format = kListCellCheckBox;
    box.text = "0";
    EXPECT_EQ(CheckGlyph(box), kListGlyphUnchecked);
    box.text = "1";
    EXPECT_EQ(CheckGlyph(box), kListGlyphChecked);
    ListCell three;
    three.format = kListCellThreeState;
    three.text = "-1";
    EXPECT_EQ(CheckGlyph(three), kListGlyphThirdNegative);
    three.text = "1";
    EXPECT_EQ(CheckGlyph(three), kListGlyphThirdPositive);
    three.text = "";
    EXPECT_EQ(CheckGlyph(three), kListGlyphUnchecked);
    EXPECT_EQ(CheckGlyph(ListCell{}), -1);
}

}  // namespace
}  // namespace qm
