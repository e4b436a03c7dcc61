// The list's side of moving a header column by OLE drag and drop: the
// drag image, the drag itself, and the drop target's callbacks that show
// the marker and move the column. The data object, the drop source and
// target and the marker are in header_drop.
#include <algorithm>
#include <optional>

#include "widgets/win32/list_ctrl.h"

namespace qm {

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
            if (dragImage_ &&
                ImageList_Add(dragImage_.get(), static_cast<HBITMAP>(bitmap.get()), nullptr) >= 0) {
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

}  // namespace qm
