#include "band/win32/band_object.h"

#include <new>
#include <span>

#include "band/band_contract.h"
#include "band/win32/module.h"

using Microsoft::WRL::ComPtr;

namespace qm {

HRESULT BandObject::Create(IUnknown* outer, REFIID iid, void** object) {
    *object = nullptr;
    auto* band = new (std::nothrow) BandObject(outer);
    if (!band) return E_OUTOFMEMORY;
    // Held across the request so that a refused interface deletes the band.
    band->inner_.AddRef();
    const HRESULT result = band->inner_.QueryInterface(iid, object);
    band->inner_.Release();
    return result;
}

BandObject::BandObject(IUnknown* outer)
    : controlling_(outer ? outer : &inner_), aggregated_(outer != nullptr) {
    LockModule();
}

BandObject::~BandObject() {
    // The view waits for a progress thread still recorded and destroys a
    // window the browser left open; then the browser goes.
    view_.reset();
    UnlockModule();
}

// ---- IUnknown ----------------------------------------------------------

STDMETHODIMP BandObject::QueryInterface(REFIID iid, void** object) {
    return controlling_->QueryInterface(iid, object);
}
STDMETHODIMP_(ULONG) BandObject::AddRef() {
    return controlling_->AddRef();
}
STDMETHODIMP_(ULONG) BandObject::Release() {
    return controlling_->Release();
}

STDMETHODIMP BandObject::Inner::QueryInterface(REFIID iid, void** object) {
    return band_.InnerQueryInterface(iid, object);
}

STDMETHODIMP_(ULONG) BandObject::Inner::AddRef() {
    return InterlockedIncrement(&band_.references_);
}

STDMETHODIMP_(ULONG) BandObject::Inner::Release() {
    const ULONG count = InterlockedDecrement(&band_.references_);
    if (count == 0) delete &band_;
    return count;
}

HRESULT BandObject::InnerQueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown) {
        // Aggregated, the inner unknown is the identity the outer object
        // keeps; alone, the first interface is.
        *object = aggregated_ ? static_cast<IUnknown*>(&inner_)
                              : static_cast<IUnknown*>(static_cast<IExplorerBar*>(this));
    } else if (iid == kExplorerBarIid || iid == IID_IDispatch) {
        *object = static_cast<IExplorerBar*>(this);
    } else if (iid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IDeskBand) {
        *object = static_cast<IDeskBand*>(this);
    } else if (iid == IID_IPersistStreamInit || iid == IID_IPersist) {
        *object = static_cast<IPersistStreamInit*>(this);
    } else {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

// ---- IDispatch ---------------------------------------------------------

STDMETHODIMP BandObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP BandObject::GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return ExplorerBarTypeInfo(locale, typeInfo);
}

STDMETHODIMP BandObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    ComPtr<ITypeInfo> typeInfo;
    const HRESULT result = ExplorerBarTypeInfo(locale, &typeInfo);
    if (FAILED(result)) return result;
    return typeInfo->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP BandObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    // The interface has no members: there is nothing to call.
    return S_OK;
}

// ---- IObjectWithSite -----------------------------------------------------

STDMETHODIMP BandObject::SetSite(IUnknown* site) {
    // The browser lets go of the site after CloseDW; the window is already
    // gone or goes with CloseDW, so there is nothing to undo.
    if (!site) return S_OK;

    inputObjectSite_.Reset();

    HWND parent = nullptr;
    ComPtr<IOleWindow> oleWindow;
    if (SUCCEEDED(site->QueryInterface(IID_PPV_ARGS(&oleWindow)))) {
        if (FAILED(oleWindow->GetWindow(&parent))) parent = nullptr;
    }
    oleWindow.Reset();
    if (!parent) return E_FAIL;
    parentWindow_ = parent;

    // One window per band: a second site takes the window with it.
    platform_.shell.SetOwnerWindow(nullptr);
    view_.reset();
    RECT client = {};
    GetClientRect(parent, &client);
    view_.reset(new (std::nothrow) MainView(platform_));
    if (!view_) return E_OUTOFMEMORY;
    if (!view_->Create(parent, client)) {
        view_.reset();
        return E_FAIL;
    }
    platform_.shell.SetOwnerWindow(view_->window());

    if (FAILED(site->QueryInterface(IID_PPV_ARGS(&inputObjectSite_)))) inputObjectSite_.Reset();

    ComPtr<IOleCommandTarget> commandTarget;
    if (FAILED(site->QueryInterface(IID_PPV_ARGS(&commandTarget)))) return S_OK;
    ComPtr<IServiceProvider> services;
    if (FAILED(commandTarget.As(&services))) return S_OK;

    view_->SetBrowser(nullptr);
    ComPtr<IWebBrowser2> browser;
    if (FAILED(services->QueryService(SID_SWebBrowserApp, IID_PPV_ARGS(&browser)))) browser.Reset();
    view_->SetBrowser(std::move(browser));
    return S_OK;
}

STDMETHODIMP BandObject::GetSite(REFIID iid, void** site) {
    if (!site) return E_POINTER;
    *site = nullptr;
    if (!inputObjectSite_) return E_FAIL;
    return inputObjectSite_->QueryInterface(iid, site);
}

// ---- IOleWindow, IDockingWindow, IDeskBand -------------------------------

STDMETHODIMP BandObject::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = view_ ? view_->window() : nullptr;
    return S_OK;
}

STDMETHODIMP BandObject::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP BandObject::ShowDW(BOOL show) {
    if (view_) view_->Show(show != FALSE);
    return S_OK;
}

STDMETHODIMP BandObject::CloseDW(DWORD) {
    ShowDW(FALSE);
    if (view_) view_->Destroy();
    platform_.shell.SetOwnerWindow(nullptr);
    return S_OK;
}

STDMETHODIMP BandObject::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP BandObject::GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) {
    if (!info) return E_INVALIDARG;
    bandId_ = bandId;
    viewMode_ = viewMode;
    const BandInfoAnswer answer = AnswerBandInfo(info->dwMask);
    const auto point = [](BandPoint p) { return POINTL{p.x, p.y}; };
    if (answer.mask & kBandInfoMinSize) info->ptMinSize = point(answer.minSize);
    if (answer.mask & kBandInfoMaxSize) info->ptMaxSize = point(answer.maxSize);
    if (answer.mask & kBandInfoIntegral) info->ptIntegral = point(answer.integral);
    if (answer.mask & kBandInfoActual) info->ptActual = point(answer.actual);
    if (answer.mask & kBandInfoTitle) {
        const std::size_t length = std::min(answer.title.size(), std::size(info->wszTitle) - 1);
        std::copy_n(answer.title.data(), length, info->wszTitle);
        info->wszTitle[length] = L'\0';
    }
    if (answer.mask & kBandInfoModeFlags) info->dwModeFlags = answer.modeFlags;
    info->dwMask = answer.mask;
    return S_OK;
}

// ---- IPersist, IPersistStreamInit ----------------------------------------

STDMETHODIMP BandObject::GetClassID(CLSID* classId) {
    if (!classId) return E_POINTER;
    *classId = kBandClassGuid;
    return S_OK;
}

STDMETHODIMP BandObject::IsDirty() {
    return S_FALSE;
}

STDMETHODIMP BandObject::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    std::array<uint8_t, kBandStateSize> bytes{};
    ULONG read = 0;
    const HRESULT result = stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (FAILED(result)) return result;
    // A stream that ends early holds no version: it is refused rather than
    // read as version 0.
    if (read != bytes.size()) return E_FAIL;
    return LoadBandState(bytes);
}

STDMETHODIMP BandObject::Save(IStream* stream, BOOL) {
    if (!stream) return E_POINTER;
    const auto bytes = EncodeBandState();
    return stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
}

STDMETHODIMP BandObject::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

STDMETHODIMP BandObject::InitNew() {
    return S_OK;
}

}  // namespace qm
