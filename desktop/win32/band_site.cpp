#include "desktop/win32/band_site.h"

#include <exdisp.h>

namespace qm {

STDMETHODIMP BandSite::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow) {
        *object = static_cast<IOleWindow*>(this);
    } else if (iid == IID_IInputObjectSite) {
        *object = static_cast<IInputObjectSite*>(this);
    } else if (iid == IID_IOleCommandTarget) {
        *object = static_cast<IOleCommandTarget*>(this);
    } else if (iid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The host owns the site on its stack; the count is kept for checking.
STDMETHODIMP_(ULONG) BandSite::AddRef() {
    return InterlockedIncrement(&references_);
}
STDMETHODIMP_(ULONG) BandSite::Release() {
    return InterlockedDecrement(&references_);
}

STDMETHODIMP BandSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP BandSite::QueryService(REFGUID service, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (service != SID_SWebBrowserApp || !browser_) return E_NOINTERFACE;
    return browser_->QueryInterface(iid, object);
}

}  // namespace qm
