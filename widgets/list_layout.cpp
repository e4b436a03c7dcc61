#include "widgets/list_layout.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace qm {
namespace {

int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int ViewHeight(const ListMetrics& metrics, const ListViewport& view) {
    return std::max(view.height - RowsTop(metrics), 0);
}

}  // namespace

// ---- colours ----

ColorRef CellBackground(const ListCell& cell, const ListSystemColors& system) {
    return cell.background == kDefaultColor ? system.window : cell.background;
}

bool CellHasMark(const ListCell& cell, const ListSystemColors& system) {
    return cell.background != kDefaultColor && cell.background != system.window;
}

ColorRef CellTextColor(const ListCell& cell, const ListSystemColors& system, bool selected,
                       bool styledSelection, bool hotLink) {
    if (hotLink) return kListHotLinkText;
    if (selected && !styledSelection) return system.highlightText;
    return cell.textColor == kDefaultColor ? system.windowText : cell.textColor;
}

int CheckGlyph(const ListCell& cell) {
    const int state = CheckState(cell.text);
    if (cell.format == kListCellCheckBox) return state > 0 ? kListGlyphChecked : kListGlyphUnchecked;
    if (cell.format == kListCellThreeState) {
        return state > 0   ? kListGlyphThirdPositive
               : state < 0 ? kListGlyphThirdNegative
                           : kListGlyphUnchecked;
    }
    return -1;
}

// ---- rows ----

int RowsTop(const ListMetrics& metrics) {
    return metrics.headerShown ? std::max(metrics.headerHeight, 0) : 0;
}

int RowAtY(const ListMetrics& metrics, const ListViewport& view, int y, int rowCount) {
    if (metrics.rowHeight <= 0 || y < RowsTop(metrics)) return -1;
    const long long contentY = static_cast<long long>(y) - RowsTop(metrics) + view.scrollY;
    if (contentY < 0) return -1;
    const long long row = contentY / metrics.rowHeight;
    return row < rowCount ? static_cast<int>(row) : -1;
}

PixelRect RowRect(const ListMetrics& metrics, const ListViewport& view, int row, int contentWidth) {
    const long long top = RowsTop(metrics) + static_cast<long long>(row) * metrics.rowHeight - view.scrollY;
    return PixelRect{-view.scrollX, ClampToInt(top), contentWidth - view.scrollX,
                     ClampToInt(top + metrics.rowHeight)};
}

RowSpan RowsToPaint(const ListMetrics& metrics, const ListViewport& view, int rowCount, int top, int bottom) {
    top = std::max(top, RowsTop(metrics));
    if (metrics.rowHeight <= 0 || rowCount <= 0 || bottom <= top) return RowSpan{};
    const long long contentTop = static_cast<long long>(top) - RowsTop(metrics) + view.scrollY;
    const long long contentBottom = static_cast<long long>(bottom) - RowsTop(metrics) + view.scrollY;
    const long long first = std::max(contentTop, 0LL) / metrics.rowHeight;
    const long long end = std::min<long long>(
        (std::max(contentBottom, 0LL) + metrics.rowHeight - 1) / metrics.rowHeight, rowCount);
    if (first >= end) return RowSpan{};
    return RowSpan{static_cast<int>(first), static_cast<int>(end)};
}

int WholeVisibleRows(const ListMetrics& metrics, const ListViewport& view) {
    if (metrics.rowHeight <= 0) return 0;
    return ViewHeight(metrics, view) / metrics.rowHeight;
}

int MaxScrollY(const ListMetrics& metrics, const ListViewport& view, int rowCount) {
    if (metrics.rowHeight <= 0 || rowCount <= 0) return 0;
    const long long total = static_cast<long long>(rowCount) * metrics.rowHeight;
    return ClampToInt(std::max(total - ViewHeight(metrics, view), 0LL));
}

int ScrollYToShowRow(const ListMetrics& metrics, const ListViewport& view, int rowCount, int row) {
    const int limit = MaxScrollY(metrics, view, rowCount);
    const int current = std::clamp(view.scrollY, 0, limit);
    if (row < 0 || row >= rowCount || metrics.rowHeight <= 0) return current;
    const long long rowTop = static_cast<long long>(row) * metrics.rowHeight;
    const long long rowBottom = rowTop + metrics.rowHeight;
    long long wanted = current;
    if (rowTop < current) {
        wanted = rowTop;
    } else if (rowBottom > static_cast<long long>(current) + ViewHeight(metrics, view)) {
        // A view lower than one row shows the row's top.
        wanted = std::min(rowBottom - ViewHeight(metrics, view), rowTop);
    }
    return ClampToInt(std::clamp<long long>(wanted, 0, limit));
}

int WheelScrollY(const ListMetrics& metrics, const ListViewport& view, int rowCount, int wheelLines,
                 int wheelDelta) {
    const long long lines = wheelLines < 0 ? std::max(WholeVisibleRows(metrics, view), 1) : wheelLines;
    const long long rows = lines * wheelDelta / 120;
    const long long wanted = static_cast<long long>(view.scrollY) - rows * metrics.rowHeight;
    return ClampToInt(std::clamp<long long>(wanted, 0, MaxScrollY(metrics, view, rowCount)));
}

namespace {

// One scroll request applied to a position: a line or a page either way, the
// start, the end, or the thumb's position; the result stays within [0, max].
std::optional<int> Scrolled(long long at, int request, long long line, long long page, long long max,
                            long long track) {
    switch (request) {
        case kScrollLineBack:
            at -= line;
            break;
        case kScrollLineForward:
            at += line;
            break;
        case kScrollPageBack:
            at -= page;
            break;
        case kScrollPageForward:
            at += page;
            break;
        case kScrollStart:
            at = 0;
            break;
        case kScrollEnd:
            at = max;
            break;
        case kScrollThumbTrack:
        case kScrollThumbPosition:
            at = track;
            break;
        default:
            return std::nullopt;
    }
    return ClampToInt(std::clamp<long long>(at, 0, max));
}

}  // namespace

std::optional<int> ScrollYFor(const ListMetrics& metrics, const ListViewport& view, int rowCount, int request,
                              int trackY) {
    const long long line = metrics.rowHeight;
    const long long page = std::max(WholeVisibleRows(metrics, view), 1) * line;
    // The thumb puts whole rows at the top.
    const long long track = line > 0 ? trackY - trackY % line : trackY;
    return Scrolled(view.scrollY, request, line, page, MaxScrollY(metrics, view, rowCount), track);
}

// ---- columns ----

std::vector<ColumnSpan> ColumnSpans(const ListModel& model) {
    std::vector<ColumnSpan> spans;
    spans.reserve(model.ColumnOrder().size());
    long long x = 0;
    for (int id : model.ColumnOrder()) {
        const ListColumn* column = model.GetColumn(id);
        if (!column) continue;
        const long long right = x + column->width;
        spans.push_back(ColumnSpan{id, ClampToInt(x), ClampToInt(right), column->fixed});
        x = right;
    }
    return spans;
}

int ContentWidth(const std::vector<ColumnSpan>& spans) {
    return spans.empty() ? 0 : spans.back().right;
}

int MaxScrollX(const std::vector<ColumnSpan>& spans, const ListViewport& view) {
    return std::max(ContentWidth(spans) - view.width, 0);
}

HeaderHit HitTestHeader(const std::vector<ColumnSpan>& spans, int x) {
    HeaderHit hit;
    hit.column = ColumnAtX(spans, x);
    long long nearest = kListDividerGrip;
    const ColumnSpan* owner = nullptr;
    for (const ColumnSpan& span : spans) {
        const long long distance = std::llabs(static_cast<long long>(x) - span.right);
        if (distance <= nearest) {
            nearest = distance;
            owner = &span;
        }
    }
    if (owner && !owner->fixed) hit.dividerOf = owner->id;
    return hit;
}

int ColumnAtX(const std::vector<ColumnSpan>& spans, int x) {
    for (const ColumnSpan& span : spans) {
        if (x >= span.left && x < span.right) return span.id;
    }
    return -1;
}

int DropInsertPosition(const std::vector<ColumnSpan>& spans, int x) {
    int best = 0;
    long long bestDistance = spans.empty() ? 0 : std::llabs(static_cast<long long>(x) - spans.front().left);
    for (std::size_t position = 0; position < spans.size(); ++position) {
        const long long distance = std::llabs(static_cast<long long>(x) - spans[position].right);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(position) + 1;
        }
    }
    return best;
}

bool StartsColumnDrag(int dx, int dy) {
    return std::abs(dx) > kListColumnDragDistance || std::abs(dy) > kListColumnDragDistance;
}

bool StartsSelectionRectangle(int dx, int dy, int dragWidth, int dragHeight, bool singleSelection) {
    return !singleSelection && (std::abs(dx) > dragWidth || std::abs(dy) > dragHeight);
}

std::optional<int> ScrollXFor(const std::vector<ColumnSpan>& spans, const ListViewport& view, int request,
                              int trackX) {
    return Scrolled(view.scrollX, request, 5, view.width, MaxScrollX(spans, view), trackX);
}

bool IsSecondClick(const CellPress& previous, const CellPress& current, const DoubleClickBounds& bounds) {
    return previous.row >= 0 && previous.row == current.row && previous.column == current.column &&
           current.tickMs - previous.tickMs <= bounds.timeMs &&
           2 * std::abs(current.x - previous.x) <= bounds.width &&
           2 * std::abs(current.y - previous.y) <= bounds.height;
}

int CellImageWidth(const ListCell& cell, int rowImageWidth) {
    if (CheckGlyph(cell) >= 0) return kListGlyphWidth;
    return cell.image >= 0 ? std::max(rowImageWidth, 0) : 0;
}

CellLayout LayoutCell(int cellLeft, int cellRight, bool firstColumn, int imageWidth) {
    CellLayout layout;
    int x = cellLeft + (firstColumn ? 4 : 3);
    if (imageWidth > 0) {
        layout.imageLeft = x;
        x += imageWidth + 4;
    }
    layout.textLeft = x + 4;
    layout.textRight = std::max(cellRight - 4, layout.textLeft);
    return layout;
}

std::optional<PixelRect> TitleTipRect(const CellLayout& layout, int cellTop, int cellBottom, int textWidth,
                                      int cellFormat) {
    if (cellFormat == kListCellCheckBox || cellFormat == kListCellThreeState) return std::nullopt;
    if (textWidth <= layout.textRight - layout.textLeft - 1) return std::nullopt;
    const int left = layout.textLeft - 4;
    return PixelRect{left, cellTop, left + textWidth + 11, cellBottom};
}

// ---- what the window paints ----

int CellAlignment(const ListCell& cell, const ListColumn& column) {
    constexpr int kAlignment = kListAlignRight | kListAlignCenter;
    const int own = cell.flags & kAlignment;
    return own != 0 ? own : column.format & kAlignment;
}

ColorRef HeaderFill(const ListSystemColors& system, bool pressed, bool hot, bool styledSelection) {
    if (pressed) return kListPressedHeader;
    if (hot && styledSelection) return Adjust(system.buttonFace, 50, 0);
    return system.buttonFace;
}

SelectionLook StyledSelectionLook(bool listFocused) {
    if (listFocused) {
        return SelectionLook{kListFocusedSelectionOuter, kListFocusedSelectionInner, kListFocusedSelectionTop,
                             kListFocusedSelectionBottom};
    }
    return SelectionLook{kListUnfocusedSelectionOuter, kListUnfocusedSelectionInner,
                         kListUnfocusedSelectionTop, kListUnfocusedSelectionBottom};
}

HeaderCellLayout LayoutHeaderCell(int left, int right, bool firstColumn, int imageWidth, bool sortMark) {
    HeaderCellLayout layout;
    // The mark sits at the right end and the title gives way to it.
    const int textEnd = sortMark ? right - kListSortMarkWidth : right;
    layout.cell = LayoutCell(left, textEnd, firstColumn, imageWidth);
    if (sortMark) layout.glyphLeft = std::max(right - kListSortMarkWidth - 2, left);
    return layout;
}

RectangleRows RowsUnderRectangle(int rowHeight, int startY, int currentY, int rowCount) {
    if (rowHeight <= 0 || rowCount <= 0) return {};
    const auto rowAt = [&](int y) {
        return static_cast<int>(std::clamp<long long>(y < 0 ? 0 : y / rowHeight, 0, rowCount - 1));
    };
    const long long lastTop = static_cast<long long>(rowCount) * rowHeight;
    if (std::min(startY, currentY) >= lastTop) return {};
    return RectangleRows{rowAt(startY), rowAt(currentY)};
}

int AutoScrollDirection(const ListMetrics& metrics, const ListViewport& view, int y) {
    if (y < RowsTop(metrics)) return -1;
    if (y >= view.height) return 1;
    return 0;
}

DropMarker DropMarkerAt(int boundaryX, int headerTop, int headerBottom) {
    DropMarker marker;
    const int width = 2 * kDropArrowHalfWidth + 1;
    marker.window = PixelRect{boundaryX - kDropArrowHalfWidth, headerTop - kDropArrowHeight,
                              boundaryX + kDropArrowHalfWidth + 1, headerBottom + kDropArrowHeight};
    const int height = marker.window.height();
    // The tips touch the header's top and bottom edges at the boundary.
    marker.upper[0] = PixelPoint{0, 0};
    marker.upper[1] = PixelPoint{width, 0};
    marker.upper[2] = PixelPoint{kDropArrowHalfWidth, kDropArrowHeight};
    marker.lower[0] = PixelPoint{0, height};
    marker.lower[1] = PixelPoint{width, height};
    marker.lower[2] = PixelPoint{kDropArrowHalfWidth, height - kDropArrowHeight};
    return marker;
}

int BoundaryX(const std::vector<ColumnSpan>& spans, int position, int scrollX) {
    if (spans.empty() || position <= 0) return (spans.empty() ? 0 : spans.front().left) - scrollX;
    const std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(position), spans.size());
    return spans[index - 1].right - scrollX;
}

}  // namespace qm
