// The list's painting: off screen, only the rows in view, the header over
// them. Where each part goes and which colour it takes come from
// list_layout; this file draws it.
#include <algorithm>
#include <optional>

#include "widgets/win32/list_ctrl.h"

namespace qm {
namespace {

COLORREF ToColorRef(ColorRef color) {
    return color.value;
}

void FillSolid(HDC dc, const RECT& rect, ColorRef color) {
    SetBkColor(dc, ToColorRef(color));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, ColorRef color) {
    const GdiObject pen(CreatePen(PS_SOLID, 1, ToColorRef(color)));
    if (!pen) return;
    const Selection selection(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// A rounded rectangle: filled with `fill` when given, outlined in `frame`.
void RoundedRect(HDC dc, const RECT& rect, int corner, ColorRef frame, const ColorRef* fill) {
    const GdiObject pen(CreatePen(PS_SOLID, 1, ToColorRef(frame)));
    const GdiObject brush(fill ? CreateSolidBrush(ToColorRef(*fill)) : nullptr);
    if (!pen || (fill && !brush)) return;
    const Selection penSelection(dc, pen.get());
    const Selection brushSelection(dc, brush ? brush.get() : GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
}

void FillGradient(HDC dc, const RECT& rect, ColorRef top, ColorRef bottom) {
    for (const GradientBand& band : VerticalGradientBands(top, bottom, rect.bottom - rect.top)) {
        const RECT bandRect{rect.left, rect.top + band.top, rect.right, rect.top + band.bottom};
        FillSolid(dc, bandRect, band.color);
    }
}

UINT AlignmentFlags(int alignment) {
    if (alignment & kListAlignCenter) return DT_CENTER;
    if (alignment & kListAlignRight) return DT_RIGHT;
    return DT_LEFT;
}

}  // namespace

SIZE ListCtrl::ImageSize(HIMAGELIST images) {
    int width = 0;
    int height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height)) return SIZE{0, 0};
    return SIZE{width, height};
}

LRESULT ListCtrl::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers every pixel
}

LRESULT ListCtrl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint = {};
    const HDC target = BeginPaint(window_, &paint);
    if (!target) return 0;
    PaintClient(target, paint.rcPaint);
    EndPaint(window_, &paint);
    return 0;
}

LRESULT ListCtrl::OnPrintClient(WPARAM wParam, LPARAM) {
    RECT client = {};
    GetClientRect(window_, &client);
    if (wParam) PaintClient(reinterpret_cast<HDC>(wParam), client);
    return 0;
}

void ListCtrl::PaintClient(HDC target, const RECT& area) {
    RECT client = {};
    GetClientRect(window_, &client);
    view_.width = client.right;
    view_.height = client.bottom;
    // Drawn off screen and copied once, so that nothing flickers; the
    // bitmap is as large as the window, whatever the row count.
    const MemoryDc dc(CreateCompatibleDC(target));
    const GdiObject bitmap(
        dc ? CreateCompatibleBitmap(target, std::max<int>(client.right, 1), std::max<int>(client.bottom, 1))
           : nullptr);
    const HDC canvas = bitmap ? dc.get() : target;
    std::optional<Selection> bitmapSelection;
    if (bitmap) bitmapSelection.emplace(dc.get(), bitmap.get());
    const Selection fontSelection(canvas, font_.get());
    SetBkMode(canvas, TRANSPARENT);

    FillSolid(canvas, area, system_.window);
    const std::vector<ColumnSpan> spans = Spans();
    const RowSpan rows = RowsToPaint(metrics_, view_, model_.RowCount(), area.top, area.bottom);
    for (int row = rows.first; row < rows.end; ++row) PaintRow(canvas, row, spans, client);
    if (rectangleActive_) {
        RECT band{std::min(rectangleStartX_, rectangleCurrentX_) - view_.scrollX,
                  std::min(rectangleStartY_, rectangleCurrentY_) + RowsTop(metrics_) - view_.scrollY,
                  std::max(rectangleStartX_, rectangleCurrentX_) - view_.scrollX + 1,
                  std::max(rectangleStartY_, rectangleCurrentY_) + RowsTop(metrics_) - view_.scrollY + 1};
        SetTextColor(canvas, ToColorRef(system_.windowText));
        SetBkColor(canvas, ToColorRef(system_.window));
        DrawFocusRect(canvas, &band);
    }
    if (metrics_.headerShown && area.top < metrics_.headerHeight) PaintHeader(canvas, client);

    if (bitmap) {
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc.get(),
               area.left, area.top, SRCCOPY);
    }
}

void ListCtrl::PaintHeader(HDC dc, const RECT& client) const {
    const RECT header{0, 0, client.right, metrics_.headerHeight};
    FillSolid(dc, header, system_.buttonFace);
    const std::vector<ColumnSpan> spans = Spans();
    for (std::size_t position = 0; position < spans.size(); ++position) {
        const ColumnSpan& span = spans[position];
        if (span.right - view_.scrollX <= 0 || span.left - view_.scrollX >= client.right) continue;
        PaintHeaderColumn(dc, span, position == 0, view_.scrollX);
    }
    Line(dc, 0, metrics_.headerHeight - 1, client.right, metrics_.headerHeight - 1, system_.buttonShadow);
}

// Paints one header column with its left edge at span.left - offsetX.
void ListCtrl::PaintHeaderColumn(HDC dc, const ColumnSpan& span, bool first, int offsetX) const {
    const ListColumn* column = model_.GetColumn(span.id);
    if (!column) return;
    const int left = span.left - offsetX;
    const int right = span.right - offsetX;
    const int bottom = metrics_.headerHeight;
    const bool pressed = span.id == pressedColumn_ && press_ == Press::HeaderColumn;
    FillSolid(dc, RECT{left, 0, right, bottom},
              HeaderFill(system_, pressed, span.id == hotHeader_, model_.options().styledSelection));
    Line(dc, left, 0, left, bottom - 1, system_.buttonLight);
    Line(dc, right - 1, 2, right - 1, bottom - 3, system_.buttonShadow);
    Line(dc, left, bottom - 1, right, bottom - 1, system_.buttonShadow);

    const int glyph = model_.SortGlyph(span.id);
    const bool image = column->image >= 0 && rowImages_;
    const HeaderCellLayout layout =
        LayoutHeaderCell(left, right, first, image ? ImageSize(rowImages_).cx : 0, glyph >= 0);
    if (image) {
        ImageList_Draw(rowImages_, column->image, dc, layout.cell.imageLeft,
                       (bottom - ImageSize(rowImages_).cy) / 2, ILD_TRANSPARENT);
    }
    RECT text{layout.cell.textLeft, 0, layout.cell.textRight, bottom};
    SetTextColor(dc, ToColorRef(pressed ? Rgb(255, 255, 255) : system_.windowText));
    DrawTextA(dc, column->title.c_str(), static_cast<int>(column->title.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | AlignmentFlags(column->format));
    if (glyph >= 0 && glyphs_) {
        ImageList_Draw(glyphs_.get(), glyph, dc, layout.glyphLeft, (bottom - ImageSize(glyphs_.get()).cy) / 2,
                       ILD_TRANSPARENT);
    }
}

void ListCtrl::PaintStyledSelection(HDC dc, const RECT& rect) const {
    const SelectionLook look = StyledSelectionLook(GetFocus() == window_);
    RoundedRect(dc, rect, kListSelectionCorner, look.outer, nullptr);
    const RECT inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    RoundedRect(dc, inner, kListSelectionInnerCorner, look.inner, nullptr);
    FillGradient(dc, RECT{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2}, look.top,
                 look.bottom);
}

void ListCtrl::PaintRow(HDC dc, int row, const std::vector<ColumnSpan>& spans, const RECT& client) const {
    const PixelRect rowRect = RowRect(metrics_, view_, row, ContentWidth(spans));
    const bool selected = model_.IsRowSelected(row);
    if (selected) {
        // The band runs over the columns, and no further than the window.
        const RECT band{std::max<int>(rowRect.left, client.left), rowRect.top,
                        std::min<int>(rowRect.right, client.right), rowRect.bottom};
        if (model_.options().styledSelection) {
            PaintStyledSelection(dc, band);
        } else {
            FillSolid(dc, band, system_.highlight);
        }
    }
    for (std::size_t position = 0; position < spans.size(); ++position) {
        const ColumnSpan& span = spans[position];
        const RECT cell{span.left - view_.scrollX, rowRect.top, span.right - view_.scrollX, rowRect.bottom};
        if (cell.right <= client.left || cell.left >= client.right) continue;
        PaintCell(dc, row, span, position == 0, cell, selected);
    }
}

void ListCtrl::PaintCell(HDC dc, int row, const ColumnSpan& span, bool first, const RECT& cellRect,
                         bool selected) const {
    const ListCell* cell = model_.GetCell(row, span.id);
    const ListColumn* column = model_.GetColumn(span.id);
    if (!cell || !column) return;
    const bool styled = model_.options().styledSelection;
    if (model_.options().cellFocus && row == model_.selection().active() && span.id == model_.focusColumn()) {
        FillGradient(dc, RECT{cellRect.left + 1, cellRect.top + 1, cellRect.right - 1, cellRect.bottom - 1},
                     kListFocusCellTop, kListFocusCellBottom);
    }
    if (CellHasMark(*cell, system_)) {
        const ColorRef mark = cell->background;
        RoundedRect(dc, RECT{cellRect.left + 1, cellRect.top + 1, cellRect.right - 1, cellRect.bottom - 1},
                    kListCellMarkCorner, mark, &mark);
    }
    const int glyph = CheckGlyph(*cell);
    const bool rowImage = glyph < 0 && cell->image >= 0 && rowImages_;
    const CellLayout layout = LayoutCell(cellRect.left, cellRect.right, first,
                                         CellImageWidth(*cell, rowImages_ ? ImageSize(rowImages_).cx : 0));
    const int height = cellRect.bottom - cellRect.top;
    // Images stay inside their cell.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, cellRect.left, cellRect.top, cellRect.right, cellRect.bottom);
    if (glyph >= 0) {
        if (glyphs_) {
            ImageList_Draw(glyphs_.get(), glyph, dc, layout.imageLeft,
                           cellRect.top + (height - ImageSize(glyphs_.get()).cy) / 2, ILD_TRANSPARENT);
        }
    } else {
        if (rowImage) {
            ImageList_Draw(rowImages_, cell->image, dc, layout.imageLeft,
                           cellRect.top + (height - ImageSize(rowImages_).cy) / 2, ILD_TRANSPARENT);
        }
        const bool hot = row == model_.hotRow() && span.id == model_.hotColumn();
        SetTextColor(dc, ToColorRef(CellTextColor(*cell, system_, selected, styled, hot)));
        const HGDIOBJ previous = hot ? SelectObject(dc, underlinedFont_.get()) : nullptr;
        RECT text{layout.textLeft, cellRect.top, layout.textRight, cellRect.bottom};
        DrawTextA(dc, cell->text.c_str(), static_cast<int>(cell->text.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      AlignmentFlags(CellAlignment(*cell, *column)));
        if (previous) SelectObject(dc, previous);
    }
    if (saved) RestoreDC(dc, saved);
}

}  // namespace qm
