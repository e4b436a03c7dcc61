// The list's mouse: presses on the header (a click that sorts, a divider
// that resizes, a column that starts to drag) and on the rows (selection,
// links, the selection rectangle and its scrolling), the hover states,
// the cursor and the timers of a press. What a press means is decided by
// the model and list_layout; this file turns the messages into their calls.
#include "widgets/win32/list_ctrl.h"
// After gdi.h, whose DeleteFont its macro of that name would rename.
#include <windowsx.h>

#include <algorithm>
#include <optional>

namespace qm {
namespace {

constexpr UINT kAutoScrollMs = 50;
constexpr UINT kWidenColumnMs = 20;
constexpr int kWidenStep = 8;

unsigned MouseModifiers(WPARAM wParam) {
    return static_cast<unsigned>(wParam) & (kModifierShift | kModifierControl);
}

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

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
            if (!rectangleActive_ &&
                StartsSelectionRectangle(point.x - pressPoint_.x, point.y - pressPoint_.y,
                                         GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG),
                                         model_.options().singleSelection)) {
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

}  // namespace qm
