// ListCtrl: the window of the sortable list ("ListCtrl" class) that shows
// the History, Cookies and Cache rows of the band.
//
// Everything the list decides (rows, cells, selection, sorting, type-ahead,
// geometry, colours) lives in ListModel and list_layout; this window turns
// mouse and key messages into calls on them, paints what they hold, and
// forwards the model's notifications to the parent as WM_NOTIFY with a
// ListNotifyRecord. Painting touches only the rows in view.
//
// The window is in four files: list_ctrl.cpp (creation, the owner's
// operations, scrolling, keys), list_ctrl_mouse.cpp, list_ctrl_paint.cpp
// and header_drag.cpp (moving a header column by OLE drag and drop).
//
// Owned: the window, the model, the fonts, the glyph strip, the title tip,
// the drop marker and the drop target registration. Borrowed: the row image
// list (the owner's, set with SetRowImageList) and the resource module the
// glyph strip comes from. The object must outlive its window; the owner
// must not destroy the list from inside one of its notifications.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <memory>
#include <optional>
#include <string>

#include "platform/win32/gdi.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_clock.h"
#include "widgets/list_layout.h"
#include "widgets/list_model.h"
#include "widgets/win32/header_drop.h"
#include "widgets/win32/title_tip.h"

namespace qm {

inline constexpr char kListCtrlClass[] = "ListCtrl";

// What every WM_NOTIFY of the list points at. Key, text and date are zero
// except in LISTNOTE_EDITDONE, which an in-place editor sends to the list.
struct ListNotifyRecord {
    NMHDR header;
    int row;
    int column;  // column id
    int key;
    const char* text;
    const SYSTEMTIME* date;
};

class ListCtrl final : public ListSink, private HeaderDropHandler {
public:
    // Where the glyph strip (and the window classes) come from: the DLL's
    // instance. Without it, the program's own module.
    static void SetResourceModule(HINSTANCE module);
    static ListCtrl* FromWindow(HWND window);

    explicit ListCtrl(ListOptions options = {});
    ~ListCtrl() override;
    ListCtrl(const ListCtrl&) = delete;
    ListCtrl& operator=(const ListCtrl&) = delete;

    // Makes the window as a child of parent; false when the window, its
    // fonts or its companion windows cannot be made. A missing glyph strip
    // only leaves the glyphs undrawn.
    bool Create(HWND parent, const RECT& rect, DWORD style, int controlId);
    void Destroy();
    HWND window() const { return window_; }

    // Reading: the model answers everything.
    const ListModel& model() const { return model_; }
    // For an owner that edits the rows itself (the main view's controller):
    // the model still tells this window of selections, and the owner calls
    // Redraw once it is done.
    ListModel& model() { return model_; }

    // The owner's operations; each redraws what it changed.
    int AddColumn(std::string_view title, int width, int image = -1, bool fixed = false, int reserved = 0,
                  int format = 0);
    void DeleteAllColumns();
    bool SetColumnWidth(int column, int width);
    int AddRow(std::string_view text, int image = -1, int format = kListCellText, int flags = 0);
    bool SetCellText(int row, int column, std::string_view text);
    bool SetCellImage(int row, int column, int image);
    bool SetCellFormat(int row, int column, int format, int flags);
    bool SetCellDate(int row, int column, FileTime date);
    bool SetCellColors(int row, int column, ColorRef background, ColorRef text);
    bool DeleteRow(int row);
    void DeleteAllRows();
    void Select(int row, int column, unsigned modifiers);
    // Exactly what a click on the header does, wait cursor included.
    bool HeaderClick(int column);
    void SetRowImageList(HIMAGELIST images);
    // Re-reads the scroll ranges and repaints everything.
    void Redraw();

    // What the window has measured and read (tests and the owner's layout).
    const ListMetrics& metrics() const { return metrics_; }
    const ListViewport& viewport() const { return view_; }
    const ListSystemColors& systemColors() const { return system_; }
    const TitleTip& titleTip() const { return titleTip_; }
    bool hasGlyphs() const { return glyphs_.valid(); }

    void Notify(const ListNotify& notify) override;

private:
    struct MessageEntry {
        UINT message;
        LRESULT (ListCtrl::*handler)(WPARAM wParam, LPARAM lParam);
    };
    static const MessageEntry kMessages[];

    struct ImageListDeleter {
        void operator()(HIMAGELIST images) const { ImageList_Destroy(images); }
    };
    using UniqueImageList = UniqueHandle<HIMAGELIST, ImageListDeleter>;

    // What the left button is doing between its press and its release.
    enum class Press { None, HeaderColumn, Divider, Rows };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterListClass(HINSTANCE module);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnTitleTipLeft(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnSystemChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefreshScrollBars(WPARAM wParam, LPARAM lParam);

    // Drop target callbacks.
    DWORD OnDragOver(IDataObject* data, POINTL screen) override;
    void OnDragLeave() override;
    DWORD OnDrop(IDataObject* data, POINTL screen) override;

    void ReadSystemLook();
    void Changed();
    void UpdateScrollBars();
    void ScrollTo(int scrollX, int scrollY);
    int TrackPosition(int bar, int current) const;
    void InvalidateRow(int row);
    void InvalidateHeader();
    bool InHeader(int y) const;
    int ColumnAtClientX(int x) const;
    int TextWidth(std::string_view text) const;
    void HideTitleTip();
    void UpdateTitleTip(int x, int y);
    void EndPress();
    void UpdateRectangle(int y);
    void StartColumnDrag(int column);
    void ResizeDivider(int x);
    std::vector<ColumnSpan> Spans() const { return ColumnSpans(model_); }

    // The size of a list's images, 0 x 0 without one.
    static SIZE ImageSize(HIMAGELIST images);
    void PaintClient(HDC target, const RECT& area);
    void PaintHeader(HDC dc, const RECT& client) const;
    void PaintHeaderColumn(HDC dc, const ColumnSpan& span, bool first, int offsetX) const;
    void PaintRow(HDC dc, int row, const std::vector<ColumnSpan>& spans, const RECT& client) const;
    void PaintStyledSelection(HDC dc, const RECT& rect) const;
    void PaintCell(HDC dc, int row, const ColumnSpan& span, bool first, const RECT& cellRect,
                   bool selected) const;

    Win32Clock clock_;
    ListModel model_;
    HWND window_ = nullptr;
    int controlId_ = 0;

    ListSystemColors system_{};
    ListMetrics metrics_;
    ListViewport view_;
    int wheelLines_ = 3;
    UniqueFont font_;
    UniqueFont underlinedFont_;
    UniqueImageList glyphs_;
    HIMAGELIST rowImages_ = nullptr;  // borrowed
    HCURSOR sizeCursor_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    HCURSOR arrowCursor_ = nullptr;

    TitleTip titleTip_;
    DropArrows dropArrows_;
    HeaderDropTarget* dropTarget_ = nullptr;
    bool dropRegistered_ = false;
    bool scrollRefreshPosted_ = false;

    // Mouse state.
    Press press_ = Press::None;
    POINT pressPoint_{};
    int pressedColumn_ = -1;  // header column held down (id)
    int resizedColumn_ = -1;  // id
    int resizeStartWidth_ = 0;
    int hotHeader_ = -1;
    bool trackingLeave_ = false;
    std::optional<CellPress> lastLinkPress_;  // a link press that may begin a double click
    bool rectangleActive_ = false;
    int rectangleStartY_ = 0;  // content y
    int rectangleCurrentY_ = 0;
    int rectangleStartX_ = 0;  // content x
    int rectangleCurrentX_ = 0;
    unsigned rectangleModifiers_ = 0;
    ListSelection rectangleAtStart_;
    int draggedPosition_ = -1;  // header position of the column being dragged by OLE
    UniqueImageList dragImage_;
};

}  // namespace qm
