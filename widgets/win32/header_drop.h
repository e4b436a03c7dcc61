// Moving a list's header columns by OLE drag and drop: the data a dragged
// column carries, the drop source, the drop target the list registers, and
// the "DropArrows" marker that shows where the column would land.
//
// The data is one clipboard format, "HEADERCLIPBOARDFORMAT", holding the
// dragged column's header position as a 32-bit integer in movable global
// memory. The objects are reference counted as COM wants; the list holds
// its drop target and tells it when it goes (Detach), since OLE may keep a
// reference past the window's life.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <optional>

#include "widgets/list_layout.h"

namespace qm {

inline constexpr char kHeaderClipboardFormatName[] = "HEADERCLIPBOARDFORMAT";
inline constexpr char kDropArrowsClass[] = "DropArrows";

// The registered clipboard format (0 when it cannot be registered).
UINT HeaderClipboardFormat();

// Movable global memory holding the position; null on failure.
HGLOBAL PackHeaderPosition(int position);
// The position a data object carries, if it carries one in our format.
std::optional<int> ReadHeaderPosition(IDataObject* data);

// A data object offering only the dragged column's position.
IDataObject* NewHeaderDataObject(int position);
// Drops on release of the left button, cancels on Escape.
IDropSource* NewHeaderDropSource();

// What the list does with a drag over it.
class HeaderDropHandler {
public:
    virtual ~HeaderDropHandler() = default;
    // The effect to show at the screen point (DROPEFFECT_MOVE or _NONE).
    virtual DWORD OnDragOver(IDataObject* data, POINTL screen) = 0;
    virtual void OnDragLeave() = 0;
    virtual DWORD OnDrop(IDataObject* data, POINTL screen) = 0;
};

class HeaderDropTarget final : public IDropTarget {
public:
    explicit HeaderDropTarget(HeaderDropHandler* handler) : handler_(handler) {}
    // The list is going: later calls from OLE find nobody and drop nothing.
    void Detach() { handler_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    ~HeaderDropTarget();
    LONG references_ = 1;
    HeaderDropHandler* handler_;
    IDataObject* data_ = nullptr;  // held from DragEnter to DragLeave or Drop
};

// The marker: two triangles pointing at a boundary of the header, one from
// above and one from below, in a window shaped to them.
class DropArrows {
public:
    DropArrows() = default;
    ~DropArrows();
    DropArrows(const DropArrows&) = delete;
    DropArrows& operator=(const DropArrows&) = delete;

    bool Create(HWND list, HINSTANCE module);
    void Destroy();
    // Shows the marker at the boundary at list client x, around the header
    // rows [headerTop, headerBottom).
    void ShowAt(int boundaryX, int headerTop, int headerBottom);
    void Hide();
    HWND window() const { return window_; }
    bool visible() const { return visible_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND list_ = nullptr;
    bool visible_ = false;
    int shapedHeight_ = -1;  // the header height the current region was made for
};

}  // namespace qm
