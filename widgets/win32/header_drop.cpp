#include "widgets/win32/header_drop.h"

#include <cstring>
#include <new>

#include "platform/win32/gdi.h"

namespace qm {
namespace {

FORMATETC HeaderFormat() {
    return FORMATETC{static_cast<CLIPFORMAT>(HeaderClipboardFormat()), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_HGLOBAL};
}

bool IsHeaderFormat(const FORMATETC* format) {
    return format && HeaderClipboardFormat() != 0 && format->cfFormat == HeaderClipboardFormat() &&
           (format->tymed & TYMED_HGLOBAL) != 0 && format->dwAspect == DVASPECT_CONTENT;
}

// Reference counting shared by the small objects below.
template <typename Interface>
class RefCounted : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~RefCounted() = default;
    HRESULT Query(REFIID iid, REFIID own, void** object) {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, own)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    LONG references_ = 1;
};

// Enumerates the one format of the header data.
class HeaderFormatEnumerator final : public RefCounted<IEnumFORMATETC> {
public:
    explicit HeaderFormatEnumerator(ULONG next = 0) : next_(next) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Query(iid, IID_IEnumFORMATETC, object);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override {
        if (!formats || (count > 1 && !fetched)) return E_INVALIDARG;
        ULONG given = 0;
        if (count > 0 && next_ == 0) {
            formats[0] = HeaderFormat();
            given = 1;
            next_ = 1;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const ULONG before = next_;
        next_ = count > 0 ? 1 : next_;
        return before + count <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) override {
        if (!copy) return E_POINTER;
        *copy = new (std::nothrow) HeaderFormatEnumerator(next_);
        return *copy ? S_OK : E_OUTOFMEMORY;
    }

private:
    ULONG next_;
};

class HeaderDataObject final : public RefCounted<IDataObject> {
public:
    explicit HeaderDataObject(int position) : position_(position) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Query(iid, IID_IDataObject, object);
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_POINTER;
        if (!IsHeaderFormat(format)) return DV_E_FORMATETC;
        const HGLOBAL memory = PackHeaderPosition(position_);
        if (!memory) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return DATA_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return IsHeaderFormat(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (!formats) return E_POINTER;
        *formats = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;  // the data cannot be set
        *formats = new (std::nothrow) HeaderFormatEnumerator();
        return *formats ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    int position_;
};

class HeaderDropSource final : public RefCounted<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return Query(iid, IID_IDropSource, object);
    }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        if ((keys & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

UINT HeaderClipboardFormat() {
    static const UINT format = RegisterClipboardFormatA(kHeaderClipboardFormatName);
    return format;
}

HGLOBAL PackHeaderPosition(int position) {
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(int32_t));
    if (!memory) return nullptr;
    void* bytes = GlobalLock(memory);
    if (!bytes) {
        GlobalFree(memory);
        return nullptr;
    }
    const int32_t value = position;
    std::memcpy(bytes, &value, sizeof value);
    GlobalUnlock(memory);
    return memory;
}

std::optional<int> ReadHeaderPosition(IDataObject* data) {
    if (!data) return std::nullopt;
    FORMATETC format = HeaderFormat();
    if (format.cfFormat == 0) return std::nullopt;
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) return std::nullopt;
    std::optional<int> position;
    // The memory comes from whoever offered the data: it may be short.
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal && GlobalSize(medium.hGlobal) >= sizeof(int32_t)) {
        if (const void* bytes = GlobalLock(medium.hGlobal)) {
            int32_t value = 0;
            std::memcpy(&value, bytes, sizeof value);
            position = value;
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return position;
}

IDataObject* NewHeaderDataObject(int position) {
    return new (std::nothrow) HeaderDataObject(position);
}

IDropSource* NewHeaderDropSource() {
    return new (std::nothrow) HeaderDropSource();
}

// ---- the drop target ----

HeaderDropTarget::~HeaderDropTarget() {
    if (data_) data_->Release();
}

HRESULT HeaderDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG HeaderDropTarget::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG HeaderDropTarget::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT HeaderDropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    if (data_) data_->Release();
    data_ = data;
    if (data_) data_->AddRef();
    *effect = handler_ ? handler_->OnDragOver(data_, point) & *effect : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT HeaderDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = handler_ ? handler_->OnDragOver(data_, point) & *effect : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT HeaderDropTarget::DragLeave() {
    if (handler_) handler_->OnDragLeave();
    if (data_) data_->Release();
    data_ = nullptr;
    return S_OK;
}

HRESULT HeaderDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = handler_ ? handler_->OnDrop(data, point) & *effect : DROPEFFECT_NONE;
    if (data_) data_->Release();
    data_ = nullptr;
    return S_OK;
}

// ---- the marker ----

DropArrows::~DropArrows() {
    Destroy();
}

bool DropArrows::Create(HWND list, HINSTANCE module) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(module, kDropArrowsClass, &windowClass)) {
        windowClass = {};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &DropArrows::WindowProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.lpszClassName = kDropArrowsClass;
        if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    }
    list_ = list;
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                              kDropArrowsClass, "", WS_POPUP, 0, 0, 0, 0, list, nullptr, module, nullptr);
    return window_ != nullptr;
}

void DropArrows::Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    visible_ = false;
}

void DropArrows::ShowAt(int boundaryX, int headerTop, int headerBottom) {
    if (!window_ || !list_) return;
    const DropMarker marker = DropMarkerAt(boundaryX, headerTop, headerBottom);
    if (shapedHeight_ != marker.window.height()) {
        POINT upper[3];
        POINT lower[3];
        for (int corner = 0; corner < 3; ++corner) {
            upper[corner] = POINT{marker.upper[corner].x, marker.upper[corner].y};
            lower[corner] = POINT{marker.lower[corner].x, marker.lower[corner].y};
        }
        GdiObject shape(CreatePolygonRgn(upper, 3, WINDING));
        const GdiObject lowerShape(CreatePolygonRgn(lower, 3, WINDING));
        if (shape && lowerShape) {
            const HRGN region = static_cast<HRGN>(shape.get());
            CombineRgn(region, region, static_cast<HRGN>(lowerShape.get()), RGN_OR);
            // The window owns the region once it has taken it.
            if (SetWindowRgn(window_, region, FALSE)) {
                (void)shape.release();
                shapedHeight_ = marker.window.height();
            }
        }
    }
    POINT origin = {marker.window.left, marker.window.top};
    ClientToScreen(list_, &origin);
    SetWindowPos(window_, HWND_TOPMOST, origin.x, origin.y, marker.window.width(), marker.window.height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    visible_ = true;
}

void DropArrows::Hide() {
    if (!window_ || !visible_) return;
    ShowWindow(window_, SW_HIDE);
    visible_ = false;
}

LRESULT CALLBACK DropArrows::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the drag goes on over the list beneath
        case WM_ERASEBKGND: {
            RECT client = {};
            GetClientRect(window, &client);
            const GdiObject brush(CreateSolidBrush(kListDropMarker.value));
            if (brush) FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(brush.get()));
            return 1;
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace qm
