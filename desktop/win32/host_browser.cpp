#include "desktop/win32/host_browser.h"

namespace qm {

STDMETHODIMP HostBrowser::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IWebBrowser && iid != IID_IWebBrowserApp &&
        iid != IID_IWebBrowser2) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IWebBrowser2*>(this);
    AddRef();
    return S_OK;
}

// The frame owns the browser object for its whole run; the count only
// checks that the band gives back what it took.
STDMETHODIMP_(ULONG) HostBrowser::AddRef() {
    return InterlockedIncrement(&references_);
}
STDMETHODIMP_(ULONG) HostBrowser::Release() {
    return InterlockedDecrement(&references_);
}

STDMETHODIMP HostBrowser::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP HostBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    chrome_.OpenAddress(url ? std::wstring(url, SysStringLen(url)) : std::wstring());
    return S_OK;
}

STDMETHODIMP HostBrowser::get_HWND(SHANDLE_PTR* window) {
    if (!window) return E_POINTER;
    const HWND browser = chrome_.browserWindow();
    *window = reinterpret_cast<SHANDLE_PTR>(browser);
    return browser ? S_OK : E_FAIL;
}

STDMETHODIMP HostBrowser::put_StatusText(BSTR text) {
    statusText_ = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    chrome_.ShowStatus(statusText_);
    return S_OK;
}

}  // namespace qm
